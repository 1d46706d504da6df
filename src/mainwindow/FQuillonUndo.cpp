// The undo command: unsaved edits first, then the journal of renames, tag
// writes and file-date changes, newest first.
#include "mainwindow/FQuillon.h"

#include "localisation/ui/ComponentTranslation.h"
#include "mainwindow/MessageLists.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileIdentity.h"
#include "platform/FileRename.h"
#include "platform/FileTimes.h"
#include "platform/NativePath.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QFileInfo>
#include <QTimer>

#include <sys/stat.h>

namespace {

// How often the undo command's caption follows typing and other changes
// that no command reports.
constexpr int UndoRefreshIntervalMs = 250;

// Something, even a dangling link, holds this path.
bool PathExists(const QString& path)
{
    struct stat st {};
    return ::lstat(NativeFromPath(path).constData(), &st) == 0;
}

// Why the item can never be undone, as the question whether to drop it from
// the journal; empty while it may be tried.
QString NeverUndoableQuestion(const TQLNUndoItem& item)
{
    const QString name = ShownNameOfPath(item.Path);
    if (!PathExists(item.Path))
        return LangFmt("ErrorUndoFileMissing", {name});
    // Another file put under the new name is not to be renamed back in the
    // renamed file's stead.
    if (item.Kind == TQLNUndoItem::Rename && item.Identity && FileIdentityOf(item.Path) != item.Identity)
        return LangFmt("ErrorUndoFileReplaced", {name});
    return {};
}

// The message shown when the item cannot be undone.
QString UndoFailureText(const TQLNUndoItem& item)
{
    const QString name = ShownNameOfPath(item.Path);
    switch (item.Kind) {
    case TQLNUndoItem::Rename:
        return LangFmt("ErrorUndoRename", {name});
    case TQLNUndoItem::TagWritten:
        return LangFmt("ErrorUndoWriteTag", {name});
    default:
        return LangFmt("ErrorUndoSetDate", {name});
    }
}

}

void TFQuillon::BindUndoAction()
{
    BindAction(QStringLiteral("ActUndo"), [this] { ActUndoExecute(); }, [this] { return ActUndoUpdate(); });
    auto* refresh = new QTimer(this);
    refresh->setInterval(UndoRefreshIntervalMs);
    connect(refresh, &QTimer::timeout, this, [this] { RefreshUndoAction(); });
    refresh->start();
}

void TFQuillon::RefreshUndoAction()
{
    QAction* undo = Action(QStringLiteral("ActUndo"));
    if (!undo)
        return;
    // While a folder loads, the entries and inputs are being rebuilt.
    if (m_loading) {
        undo->setEnabled(false);
        return;
    }
    undo->setEnabled(ActUndoUpdate());
}

quint8 TFQuillon::GetUndoKind() const
{
    if (m_editedCount > 0) {
        for (const auto& entry : m_entries)
            if (entry->Changed)
                return ukUnsavedEntries;
        if (HasModifiedInputs())
            return ukModifiedInputs;
    }
    const TQLNUndoItem* last = m_undoList.Last();
    return last ? last->Kind : static_cast<quint8>(ukNothing);
}

bool TFQuillon::ActUndoUpdate()
{
    const quint8 kind = GetUndoKind();
    const TQLNUndoItem* last = m_undoList.Last();
    const QString name = last ? ShownNameOfPath(last->Path) : QString();
    QString caption;
    QString hint;
    switch (kind) {
    case ukRename:
        caption = LangFmt("UndoRename", {name});
        hint = LangFmt("UndoRenameHint", {name});
        break;
    case ukTagWritten:
        caption = LangFmt("UndoSaveID3", {name});
        hint = LangFmt("UndoSaveID3Hint", {name});
        break;
    case ukFileDate:
        caption = LangFmt("UndoSetFileDate", {name});
        hint = LangFmt("UndoSetFileDateHint", {name});
        break;
    case ukUnsavedEntries:
    case ukModifiedInputs:
        caption = Lang("UndoChangeTag");
        hint = Lang("UndoChangeTagHint");
        break;
    default:
        break;
    }
    if (caption.isEmpty()) {
        caption = Lang("Undo");
        hint = Lang("UndoHint");
    }
    if (QAction* undo = Action(QStringLiteral("ActUndo"))) {
        undo->setText(caption);
        undo->setToolTip(CommandToolTip(caption, hint));
        undo->setStatusTip(hint);
    }
    return kind != ukNothing;
}

void TFQuillon::ActUndoExecute()
{
    switch (GetUndoKind()) {
    case ukRename:
    case ukTagWritten:
    case ukFileDate:
        UndoJournalStep(*m_undoList.Last());
        break;
    case ukUnsavedEntries:
        DiscardUnsavedEdits();
        break;
    case ukModifiedInputs:
        ShowSelectionInInputs();
        break;
    default:
        CurrentPrompt()->Beep();
        break;
    }
}

void TFQuillon::UndoJournalStep(const TQLNUndoItem& item)
{
    // A file that is gone can never be restored: the user may drop its step
    // so that the older steps can be reached again.
    const QString never = NeverUndoableQuestion(item);
    if (!never.isEmpty()) {
        if (CurrentPrompt()->Question(this, never))
            m_undoList.RemoveLast();
        return;
    }
    bool undone = false;
    switch (item.Kind) {
    case TQLNUndoItem::Rename:
        undone = UndoRename(item);
        break;
    case TQLNUndoItem::TagWritten:
        undone = UndoTagWritten(item);
        break;
    default:
        undone = UndoFileDate(item);
        break;
    }
    if (undone)
        m_undoList.RemoveLast();
    else
        CurrentPrompt()->Error(this, UndoFailureText(item));
}

bool TFQuillon::UndoRename(const TQLNUndoItem& item)
{
    // Renames are journalled within one folder. A listed file is renamed back
    // through its entry, so that the list and its lookup follow; a file no
    // longer listed is renamed alone.
    TEintragdaten* entry = FindEntryByPath(item.Path);
    if (!entry)
        return RenameNoReplace(item.Path, item.OldPath);
    if (!RenameEntry(*entry, NameOfPath(item.OldPath), false))
        return false;
    ApplySearch(); // repaints the rows: the old name may match, or no longer
    UpdateStatusAndFileInfo();
    return true;
}

bool TFQuillon::UndoTagWritten(const TQLNUndoItem& item)
{
    if (!m_undoList.FollowRewrite(item.Path, [&] { return ID3v2Reader1.UndoWriteTags(item.Path); }))
        return false;
    if (TEintragdaten* entry = FindEntryByPath(item.Path)) {
        ApplyInputsToSelection();
        ReadEntry(*entry);
        ApplySearch(); // repaints the rows
        UpdateStatusAndFileInfo();
        ShowSelectionInInputs();
    }
    return true;
}

bool TFQuillon::UndoFileDate(const TQLNUndoItem& item)
{
    TEintragdaten* entry = FindEntryByPath(item.Path);
    if (entry)
        LoadDeferredBodies(entry->Frames);
    if (!SetLastWriteTime(item.Path, item.OldWriteNs))
        return false;
    if (entry) {
        entry->LastWriteNs = item.OldWriteNs;
        RefreshVisibleRows();
        UpdateStatusAndFileInfo();
    }
    return true;
}

void TFQuillon::DiscardUnsavedEdits()
{
    for (const auto& entry : m_entries)
        if (entry->Changed)
            ReadEntry(*entry);
    ApplySearch(); // repaints the rows
    UpdateStatusAndFileInfo();
    ShowSelectionInInputs();
}
