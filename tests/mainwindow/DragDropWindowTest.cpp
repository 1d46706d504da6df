#include "FileOpsTestSupport.h"

#include "controls/DropSource.h"
#include "controls/DropTarget.h"
#include "controls/FileMimeData.h"
#include "controls/PopupMenuRunner.h"

#include "support/gui/DropEvents.h"

#include "localisation/MultiLanguage.h"

#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeView>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const Qt::DropActions CopyOrMove = Qt::CopyAction | Qt::MoveAction;

// What GNOME Files offers for a drag of files: a CRLF uri-list and its own
// icon list.
std::unique_ptr<QMimeData> GnomeFilesData(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QByteArray uris;
    for (const QString& path : paths)
        uris += FileMimeData::FileUri(QFile::encodeName(path)) + "\r\n";
    data->setData("text/uri-list", uris);
    data->setData("x-special/gnome-icon-list", uris);
    return data;
}

class DragDropWindowTest : public ::testing::Test, protected TWindowFixture {
protected:
    QString Src, Dst;
    TPopupMenuRunner PreviousMenuRunner;

    void SetUp() override
    {
        Src = Folder("src");
        Dst = Folder("dst");
        MakeFile(Src + "/a.mp3", "A");
        MakeFile(Src + "/b.mp3", "B");
        Open(Src);
        Show();
        // The test's folders lie as deep in the tree as the temporary folder
        // does: the folder bar gets the width the tree needs to show them.
        QAbstractItemView* tree = Window->ShellTreeView1;
        tree->scrollTo(TreeIndex(Dst));
        const int needed = tree->sizeHintForColumn(0) + Window->PanLeft->width() - tree->viewport()->width();
        Window->resize(Window->width() + needed, Window->height());
        Window->Splitter1->setSizes({needed, Window->Splitter1->width() - needed});
    }
    void TearDown() override { SetPopupMenuRunner(PreviousMenuRunner); }

    QWidget* List() const { return Window->LVFiles->viewport(); }
    QWidget* Tree() const { return Window->ShellTreeView1->viewport(); }

    // The effect the window chose for a drag over the list or tree that was
    // answered so. Another program is never answered a move, which would
    // have it delete its files: the answer is a copy for both.
    quint32 Chosen(QWidget* widget, Qt::DropAction answered) const
    {
        const TDropFileTarget* target = widget == List() ? Window->DropFileTarget1 : Window->DropFileTarget2;
        const quint32 chosen = target->ChosenEffect() & (DropEffectCopy | DropEffectMove);
        EXPECT_EQ(answered, chosen == DropEffectNone ? Qt::IgnoreAction : Qt::CopyAction);
        return chosen;
    }

    // Where a folder's node is in the tree's viewport, scrolled into view. The
    // tree moves while it reads folders: ask right before each drag.
    QPoint TreePoint(const QString& folder)
    {
        const QModelIndex index = TreeIndex(folder);
        QTreeView* tree = Window->ShellTreeView1;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                tree->scrollTo(index);
                const QRect rect = tree->visualRect(index);
                return rect.isValid() && tree->viewport()->rect().contains(rect.center());
            },
            5000));
        const QPoint point = tree->visualRect(index).center();
        EXPECT_EQ(tree->indexAt(point), index);
        return point;
    }
};

}

