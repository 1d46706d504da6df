// Loading a folder into the file list.
#include "mainwindow/FQuillon.h"

#include "controls/MyListView.h"
#include "mainwindow/EntryState.h"
#include "mainwindow/EventPump.h"
#include "mainwindow/FileListModel.h"
#include "mainwindow/FileOpRunner.h"
#include "mainwindow/FolderScan.h"
#include "controls/Guarded.h"
#include "mainwindow/MessageLists.h"
#include "mainwindow/ShellTreeModel.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/NativePath.h"
#include "platform/Prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <QTimer>
#include <QTreeView>

#include <cmath>
#include <exception>

struct TFQuillon::TLoadRun {
    explicit TLoadRun(const QString& folder) : Folder(folder), Pump([] { QCoreApplication::processEvents(); }) {}

    QString Folder; // a path text ending with "/", or empty
    TEventPump Pump;
    TEintragdatenList Found; // new entries of the scan
    TEintragdatenList Kept;  // the old entries, in keep mode
    const TEintragdaten* TopEntry = nullptr;
    bool Aborted = false;
    // Folders that could not be listed, each with the system's reason.
    QStringList Unreadable;
    // What the recovery of file operations that ended did.
    TLeftovers Leftovers;
};

namespace {

QString WithSlash(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}


// Clears a flag when it goes out of scope, however the scope is left.
class TFlagReset {
public:
    explicit TFlagReset(bool& flag) : m_flag(flag) {}
    ~TFlagReset() { m_flag = false; }
    TFlagReset(const TFlagReset&) = delete;
    TFlagReset& operator=(const TFlagReset&) = delete;

private:
    bool& m_flag;
};

}

void TFQuillon::LoadFolder(const QString& folder, bool keep)
{
    if (m_loading || m_fileOpRunning) {
        // The running load stops at its next check, a file operation runs to
        // its end; then the tree's folder is loaded.
        m_reloadPending = true;
        if (m_loading)
            m_abortRequested = true;
        return;
    }
    RunLoad(folder, keep);
    RunHeldRequests();
}

void TFQuillon::RunHeldRequests()
{
    // A close requested meanwhile wins over a pending reload.
    while (m_reloadPending && !m_closeRequested) {
        m_reloadPending = false;
        RunLoad(TreePath(), false);
    }
    m_reloadPending = false;
    if (m_closeRequested) {
        m_closeRequested = false;
        close();
    }
}

void TFQuillon::RunLoad(const QString& folder, bool keep)
{
    m_loading = true;
    m_abortRequested = false;
    ButSucheAbbrechen->setEnabled(true);
    UpdateActions();
    // A folder given by its shown name (a stored setting, say) is found by
    // its bytes.
    TLoadRun run(WithSlash(ResolveShownPath(folder)));
    m_activePump = &run.Pump;
    run.Pump.Run();
    std::exception_ptr failure;
    try {
        CommitEdits();
        SetStatusText(3, Lang("StatusBarSearching"));
        UpdateTitleBarFolder(QDir::cleanPath(ShownPath(run.Folder)));
        ShowLoadProgress(0, 0);
        m_currentFolder = run.Folder;
        if (!keep)
            ClearFileList();
        m_selectionGuard = true;
        LVFiles->selectionModel()->clearSelection();
        m_selectionGuard = false;
        ScanAndRead(run, keep);
    } catch (...) {
        failure = std::current_exception();
    }
    FinishLoad(run, keep);
    if (failure)
        RunGuarded(this, [&failure] { std::rethrow_exception(failure); });
    // A folder that cannot be read is told, not shown as an empty list.
    if (!run.Unreadable.isEmpty())
        CurrentPrompt()->Error(this, LangFmt("ErrorReadingFolder", {NamesPrecededByBreak(run.Unreadable)}));
    m_fileOpRunner->TellLeftovers(run.Leftovers);
}

