// Dragging files out of the list and folders out of the tree, dropping files
// onto both, and files on the clipboard.
#include "mainwindow/FQuillon.h"

#include "controls/DropSource.h"
#include "controls/DropTarget.h"
#include "controls/FileMimeData.h"
#include "controls/MyListView.h"
#include "controls/PopupMenuRunner.h"
#include "mainwindow/FolderTreeModel.h"
#include "controls/Guarded.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileOps.h"
#include "platform/NativePath.h"
#include "platform/PathCompare.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFile>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>

#include <sys/stat.h>

namespace {

// Pixels from the tree's top and bottom edge within which it scrolls during
// a drag.
constexpr int TreeScrollBand = 15;

QString FolderOfFile(const QByteArray& path)
{
    return PathFromNative(PathFolder(path));
}

// Both folders lie on one file system.
bool OnSameFileSystem(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    return ::stat(NativeFromPath(a).constData(), &sa) == 0 && ::stat(NativeFromPath(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev;
}

}

void TFQuillon::BindDragDrop()
{
    DropFileSource1 = new TDropFileSource(this);
    DropFileSource1->Dragtypes = DragTypeBit(dtCopy) | DragTypeBit(dtMove);
    DropFileSource1->OnDrop = [this](TDropFileSource& source, TDragType) {
        // A folder dragged elsewhere: the tree shows where it went.
        if (source.Files.size() == 1 && IsFolderPath(PathFromNative(source.Files.first())))
            QTimer::singleShot(0, this, [this] { RunGuarded(this, [this] { RefreshFolderTree(); }); });
    };
    for (TDropFileTarget** target : {&DropFileTarget1, &DropFileTarget2}) {
        auto* dropTarget = new TDropFileTarget(this);
        dropTarget->Dragtypes = DragTypeBit(dtCopy) | DragTypeBit(dtMove);
        dropTarget->GetDataOnEnter = true;
        // The copy or move of a drop runs after the drop has been answered
        // and may yet fail, be cancelled or be turned down in the menu: no
        // source may delete its files on the answer.
        dropTarget->MovesFilesItself = true;
        dropTarget->OnGetDropEffect = [this](TDropFileTarget& sender, const TShiftState& shift, const QPoint& point,
                                             quint32& effect) {
            RunGuarded(this, [&] { DropFileTarget1GetDropEffect(sender, shift, point, effect); });
        };
        dropTarget->OnDrop = [this](TDropFileTarget& sender, const TShiftState&, const QPoint& point,
                                    quint32& effect) {
            RunGuarded(this, [&] { DropFileTarget1Drop(sender, point, effect); });
        };
        dropTarget->OnLeave = [this](TDropFileTarget& sender) { DropFileTarget1Leave(sender); };
        *target = dropTarget;
    }
    DropFileTarget1->Register(LVFiles);
    DropFileTarget2->Register(ShellTreeView1);
    // The list defers a click on a selected row to the release, so that a
    // drag takes the whole selection.
    LVFiles->setDragEnabled(true);
    LVFiles->viewport()->installEventFilter(this);
    ShellTreeView1->viewport()->installEventFilter(this);
}

bool TFQuillon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LVFiles->viewport() || watched == ShellTreeView1->viewport()) {
        bool consumed = false;
        RunGuarded(this, [&] { consumed = DragEventFilter(watched, event); });
        return consumed;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TFQuillon::DragEventFilter(QObject* watched, QEvent* event)
{
    QWidget* control = watched == LVFiles->viewport() ? static_cast<QWidget*>(LVFiles) : ShellTreeView1;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        m_dragStartPos = mouse->position().toPoint();
        m_dragControl = nullptr;
        m_contextMenuDeferred = false;
        // A drag starts only from a row or a folder's name.
        if (control == LVFiles ? LVFiles->indexAt(m_dragStartPos).isValid()
                               : ShellTreeView1->visualRect(ShellTreeView1->indexAt(m_dragStartPos))
                                     .contains(m_dragStartPos))
            m_dragControl = control;
        if (control == ShellTreeView1 && m_dragControl) {
            // The tree moves to a folder when the left button is released
            // without a drag, so that dragging a folder does not load it.
            ShellTreeView1->setFocus(Qt::MouseFocusReason);
            return true;
        }
        return false;
    }
    case QEvent::ContextMenu:
        // The context menu waits for the release, so that the right button
        // can drag the files too.
        if (control == LVFiles && m_dragControl == LVFiles
            && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Mouse) {
            m_contextMenuDeferred = true;
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool treeClick = control == ShellTreeView1 && m_dragControl == ShellTreeView1;
        m_dragControl = nullptr;
        if (m_contextMenuDeferred && mouse->button() == Qt::RightButton) {
            m_contextMenuDeferred = false;
            PopFiles->popup(mouse->globalPosition().toPoint());
            return true;
        }
        if (!treeClick)
            return false;
        const QModelIndex node = ShellTreeView1->indexAt(m_dragStartPos);
        if (node.isValid() && mouse->button() == Qt::LeftButton)
            ShellTreeView1->setCurrentIndex(node);
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!(mouse->buttons() & (Qt::LeftButton | Qt::RightButton))) {
            m_dragControl = nullptr;
            return false;
        }
        if (m_dragRunning || m_dragControl != control)
            return false;
        const QPoint moved = mouse->position().toPoint() - m_dragStartPos;
        const int threshold = QApplication::startDragDistance();
        // A press on a row or folder drags it: the view must not select a
        // range meanwhile.
        if (std::abs(moved.x()) < threshold && std::abs(moved.y()) < threshold)
            return true;
        StartDrag(control);
        return true;
    }
    default:
        return false;
    }
}

