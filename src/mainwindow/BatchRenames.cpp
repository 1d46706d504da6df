#include "mainwindow/BatchRenames.h"

#include "mainwindow/FQuillon.h"
#include "mainwindow/MessageLists.h"
#include "commands/FileNameParts.h"

#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"

TNameChange RenameToStem(TFQuillon& window, TEintragdaten& entry, const QString& newStem)
{
    const TFileNameParts parts = SplitFileName(entry.NameKey());
    if (newStem == parts.Stem)
        return TNameChange::Unchanged;
    // A file the user sees is never made a hidden one.
    const bool hides = newStem.startsWith(QLatin1Char('.')) && !parts.Stem.startsWith(QLatin1Char('.'));
    if (hides || !IsUsableNewName(newStem, parts.Extension))
        return TNameChange::Unusable;
    return window.RenameEntry(entry, newStem + parts.Extension) ? TNameChange::Renamed : TNameChange::Failed;
}

void ReportUnusableNames(TFQuillon& window, const QStringList& names)
{
    if (!names.isEmpty())
        CurrentPrompt()->Information(&window, LangFmt("ErrorRenameUnusableNames", {NamesPrecededByBreak(names)}));
}