void TFQuillon::ScanAndRead(TLoadRun& run, bool keep)
{
    // What file operations that ended before their time left is settled
    // first, so that the list shows the files under their own names.
    run.Leftovers = m_fileOpRunner->RecoverEndedRuns();
    TFolderScanner scanner(
        run.Pump, [this] { return m_abortRequested; },
        [this, &run](TEintragdatenPtr entry) {
            run.Found.push_back(std::move(entry));
            ShowLoadProgress(static_cast<int>(run.Found.size()), 0);
        });
    scanner.IncludeSubfolders = m_includeSubfolders;
    run.Aborted = !scanner.Scan(run.Folder);
    for (const TFolderScanner::TUnreadable& folder : scanner.UnreadableFolders())
        run.Unreadable << NameWithReason(QDir::cleanPath(folder.Folder), SystemErrorText(folder.Error));
    if (!run.Aborted) {
        run.Pump.Run();
        run.Aborted = m_abortRequested;
    }
    if (run.Aborted)
        return;

    QHash<QString, size_t> keptByPath;
    if (keep) {
        run.Kept = std::move(m_entries);
        ClearFileList();
        keptByPath.reserve(static_cast<qsizetype>(run.Kept.size()));
        for (size_t i = 0; i < run.Kept.size(); ++i)
            keptByPath.insert(run.Kept[i]->PathKey(), i);
    }
    SetStatusText(3, Lang("StatusBarReading"));
    m_entries.reserve(run.Found.size());
    const int foundCount = static_cast<int>(run.Found.size());
    for (TEintragdatenPtr& found : run.Found) {
        const QString path = found->PathKey();
        const auto kept = keptByPath.constFind(path);
        if (kept != keptByPath.constEnd() && run.Kept[*kept]) {
            TEintragdatenPtr old = std::move(run.Kept[*kept]);
            // A file replaced by one of equal size still has another time.
            if (old->Size != found->Size || old->LastWriteNs != found->LastWriteNs)
                ReadEntry(*old);
            m_entries.push_back(std::move(old));
        } else {
            ReadEntry(*found);
            m_entries.push_back(std::move(found));
        }
        TEintragdaten& entry = *m_entries.back();
        entry.Edited = !entry.ReadFailed && m_pathsToSelect.contains(path);
        if (!run.TopEntry && !m_topRowPath.isEmpty() && path == m_topRowPath)
            run.TopEntry = &entry;
        run.Pump.Run();
        if (m_abortRequested) {
            run.Aborted = true;
            return;
        }
        ShowLoadProgress(foundCount, static_cast<int>(m_entries.size()));
    }
}

void TFQuillon::FinishLoad(TLoadRun& run, bool keep)
{
    const TFlagReset loading(m_loading);
    const TFlagReset guard(m_selectionGuard);
    m_activePump = nullptr;
    m_lastLoadLongestGapMs = run.Pump.LongestGapMs();
    labAbgebrochen->setVisible(run.Aborted);
    ProgressLaden->setValue(0);
    run.Found.clear();
    run.Kept.clear();
    SortFileList();
    RebuildPathIndex();

    m_selectionGuard = true;
    m_listModel->SetRowCount(static_cast<int>(m_entries.size()));
    for (const auto& entry : m_entries)
        entry->Selected = 0;
    SelectRows([](const TEintragdaten& e) { return e.Edited != 0; });
    m_selectionGuard = false;

    if (run.TopEntry) {
        for (size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].get() == run.TopEntry)
                LVFiles->scrollTo(m_listModel->index(static_cast<int>(i), 0), QAbstractItemView::PositionAtTop);
    }
    if (!keep)
        SelectFirstRowAfterLoad();
    const QModelIndexList selected = LVFiles->selectionModel()->selectedRows();
    if (!selected.isEmpty()) {
        int first = selected.first().row();
        for (const QModelIndex& index : selected)
            first = std::min(first, index.row());
        const QModelIndex firstIndex = m_listModel->index(first, 0);
        if (!LVFiles->selectionModel()->currentIndex().isValid())
            LVFiles->selectionModel()->setCurrentIndex(firstIndex, QItemSelectionModel::NoUpdate);
        LVFiles->scrollTo(firstIndex);
    }
    m_pathsToSelect.clear();
    m_topRowPath.clear();
    m_focusedPath.clear();
    UpdateSelectionState();
    ApplySearch();
    ButSucheAbbrechen->setEnabled(false);
    m_loading = false;
    UpdateActions();
}