void TFQuillon::StartDrag(QWidget* control)
{
    m_dragControl = nullptr;
    m_contextMenuDeferred = false;
    if (BeepWhenBusy())
        return;
    QList<QByteArray> files;
    if (control == LVFiles) {
        files = SelectedFilePaths();
    } else {
        const QModelIndex node = ShellTreeView1->indexAt(m_dragStartPos);
        if (node.isValid())
            files << ShellTreeModel->NativePath(node);
    }
    if (files.isEmpty())
        return;
    m_dragRunning = true;
    CommitEdits();
    m_droppedHere = false;
    DropFileSource1->Files = files;
    DropFileSource1->Execute(control);
    m_dragRunning = false;
    // Dropped on another control of this window: nothing happened there.
    if (control == LVFiles) {
        const QWidget* over = QApplication::widgetAt(QCursor::pos());
        if (over && over->window() == this && over != ShellTreeView1 && !ShellTreeView1->isAncestorOf(over))
            return;
    }
    if (m_droppedHere)
        return;
    // Another program may have moved or deleted the files, whatever it
    // answered, even the listed folder: the tree then goes to the folder
    // above, which loads it.
    PurgeUndoForMissingFiles(files);
    if (IsFolderPath(m_currentFolder))
        ReloadFolder(true);
    else
        RefreshFolderTree();
}