TEST_F(DragDropWindowTest, DropEffectsFollowKeysFileSystemsAndTheListedFolder)
{
    const auto fromSrc = GnomeFilesData({Src + "/a.mp3"});
    // Onto the list from its own folder: nothing to do.
    EXPECT_EQ(Chosen(List(), DropEvents::Over(List(), *fromSrc, QPoint(20, 20), CopyOrMove)), DropEffectNone);
    DropEvents::Leave(List());

    // Onto a folder of the tree on the same file system: a move, Ctrl copies.
    const QPoint dst = TreePoint(Dst);
    EXPECT_EQ(Chosen(Tree(), DropEvents::Over(Tree(), *fromSrc, dst, CopyOrMove)), DropEffectMove);
    EXPECT_TRUE(Window->ShellTreeModel->data(TreeIndex(Dst), Qt::BackgroundRole).isValid());
    EXPECT_EQ(Chosen(Tree(), DropEvents::Move(Tree(), *fromSrc, dst, CopyOrMove, Qt::ControlModifier)),
              DropEffectCopy);
    // Onto the files' own folder: nothing.
    EXPECT_EQ(Chosen(Tree(), DropEvents::Move(Tree(), *fromSrc, TreePoint(Src), CopyOrMove)), DropEffectNone);
    DropEvents::Leave(Tree());
    EXPECT_FALSE(Window->ShellTreeModel->data(TreeIndex(Dst), Qt::BackgroundRole).isValid());

    // Within 15 pixels of the tree's top or bottom edge the tree scrolls (a
    // line at a time once the pointer is within a line's height), further in
    // it does not.
    for (int i = 0; i < 60; ++i)
        Folder(QStringLiteral("filler%1").arg(i, 2, 10, QLatin1Char('0')));
    const QModelIndex parent = TreeIndex(Env.Folder());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            Window->ShellTreeModel->fetchMore(parent);
            return Window->ShellTreeModel->rowCount(parent) >= 62;
        },
        5000));
    TreePoint(Folder(QStringLiteral("filler59")));
    const QScrollBar* bar = Window->ShellTreeView1->verticalScrollBar();
    const int scrolledDown = bar->value();
    ASSERT_GT(scrolledDown, 0);
    const int bottom = Tree()->height();
    const auto scrollsAt = [&](int y) {
        DropEvents::Move(Tree(), *fromSrc, QPoint(60, y), CopyOrMove);
        const bool scrollBit = Window->DropFileTarget2->ChosenEffect() & DropEffectScroll;
        EXPECT_EQ(Window->DropFileTarget2->IsScrolling(), scrollBit) << y;
        return scrollBit;
    };
    DropEvents::Over(Tree(), *fromSrc, QPoint(60, bottom / 2), CopyOrMove);
    EXPECT_FALSE(scrollsAt(bottom / 2));
    EXPECT_TRUE(scrollsAt(14));
    EXPECT_FALSE(scrollsAt(15));
    EXPECT_FALSE(scrollsAt(bottom - 15));
    EXPECT_TRUE(scrollsAt(bottom - 14));
    EXPECT_TRUE(scrollsAt(4));
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() < scrolledDown; }, 5000));
    const int scrolledUp = bar->value();
    EXPECT_TRUE(scrollsAt(bottom - 4));
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() > scrolledUp; }, 5000));
    DropEvents::Leave(Tree());
    EXPECT_FALSE(Window->DropFileTarget2->IsScrolling());

    // From another file system: a copy.
    struct stat shm {}, here {};
    ASSERT_EQ(::stat("/dev/shm", &shm), 0);
    ASSERT_EQ(::stat(QFile::encodeName(Src).constData(), &here), 0);
    ASSERT_NE(shm.st_dev, here.st_dev) << "no second file system at /dev/shm";
    QTemporaryDir other(QStringLiteral("/dev/shm/quillon-drop-XXXXXX"));
    MakeFile(other.filePath("c.mp3"), "C");
    const auto fromOther = GnomeFilesData({other.filePath("c.mp3")});
    EXPECT_EQ(Chosen(List(), DropEvents::Over(List(), *fromOther, QPoint(20, 20), CopyOrMove)), DropEffectCopy);
    // The copy starts after the drop has been answered.
    EXPECT_EQ(DropEvents::Drop(List(), *fromOther, QPoint(20, 20), CopyOrMove), Qt::CopyAction);
    EXPECT_FALSE(QFile::exists(Src + "/c.mp3"));
    Settle();
    EXPECT_EQ(Bytes(Src + "/c.mp3"), Bytes(other.filePath("c.mp3")));
    EXPECT_TRUE(ListedNames().contains("c.mp3"));
    EXPECT_TRUE(Prompt.Errors.isEmpty());
}

