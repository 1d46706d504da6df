#include "mainwindow/FailureLists.h"

#include "mainwindow/FQuillon.h"

#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"

QStringList RetryFailedFiles(TFQuillon& window, QStringList& failedPaths, const char* questionKey,
                             const std::function<bool(TEintragdaten&)>& retry)
{
    QStringList succeeded;
    while (!failedPaths.isEmpty()) {
        QStringList names;
        for (const QString& path : std::as_const(failedPaths))
            names << NameOfPath(path);
        if (!CurrentPrompt()->Question(&window, LangFmt(QString::fromLatin1(questionKey), {NamesFollowedByBreak(names)})))
            break;
        // The question lets events run: entries are found again by path.
        failedPaths.removeIf([&](const QString& path) {
            TEintragdaten* entry = window.FindEntryByPath(path);
            if (!entry)
                return true;
            if (!retry(*entry))
                return false;
            succeeded << path;
            return true;
        });
    }
    return succeeded;
}

QString NamesFollowedByBreak(const QStringList& names)
{
    QString text;
    for (const QString& name : names)
        text += name + QStringLiteral("\n\r");
    return text;
}

QString NamesPrecededByBreak(const QStringList& names)
{
    QString text;
    for (const QString& name : names)
        text += QStringLiteral("\n\r") + name;
    return text;
}

QString NameOfPath(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