QString TFQuillon::GetDropTargetFolder(TDropFileTarget& target, const QPoint& point)
{
    if (target.Target() == LVFiles)
        return m_currentFolder;
    if (target.Target() != ShellTreeView1)
        return {};
    const QModelIndex node = ShellTreeView1->indexAt(point);
    m_folderTreeModel->SetDropHighlight(node);
    if (!node.isValid())
        return {};
    const QString folder = ShellTreeModel->filePath(node);
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

void TFQuillon::DropFileTarget1GetDropEffect(TDropFileTarget& target, const TShiftState& shift, const QPoint& point,
                                             quint32& effect)
{
    const quint32 allowed = effect;
    effect = DropEffectNone;
    const QString targetFolder = GetDropTargetFolder(target, point);
    const QString sourceFolder = target.Files().isEmpty() ? QString() : FolderOfFile(target.Files().first());
    if (targetFolder.isEmpty() || sourceFolder.isEmpty())
        return;
    if (shift.Buttons & Qt::LeftButton)
        m_rightButtonDrag = false;
    else if (shift.Buttons & Qt::RightButton)
        m_rightButtonDrag = true;
    const Qt::KeyboardModifiers keys = shift.Keys & (Qt::ShiftModifier | Qt::ControlModifier);
    const bool toList = target.Target() == LVFiles;
    if (m_loading || m_saving || m_fileOpRunning || IsSameFolder(targetFolder, sourceFolder)
        || (toList && IsInListedFolder(sourceFolder)))
        effect = DropEffectNone;
    else if (keys == Qt::ShiftModifier && (allowed & DropEffectMove))
        effect = DropEffectMove;
    else if (keys == Qt::ControlModifier && (allowed & DropEffectCopy))
        effect = DropEffectCopy;
    else if (OnSameFileSystem(targetFolder, sourceFolder) && (allowed & DropEffectMove))
        effect = DropEffectMove;
    else if (allowed & DropEffectCopy)
        effect = DropEffectCopy;
    else if (allowed & DropEffectMove)
        effect = DropEffectMove;
    if (target.Target() == ShellTreeView1
        && (point.y() < TreeScrollBand || point.y() > ShellTreeView1->viewport()->height() - TreeScrollBand))
        effect |= DropEffectScroll;
}

void TFQuillon::DropFileTarget1Drop(TDropFileTarget& target, const QPoint& point, quint32& effect)
{
    const QString targetFolder = GetDropTargetFolder(target, point);
    const QList<QByteArray> files = target.Files();
    const bool toTree = target.Target() == ShellTreeView1;
    if (toTree)
        m_folderTreeModel->SetDropHighlight({});
    if (BeepWhenBusy()) {
        effect = DropEffectNone;
        return;
    }
    if (targetFolder.isEmpty() || files.isEmpty())
        return;
    if (IsSameFolder(targetFolder, FolderOfFile(files.first()))) {
        effect = DropEffectNone;
        CurrentPrompt()->Error(this, Lang("ErrorDragDropSameFolder"));
        return;
    }
    const bool askFirst = m_rightButtonDrag;
    m_rightButtonDrag = false;
    m_droppedHere = true;
    const QPoint globalPos = target.Target()->mapToGlobal(point);
    const quint32 proposed = effect;
    // The copy or move runs after the drop has been answered, so that the
    // program the files came from does not wait for it.
    QTimer::singleShot(0, this, [=, this] {
        RunGuarded(this, [&] { RunDropOperation(files, targetFolder, proposed, askFirst, globalPos, toTree); });
        UpdateActions();
    });
}

void TFQuillon::RunDropOperation(const QList<QByteArray>& files, const QString& target, quint32 effect,
                                 bool askFirst, const QPoint& globalPos, bool toTree)
{
    if (askFirst) {
        // The right button asks what to do, offering what the keys chose.
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("PopDragDrop"));
        QAction* copy = menu.addAction(Lang("DropCopyHere"));
        QAction* move = menu.addAction(Lang("DropMoveHere"));
        menu.addSeparator();
        menu.addAction(Lang("DropCancel"));
        menu.setDefaultAction((effect & DropEffectMove) ? move : copy);
        const QAction* chosen = RunPopupMenu(menu, globalPos);
        effect = chosen == copy ? DropEffectCopy : chosen == move ? DropEffectMove : DropEffectNone;
    }
    if (effect & DropEffectMove)
        ShellMoveFiles(files, target);
    else if (effect & DropEffectCopy)
        ShellCopyFiles(files, target);
    if (toTree)
        RefreshFolderTree();
}

void TFQuillon::DropFileTarget1Leave(TDropFileTarget& target)
{
    if (target.Target() == ShellTreeView1)
        m_folderTreeModel->SetDropHighlight({});
}

void TFQuillon::CopyFilesToClipboard(bool cut)
{
    const QList<QByteArray> files = SelectedFilePaths();
    if (files.isEmpty()) {
        CurrentPrompt()->Beep();
        return;
    }
    CommitEdits();
    DropFileSource1->Files = files;
    if (!(cut ? DropFileSource1->CutToClipboard() : DropFileSource1->CopyToClipboard()))
        CurrentPrompt()->Beep();
}

void TFQuillon::PasteFilesFromClipboard()
{
    if (BeepWhenBusy())
        return;
    const bool toTree = ShellTreeView1->hasFocus();
    TDropFileTarget& target = toTree ? *DropFileTarget2 : *DropFileTarget1;
    const quint32 effect = target.PasteFromClipboard();
    const QString folder = toTree ? TreePath() : m_currentFolder;
    if (effect == DropEffectNone || folder.isEmpty()) {
        CurrentPrompt()->Beep();
        return;
    }
    const QList<QByteArray> files = target.Files();
    const bool move = effect & DropEffectMove;
    const TFileOpResult result = TransferFiles(files, folder, move);
    if (!move)
        return;
    // Cut files are moved once: they leave the clipboard when every one of
    // them has moved, not before, so that a move that failed, was cancelled
    // or skipped some can be pasted again.
    const bool allMoved =
        !result.Done.empty() && result.Failed.empty() && result.Unchanged.isEmpty() && !result.Cancelled;
    if (QClipboard* clipboard = QGuiApplication::clipboard(); clipboard && allMoved)
        clipboard->clear();
}