void TFQuillon::SelectFirstRowAfterLoad()
{
    if (m_entries.empty() || LVFiles->selectionModel()->hasSelection())
        return;
    m_selectionGuard = true;
    LVFiles->selectionModel()->select(m_listModel->index(0, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_selectionGuard = false;
    TakeOverSelection();
}

void TFQuillon::ReadEntry(TEintragdaten& entry)
{
    // Its frames are replaced: what edits replaced in them is gone (the
    // inputs of an edited entry are loaded again afterwards).
    if (entry.Edited)
        m_appliedEdits.Clear();
    ID3v2Reader1.FileName = entry.PathKey();
    entry.ReadFailed = 0;
    entry.ReadError = TTagError::None;
    entry.Changed = 0;
    if (!ID3v2Reader1.ReadTags()) {
        entry.Clear(false);
        entry.ReadFailed = 1;
        entry.ReadError = ID3v2Reader1.LastErrorKind();
        return;
    }
    entry.HasID3v1 = ID3v2Reader1.HasID3v1();
    entry.HasID3v2 = ID3v2Reader1.HasID3v2();
    entry.VersionUnsupported = ID3v2Reader1.VersionUnsupported();
    entry.PartlyRead = ID3v2Reader1.PartlyRead();
    entry.ID3v2Major = ID3v2Reader1.Major();
    entry.ID3v2Revision = ID3v2Reader1.Revision();
    entry.Length = ID3v2Reader1.Length();
    entry.Size = ID3v2Reader1.FileSize();
    entry.Attributes = ID3v2Reader1.Attributes();
    entry.LastWriteNs = ID3v2Reader1.LastWriteNs();
    entry.MPEGInfo.Assign(ID3v2Reader1.MPEGInfo());
    entry.ID3v1.Assign(ID3v2Reader1.ID3v1());
    entry.Frames = ID3v2Reader1.TakeFrames();
}

void TFQuillon::ClearFileList()
{
    m_appliedEdits.Clear();
    m_listModel->SetRowCount(0);
    SetTemplateEntry(nullptr);
    m_firstEditedIndex = -1;
    m_editedCount = 0;
    m_entries.clear();
    m_pathIndex.clear();
    m_pathIndexValid = false;
}

void TFQuillon::ShowLoadProgress(int found, int read)
{
    StatusPanel1->setText(QString::number(found));
    ProgressLaden->setValue(found > 0 ? static_cast<int>(std::lround(read * 100.0 / found)) : 0);
    if (m_activePump)
        m_activePump->Poll();
}

void TFQuillon::ReloadFolder(bool keep)
{
    for (const auto& entry : m_entries)
        if (entry->Selected)
            m_pathsToSelect.insert(entry->PathKey());
    const QModelIndex current = LVFiles->selectionModel()->currentIndex();
    if (current.isValid() && static_cast<size_t>(current.row()) < m_entries.size())
        m_focusedPath = m_entries[static_cast<size_t>(current.row())]->PathKey();
    const int top = LVFiles->TopRow();
    if (top >= 0 && static_cast<size_t>(top) < m_entries.size())
        m_topRowPath = m_entries[static_cast<size_t>(top)]->PathKey();
    LoadFolder(m_currentFolder, keep);
}

void TFQuillon::RebuildPathIndex()
{
    m_pathIndex.clear();
    m_pathIndex.reserve(static_cast<qsizetype>(m_entries.size()));
    for (const auto& entry : m_entries)
        m_pathIndex.insert(entry->PathKey(), entry.get());
    m_pathIndexValid = true;
}

TEintragdaten* TFQuillon::FindEntryByPath(const QString& path)
{
    if (!m_pathIndexValid)
        RebuildPathIndex();
    TEintragdaten* entry = m_pathIndex.value(path, nullptr);
    Q_ASSERT(!entry || entry->PathKey() == path);
    return entry;
}

QString TFQuillon::GetCellText(const TEintragdaten& entry, int catalogueIndex) const
{
    return ::GetCellText(entry, catalogueIndex);
}

void TFQuillon::ButSucheAbbrechenClick()
{
    m_abortRequested = true;
}

void TFQuillon::ActUnterordnerExecute()
{
    m_includeSubfolders = !m_includeSubfolders;
    UpdateActions();
    ReloadFolder(false);
}

void TFQuillon::ActAktuallisierenExecute()
{
    ShellTreeModel->Refresh();
    ReloadFolder(false);
}

QString TFQuillon::TreePath() const
{
    const QModelIndex current = ShellTreeView1->currentIndex();
    return current.isValid() ? ShellTreeModel->filePath(current) : QString();
}

void TFQuillon::SetTreePath(const QString& folder)
{
    const QModelIndex index = ShellTreeModel->index(ResolveShownPath(QDir::cleanPath(folder)));
    if (!index.isValid())
        return;
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index);
}
