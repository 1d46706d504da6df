#include "mainwindow/FailureLists.h"

#include "mainwindow/FQuillon.h"
#include "mainwindow/MessageLists.h"

#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"

QStringList RetryFailedFiles(TFQuillon& window, QStringList& failedPaths, const char* questionKey,
                             const std::function<bool(TEintragdaten&)>& retry)
{
    QStringList succeeded;
    while (!failedPaths.isEmpty()) {
        QStringList names;
        for (const QString& path : std::as_const(failedPaths))
            names << ShownNameOfPath(path);
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
