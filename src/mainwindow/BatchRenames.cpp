#include "mainwindow/BatchRenames.h"

#include "mainwindow/FQuillon.h"
#include "mainwindow/FailureLists.h"
#include "mainwindow/MessageLists.h"
#include "commands/FileNameParts.h"

#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"

TNameChange RenameToStem(TFQuillon& window, TEintragdaten& entry, const QString& newStem)
{
    const TFileNameParts parts = SplitFileName(entry.NameKey());
    if (newStem == parts.Stem)
        return TNameChange::Unchanged;
    if (!IsUsableNewName(newStem, parts.Extension))
        return TNameChange::Unusable;
    return window.RenameEntry(entry, newStem + parts.Extension) ? TNameChange::Renamed : TNameChange::Failed;
}

void ReportUnusableNames(TFQuillon& window, const QStringList& names)
{
    if (!names.isEmpty())
        CurrentPrompt()->Information(&window, LangFmt("ErrorRenameUnusableNames", {NamesPrecededByBreak(names)}));
}
