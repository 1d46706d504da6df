#include "mainwindow/BatchRenames.h"

#include "mainwindow/FQuillon.h"
#include "mainwindow/FileNameParts.h"

#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"

TNameChange RenameToStem(TFQuillon& window, TEintragdaten& entry, const QString& newStem)
{
    const TFileNameParts parts = SplitFileName(entry.FileName);
    if (newStem == parts.Stem)
        return TNameChange::Unchanged;
    if (!IsUsableNewName(newStem, parts.Extension))
        return TNameChange::Unusable;
    return window.RenameEntry(entry, newStem + parts.Extension) ? TNameChange::Renamed : TNameChange::Failed;
}

QStringList RetryRenames(TFQuillon& window, QStringList& failedPaths,
                               const std::function<bool(TEintragdaten&)>& retry)
{
    QStringList succeeded;
    while (!failedPaths.isEmpty()) {
        QStringList names;
        for (const QString& path : std::as_const(failedPaths))
            names << NameOfPath(path);
        if (!CurrentPrompt()->Question(&window, LangFmt("ErrorRenameFileMany", {NamesFollowedByBreak(names)})))
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

void ReportUnusableNames(TFQuillon& window, const QStringList& names)
{
    if (!names.isEmpty())
        CurrentPrompt()->Information(&window, LangFmt("ErrorRenameUnusableNames", {NamesPrecededByBreak(names)}));
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
