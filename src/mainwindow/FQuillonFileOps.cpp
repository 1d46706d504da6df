// Copying, moving and deleting the selected files, the histories of copy and
// move targets, and renaming folders in the tree.
#include "mainwindow/FQuillon.h"

#include "controls/IconTheme.h"
#include "controls/MyListView.h"
#include "mainwindow/FileListModel.h"
#include "mainwindow/FileOpRunner.h"
#include "mainwindow/FlagSet.h"
#include "mainwindow/FolderTreeModel.h"
#include "controls/Guarded.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/NativePath.h"
#include "platform/PathCompare.h"
#include "platform/PathMoves.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

#include <cerrno>

#include <sys/stat.h>

namespace {

// Shown entries of the copy and move histories (a fifth is kept).
constexpr int ShownHistoryEntries = 4;

// The path text (platform/NativePath.h) of a path the file operations report:
// paths are kept and compared in this form, which keeps the bytes of names
// that are not valid UTF-8.
QString DecodedPath(const QByteArray& path)
{
    return PathFromNative(path);
}

QString WithSlash(const QString& folder)
{
    return folder.isEmpty() || folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

bool Exists(const QByteArray& path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// The paths of those files that no longer exist.
QSet<QString> MissingFiles(const QList<QByteArray>& files)
{
    QSet<QString> missing;
    for (const QByteArray& file : files)
        if (!Exists(file))
            missing.insert(DecodedPath(file));
    return missing;
}

// A folder's path as a menu caption: "&" is no mnemonic there.
QString MenuCaption(const QString& path)
{
    return QString(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}

QByteArray TFQuillon::EntryPath(const TEintragdaten& entry)
{
    return entry.NativePath();
}

void TFQuillon::AddFolderToHistory(const QString& folder, QStringList& history, int limit)
{
    for (qsizetype i = 0; i < history.size(); ++i) {
        if (SamePath(history.at(i), folder)) {
            history.removeAt(i);
            break;
        }
    }
    history.prepend(folder);
    while (history.size() > limit)
        history.removeLast();
}

void TFQuillon::BindFileOpActions()
{
    const auto hasSelection = [this] { return LVFiles->selectionModel()->hasSelection(); };
    for (int i = 0; i < ShownHistoryEntries; ++i) {
        for (bool move : {false, true}) {
            const QString name = QString::fromLatin1(move ? "ActMoveHistory%1" : "ActCopyHistory%1").arg(i + 1);
            QStringList& history = move ? m_moveHistory : m_copyHistory;
            Action(name)->setIcon(CommandPicture(style()->standardIcon(QStyle::SP_DirIcon)));
            BindAction(
                name, [this, &history, i, move] { ActCopyHistoryExecute(history, i, move); },
                [this, &history, i, name] {
                    // The caption follows the history; entries beyond it hide.
                    QAction* action = Action(name);
                    const bool shown = i < history.size();
                    action->setText(shown ? MenuCaption(history.at(i)) : QString());
                    action->setVisible(shown);
                    return shown;
                });
        }
    }
    BindAction(QStringLiteral("ActCopyFileToSelect"), [this] { ActCopyFileToSelectExecute(false); }, hasSelection);
    BindAction(QStringLiteral("ActMoveFileToSelect"), [this] { ActCopyFileToSelectExecute(true); }, hasSelection);
    // They only carry their pop-ups.
    BindAction(QStringLiteral("ActCopyFileTo"), nullptr, hasSelection);
    BindAction(QStringLiteral("ActMoveFileTo"), nullptr, hasSelection);
    BindAction(QStringLiteral("ActDeleteFile"), [this] { ActDeleteFileExecute(); }, hasSelection);
    m_folderTreeModel->SetRenameHandler([this](const QModelIndex& node, const QString& name) {
        bool renamed = false;
        RunGuarded(this, [&] { renamed = ShellTreeView1Edited(node, name); });
        return renamed;
    });
    ShellTreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed);
}

bool TFQuillon::BeepWhenBusy()
{
    if (!m_loading && !m_saving && !m_fileOpRunning)
        return false;
    CurrentPrompt()->Beep();
    return true;
}

void TFQuillon::ActCopyHistoryExecute(QStringList& history, int index, bool move)
{
    if (index < 0 || index >= history.size()) {
        CurrentPrompt()->Beep();
        return;
    }
    const QString folder = history.at(index);
    AddFolderToHistory(folder, history, TSettingsStore::HistorySize);
    move ? MoveSelectionTo(folder) : CopySelectionTo(folder);
}

void TFQuillon::ActCopyFileToSelectExecute(bool move)
{
    if (!LVFiles->selectionModel()->hasSelection()) {
        CurrentPrompt()->Beep();
        return;
    }
    const std::optional<QString> folder =
        CurrentPrompt()->ChooseFolder(this, Lang("SelectFolderWindowText"), m_currentFolder);
    if (!folder || folder->isEmpty())
        return;
    AddFolderToHistory(*folder, move ? m_moveHistory : m_copyHistory, TSettingsStore::HistorySize);
    move ? MoveSelectionTo(*folder) : CopySelectionTo(*folder);
}

QList<QByteArray> TFQuillon::SelectedFilePaths() const
{
    QList<int> rows;
    for (const QModelIndex& index : LVFiles->selectionModel()->selectedRows())
        if (index.row() >= 0 && static_cast<size_t>(index.row()) < m_entries.size())
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<QByteArray> files;
    files.reserve(rows.size());
    for (int row : rows)
        files << EntryPath(*m_entries[static_cast<size_t>(row)]);
    return files;
}

void TFQuillon::CopySelectionTo(const QString& folder)
{
    if (!folder.isEmpty())
        ShellCopyFiles(SelectedFilePaths(), folder);
}

void TFQuillon::MoveSelectionTo(const QString& folder)
{
    if (!folder.isEmpty())
        ShellMoveFiles(SelectedFilePaths(), folder);
}

void TFQuillon::ShellCopyFiles(const QList<QByteArray>& files, const QString& target)
{
    TransferFiles(files, target, false);
}

void TFQuillon::ShellMoveFiles(const QList<QByteArray>& files, const QString& target)
{
    TransferFiles(files, target, true);
}

TFileOpResult TFQuillon::TransferFiles(const QList<QByteArray>& files, const QString& target, bool move)
{
    TFileOpResult result;
    if (BeepWhenBusy())
        return result;
    RunFileOperation([&] {
        CommitEdits();
        if (files.isEmpty()) {
            CurrentPrompt()->Beep();
            return false;
        }
        if (move) {
            // Bodies left in a file are found by its path and state: fetch
            // them for every entry that is to follow its file.
            QSet<QString> moving;
            for (const QByteArray& file : files)
                moving.insert(DecodedPath(file));
            for (const auto& entry : m_entries) {
                const QString path = entry->PathKey();
                for (qsizetype end = path.size(); end > 0; end = path.lastIndexOf(QLatin1Char('/'), end - 1)) {
                    if (moving.contains(path.left(end))) {
                        LoadDeferredBodies(entry->Frames);
                        break;
                    }
                }
            }
        }
        result = m_fileOpRunner->Transfer(files, NativeFromPath(NormalPath(target)), move);
        // A file replaced is gone as if deleted, before anything takes its
        // path.
        QSet<QString> replaced;
        for (const TFileOpDone& done : result.Done)
            if (done.Replaced)
                replaced.insert(DecodedPath(done.To));
        ForgetFiles(replaced);
        if (!move)
            return IsInListedFolder(target);
        TPathMoves moves;
        for (const TFileOpDone& done : result.Done)
            moves.Add(DecodedPath(done.From), DecodedPath(done.To));
        FollowMoves(moves);
        PurgeUndoForMissingFiles(files);
        return true;
    });
    return result;
}

void TFQuillon::RunFileOperation(const std::function<bool()>& operation)
{
    bool reload = false;
    {
        const TFlagSet running(m_fileOpRunning);
        reload = operation();
    }
    // A load of the listed folder asked for meanwhile is the reload below;
    // of another folder (the tree moved on), it takes its place.
    if (m_reloadPending && SamePath(TreePath(), m_currentFolder)) {
        m_reloadPending = false;
        reload = true;
    }
    if (reload && !m_reloadPending && !m_closeRequested)
        ReloadFolder(true);
    else
        RunHeldRequests();
}

void TFQuillon::FollowMoves(const TPathMoves& moves)
{
    if (moves.IsEmpty())
        return;
    for (const auto& entry : m_entries)
        if (const std::optional<QString> moved = moves.NewPathOf(entry->PathKey()))
            MoveEntryTo(*entry, *moved);
    m_undoList.MovePaths(moves);
    ID3v2Reader1.MoveUndoPaths(moves);
    for (QStringList* history : {&m_backHistory, &m_forwardHistory, &m_copyHistory, &m_moveHistory})
        for (QString& folder : *history)
            if (const std::optional<QString> moved = moves.NewPathOf(NormalPath(folder)))
                folder = *moved;
    FavoritesFollowMoves(moves);
    // The listed folder itself, or a folder above it, went elsewhere: the
    // list and the tree go with it.
    if (const std::optional<QString> moved = moves.NewPathOf(NormalPath(m_currentFolder))) {
        m_currentFolder = WithSlash(*moved);
        SetTreePath(*moved);
    }
}

void TFQuillon::PurgeUndoForMissingFiles(const QList<QByteArray>& files)
{
    PurgeUndoOf(MissingFiles(files));
}

void TFQuillon::PurgeUndoOf(const QSet<QString>& paths)
{
    if (paths.isEmpty())
        return;
    m_undoList.PurgeFiles(paths);
    for (const QString& path : paths)
        ID3v2Reader1.ForgetUndo(path);
}

bool TFQuillon::IsInListedFolder(const QString& folder) const
{
    if (m_currentFolder.isEmpty() || folder.isEmpty())
        return false;
    if (IsSameFolder(folder, m_currentFolder))
        return true;
    return m_includeSubfolders && IsSameOrBelow(folder, m_currentFolder);
}

void TFQuillon::ActDeleteFileExecute()
{
    DeleteSelection(QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
}

void TFQuillon::DeleteSelection(bool permanently)
{
    if (BeepWhenBusy())
        return;
    const QList<QByteArray> files = SelectedFilePaths();
    if (files.isEmpty()) {
        CurrentPrompt()->Beep();
        return;
    }
    RunFileOperation([&] {
        ApplyInputsToSelection();
        const QString count = QString::number(files.size());
        const QString name = QFile::decodeName(PathName(files.first()));
        const QString question = permanently ? (files.size() == 1 ? LangFmt("ConfirmDeleteFile", {name})
                                                                  : LangFmt("ConfirmDeleteFiles", {count}))
                                             : (files.size() == 1 ? LangFmt("ConfirmTrashFile", {name})
                                                                  : LangFmt("ConfirmTrashFiles", {count}));
        if (CurrentPrompt()->Ask(this, permanently ? TPromptIcon::Warning : TPromptIcon::Question, question,
                                 pbYes | pbNo)
            != pbYes)
            return false;
        m_fileOpRunner->Delete(files, permanently);
        // What is gone now, deleted here or by another program before, leaves
        // the list before the reload, which would write its edits.
        ForgetFiles(MissingFiles(files));
        return true;
    });
}

void TFQuillon::ForgetFiles(const QSet<QString>& paths)
{
    PurgeUndoOf(paths);
    const auto listed = [&](const TEintragdatenPtr& entry) { return paths.contains(entry->PathKey()); };
    if (std::none_of(m_entries.begin(), m_entries.end(), listed))
        return;
    m_appliedEdits.Clear();
    m_selectionGuard = true;
    if (m_templateEntry && paths.contains(m_templateEntry->PathKey()))
        SetTemplateEntry(nullptr);
    std::erase_if(m_entries, listed);
    m_listModel->SetRowCount(static_cast<int>(m_entries.size()));
    m_pathIndex.clear();
    m_pathIndexValid = false;
    m_selectionGuard = false;
    UpdateSelectionState();
}

bool TFQuillon::ShellTreeView1Edited(const QModelIndex& index, const QString& newText)
{
    if (BeepWhenBusy())
        return false;
    const QString oldPath = ShellTreeModel->filePath(index);
    const QString oldName = ShellTreeModel->fileName(index);
    if (newText == oldName)
        return false;
    if (!IsFolderPath(oldPath)) {
        CurrentPrompt()->Beep();
        return false;
    }
    // The tree may read its folders again while the edits are written or a
    // question is up: a folder that went away meanwhile is not renamed.
    const QPersistentModelIndex node(index);
    bool listed = false;
    bool entriesBelow = false;
    QByteArray newPathBytes;
    std::optional<QString> failure;
    {
        const TFlagSet running(m_fileOpRunning);
        // Pending edits are written to the files under their old names,
        // before anything is renamed.
        CommitEdits();
        listed = IsSameOrBelow(m_currentFolder, oldPath);
        for (const auto& entry : m_entries)
            entriesBelow = entriesBelow || IsSameOrBelow(entry->PathKey(), oldPath);
        // The list shows the folder under its new name, read anew.
        if (listed)
            ClearFileList();
        failure = node.isValid() ? m_fileOpRunner->Rename(ShellTreeModel->NativePath(node),
                                                          QFile::encodeName(newText), &newPathBytes)
                                 : SystemErrorText(ENOENT);
        if (failure)
            CurrentPrompt()->Error(this, LangFmt("ErrorRenameFolder", {oldName, *failure}));
    }
    // Once the tree's editor is closed: everything follows the folder (the
    // tree moves to the listed folder's new path, which loads it), or the
    // list shows the folder again, unless the tree moved on meanwhile; then
    // what waited for the rename.
    const QString newPath = DecodedPath(newPathBytes);
    const bool renamed = !failure;
    QTimer::singleShot(0, this, [this, oldPath, newPath, entriesBelow, listed, renamed] {
        RunGuarded(this, [&] {
            if (renamed) {
                TPathMoves moves;
                moves.Add(oldPath, newPath);
                FollowMoves(moves);
                if (entriesBelow && !listed)
                    ReloadFolder(true);
                else
                    RefreshFolderTree();
            } else if (listed && !m_reloadPending) {
                ReloadFolder(false);
            }
            RunHeldRequests();
        });
    });
    return renamed;
}

void TFQuillon::RefreshFolderTree()
{
    // The tree reads watched folders by itself, and the others now; a folder
    // that is gone gives way to the nearest one above it that is still there.
    ShellTreeModel->Refresh();
    QString path = TreePath();
    if (path.isEmpty() || IsFolderPath(path))
        return;
    while (!path.isEmpty() && path != QLatin1String("/") && !IsFolderPath(path))
        path = QFileInfo(path).path();
    SetTreePath(path);
}