TEST_F(DragDropWindowTest, DropsMoveRefuseTheirOwnFolderAndAskOnTheRightButton)
{
    // The drop is answered before the move runs: the answers tell the
    // source to keep its files, which it would delete after a Move answer,
    // for the move may still fail (here it is cancelled at the name taken).
    MakeFile(Dst + "/a.mp3", "Taken");
    const auto files = GnomeFilesData({Src + "/a.mp3"});
    const QPoint dst = TreePoint(Dst);
    EXPECT_EQ(Chosen(Tree(), DropEvents::Over(Tree(), *files, dst, CopyOrMove)), DropEffectMove);
    EXPECT_EQ(Chosen(Tree(), DropEvents::Drop(Tree(), *files, dst, CopyOrMove)), DropEffectMove);
    Settle();
    EXPECT_EQ(Prompt.Choices.size(), 1);
    EXPECT_EQ(FilesIn(Src), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(ListedNames(), QStringList({"a.mp3", "b.mp3"}));
    // A move that succeeds is answered alike; the list follows what moved.
    ASSERT_TRUE(QFile::remove(Dst + "/a.mp3"));
    DropEvents::Over(Tree(), *files, TreePoint(Dst), CopyOrMove);
    EXPECT_EQ(Chosen(Tree(), DropEvents::Drop(Tree(), *files, TreePoint(Dst), CopyOrMove)), DropEffectMove);
    Settle();
    EXPECT_EQ(FilesIn(Dst), QStringList({"a.mp3"}));
    EXPECT_EQ(ListedNames(), QStringList({"b.mp3"}));

    // Into the folder the files come from: refused with a message.
    const auto fromDst = GnomeFilesData({Dst + "/a.mp3"});
    const QPoint dstAgain = TreePoint(Dst);
    DropEvents::Over(Tree(), *fromDst, dstAgain, CopyOrMove);
    EXPECT_EQ(DropEvents::Drop(Tree(), *fromDst, dstAgain, CopyOrMove), Qt::IgnoreAction);
    Settle();
    EXPECT_EQ(Prompt.Errors, QStringList({Lang("ErrorDragDropSameFolder")}));

    // The right button asks, offering what the keys chose.
    QStringList offered;
    QString defaultItem;
    QString choose = Lang("DropMoveHere");
    PreviousMenuRunner = SetPopupMenuRunner([&](QMenu& menu, const QPoint&) -> QAction* {
        for (QAction* item : menu.actions())
            if (!item->isSeparator())
                offered << item->text();
        defaultItem = menu.defaultAction() ? menu.defaultAction()->text() : QString();
        for (QAction* item : menu.actions())
            if (item->text() == choose)
                return item;
        return nullptr;
    });
    const QPoint src = TreePoint(Src);
    DropEvents::Over(Tree(), *fromDst, src, CopyOrMove, Qt::ControlModifier, Qt::RightButton);
    DropEvents::Drop(Tree(), *fromDst, src, CopyOrMove, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(offered, QStringList({Lang("DropCopyHere"), Lang("DropMoveHere"), Lang("DropCancel")}));
    EXPECT_EQ(defaultItem, Lang("DropCopyHere"));
    EXPECT_TRUE(FilesIn(Dst).isEmpty());
    EXPECT_EQ(FilesIn(Src), QStringList({"a.mp3", "b.mp3"}));
    // Cancel in the menu: nothing.
    choose = Lang("DropCancel");
    const auto back = GnomeFilesData({Src + "/b.mp3"});
    DropEvents::Over(Tree(), *back, TreePoint(Dst), CopyOrMove, Qt::NoModifier, Qt::RightButton);
    DropEvents::Drop(Tree(), *back, TreePoint(Dst), CopyOrMove);
    Settle();
    EXPECT_TRUE(FilesIn(Dst).isEmpty());
}

TEST_F(DragDropWindowTest, CutFilesLeaveTheClipboardOnlyOnceTheyHaveMoved)
{
    Select({"a.mp3"});
    Window->CopyFilesToClipboard(true);
    const auto onClipboard = [] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data ? FileMimeData::FilesOf(*data) : QList<QByteArray>();
    };
    ASSERT_EQ(onClipboard(), QList<QByteArray>({QFile::encodeName(Src + "/a.mp3")}));
    // Pasted where the name is taken, and cancelled there: nothing moved.
    MakeFile(Dst + "/a.mp3", "Taken");
    Visit(Dst);
    Window->LVFiles->setFocus();
    Window->PasteFilesFromClipboard();
    EXPECT_EQ(Prompt.Choices.size(), 1);
    EXPECT_TRUE(QFile::exists(Src + "/a.mp3"));
    EXPECT_EQ(onClipboard(), QList<QByteArray>({QFile::encodeName(Src + "/a.mp3")}));
    ASSERT_TRUE(QFile::remove(Dst + "/a.mp3"));
    Window->PasteFilesFromClipboard();
    EXPECT_EQ(FilesIn(Dst), QStringList({"a.mp3"}));
    EXPECT_TRUE(onClipboard().isEmpty());
}

TEST_F(DragDropWindowTest, DragsOutOfTheListAndTheTreeCarryTheirFiles)
{
    QList<QByteArray> dragged;
    Qt::DropAction answer = Qt::IgnoreAction;
    const TDragRunner previous = SetDragRunner([&](QDrag& drag, Qt::DropActions allowed, Qt::DropAction) {
        EXPECT_EQ(allowed, Qt::CopyAction | Qt::MoveAction);
        dragged = FileMimeData::FilesOf(*drag.mimeData());
        return answer;
    });
    // A press of the left button, or a move with it held.
    const auto mouse = [](QEvent::Type type, QWidget* widget, QPoint point) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, point, widget->mapToGlobal(point), button, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    };
    const auto press = [&](QWidget* widget, QPoint point) { mouse(QEvent::MouseButtonPress, widget, point); };
    const auto move = [&](QWidget* widget, QPoint point) { mouse(QEvent::MouseMove, widget, point); };
    Select({"a.mp3", "b.mp3"});
    const QPoint row = Window->LVFiles->visualRect(Window->LVFiles->model()->index(0, 1)).center();
    press(List(), row);
    move(List(), row + QPoint(1, 1)); // below the threshold
    EXPECT_TRUE(dragged.isEmpty());
    move(List(), row + QPoint(0, 40));
    EXPECT_EQ(dragged, QList<QByteArray>({QFile::encodeName(Src + "/a.mp3"), QFile::encodeName(Src + "/b.mp3")}));
    EXPECT_EQ(Window->EditedCount(), 2); // the press kept the selection

    // A folder of the tree is dragged without being chosen.
    dragged.clear();
    const QPoint dst = TreePoint(Dst);
    press(Tree(), dst);
    move(Tree(), dst + QPoint(30, 0));
    Settle();
    EXPECT_EQ(dragged, QList<QByteArray>({QFile::encodeName(Dst)}));
    EXPECT_EQ(QDir::cleanPath(Window->CurrentFolder()), Src);

    // The listed folder, dragged to another program that moves it, whatever
    // it answers: the list goes where the tree goes, to the folder above.
    SetDragRunner([&](QDrag&, Qt::DropActions, Qt::DropAction) {
        EXPECT_TRUE(QDir().rename(Src, Env.Folder() + "/taken away"));
        return Qt::CopyAction;
    });
    const QPoint src = TreePoint(Src);
    press(Tree(), src);
    move(Tree(), src + QPoint(30, 0));
    Settle();
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_EQ(QDir::cleanPath(Window->CurrentFolder()), Env.Folder());
    SetDragRunner(previous);
}

TEST_F(DragDropWindowTest, DuringALoadDropsFileOperationsAndRenamesBeep)
{
    for (int i = 0; i < 40; ++i)
        MakeFile(Src + QString("/x%1.mp3").arg(i), "X");
    const auto files = GnomeFilesData({Src + "/a.mp3"});
    const QPoint dst = TreePoint(Dst);
    int tried = 0;
    AfterEventRounds(3, [&] {
        ASSERT_TRUE(Window->IsLoading());
        Select({"a.mp3"});
        Window->ShellMoveFiles({QFile::encodeName(Src + "/a.mp3")}, Dst);
        Window->DeleteSelection(true);
        EXPECT_FALSE(Window->ShellTreeView1Edited(TreeIndex(Dst), "renamed"));
        DropEvents::Over(Tree(), *files, dst, CopyOrMove);
        DropEvents::Drop(Tree(), *files, dst, CopyOrMove);
        tried = 1;
    });
    Window->ReloadFolder(false);
    Settle();
    ASSERT_EQ(tried, 1);
    EXPECT_GE(Prompt.Beeps, 4);
    EXPECT_TRUE(FilesIn(Dst).isEmpty());
    EXPECT_TRUE(QFile::exists(Src + "/a.mp3"));
}
