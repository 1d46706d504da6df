#include "mainwindow/ShellTreeModel.h"

#include "platform/NativePath.h"
#include "support/NativeFiles.h"

#include <QFile>
#include <QPersistentModelIndex>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class ShellTreeModelTest : public ::testing::Test {
protected:
    ~ShellTreeModelTest() override { RemoveNativeContents(Root); }

    // The names under parent, as a view asks for them.
    QStringList Shown(const QModelIndex& parent)
    {
        if (Model.canFetchMore(parent))
            Model.fetchMore(parent);
        QStringList names;
        for (int row = 0; row < Model.rowCount(parent); ++row)
            names << Model.fileName(Model.index(row, 0, parent));
        return names;
    }

    QTemporaryDir Dir;
    const QByteArray Root = QFile::encodeName(Dir.path());
    TShellTreeModel Model;
};

}

TEST_F(ShellTreeModelTest, FoldersAreListedByTheirBytesInTheTreesOrder)
{
    for (const QByteArray name : {"b", "c", "A", ".hidden", "Caf\xe9", "Caf\xc9"})
        ASSERT_TRUE(MakeNativeFolder(Root + '/' + name));
    ASSERT_TRUE(WriteNativeFile(Root + "/file.mp3", "x"));
    ASSERT_EQ(::symlink((Root + "/b").constData(), (Root + "/link").constData()), 0);

    const QModelIndex root = Model.index(PathFromNative(Root));
    ASSERT_TRUE(root.isValid());
    EXPECT_EQ(Model.filePath(root), Dir.path());
    EXPECT_TRUE(Model.hasChildren(root));
    const QString latin = QFile::decodeName("Caf\xe9");
    // Letters without regard to case (numbers by value where the locale
    // knows how); names shown alike by their bytes.
    EXPECT_EQ(Shown(root), QStringList({"A", "b", "c", latin, latin, "link"}));
    const QModelIndex upper = Model.index(3, 0, root);
    const QModelIndex lower = Model.index(4, 0, root);
    EXPECT_EQ(Model.NativePath(upper), Root + "/Caf\xc9");
    EXPECT_EQ(Model.NativePath(lower), Root + "/Caf\xe9");
    EXPECT_EQ(Model.index(Model.filePath(lower)), lower);
    EXPECT_EQ(Model.parent(lower), root);
    EXPECT_FALSE(Model.index(Dir.path() + QStringLiteral("/none")).isValid());
    EXPECT_FALSE(Model.index(Dir.path() + QStringLiteral("/file.mp3")).isValid());

    // Inside a folder Qt cannot list.
    ASSERT_TRUE(MakeNativeFolder(Root + "/Caf\xe9/inner \x80"));
    EXPECT_EQ(Model.index(PathFromNative(Root + "/Caf\xe9/inner \x80")).parent(), lower);
    EXPECT_EQ(Shown(lower), QStringList({QFile::decodeName("inner \x80")}));
}

TEST_F(ShellTreeModelTest, ChangesShowWhenWatchedOrRefreshed)
{
    ASSERT_TRUE(MakeNativeFolder(Root + "/keep"));
    ASSERT_TRUE(MakeNativeFolder(Root + "/gone"));
    ASSERT_TRUE(MakeNativeFolder(Root + "/Caf\xe9"));
    const QModelIndex root = Model.index(Dir.path());
    Shown(root);
    const QPersistentModelIndex keep = Model.index(Dir.path() + QStringLiteral("/keep"));
    ASSERT_EQ(Shown(Model.index(PathFromNative(Root + "/Caf\xe9"))), QStringList());
    EXPECT_FALSE(Model.hasChildren(Model.index(PathFromNative(Root + "/Caf\xe9"))));

    // A watched folder follows by itself.
    ASSERT_TRUE(MakeNativeFolder(Root + "/new"));
    ASSERT_EQ(::rmdir((Root + "/gone").constData()), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown(root) == QStringList({QFile::decodeName("Caf\xe9"), "keep", "new"}); },
                                5000))
        << Shown(root).join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(keep.isValid());
    EXPECT_EQ(Model.filePath(keep), Dir.path() + QStringLiteral("/keep"));

    // A folder whose name cannot be watched follows on a refresh.
    ASSERT_TRUE(MakeNativeFolder(Root + "/Caf\xe9/sub"));
    Model.Refresh();
    EXPECT_EQ(Shown(Model.index(PathFromNative(Root + "/Caf\xe9"))), QStringList({"sub"}));
}

TEST_F(ShellTreeModelTest, AHiddenFolderAskedForByItsPathIsShownWhileItIsThere)
{
    // Music kept below a hidden folder (~/.local/share/music, say) opens
    // like any other; hidden folders nobody asked for stay out.
    for (const QByteArray name : {"b", ".other", ".hidden", ".hidden/music", ".hidden/music/album"})
        ASSERT_TRUE(MakeNativeFolder(Root + '/' + name));
    const QString music = Dir.path() + QStringLiteral("/.hidden/music");
    const QModelIndex found = Model.index(music);
    ASSERT_TRUE(found.isValid());
    EXPECT_EQ(Model.filePath(found), music);
    const QModelIndex root = Model.index(Dir.path());
    EXPECT_EQ(Shown(root), QStringList({".hidden", "b"}));
    EXPECT_EQ(Shown(found), QStringList({"album"}));
    EXPECT_FALSE(Model.index(Dir.path() + QStringLiteral("/..")).isValid());

    Model.Refresh();
    EXPECT_EQ(Shown(root), QStringList({".hidden", "b"}));
    EXPECT_EQ(Model.index(music), found);

    // Gone from the disk, it leaves the tree, and is not brought back.
    RemoveNativeContents(Root + "/.hidden");
    ASSERT_EQ(::rmdir((Root + "/.hidden").constData()), 0);
    Model.Refresh();
    EXPECT_EQ(Shown(root), QStringList({"b"}));
    ASSERT_TRUE(MakeNativeFolder(Root + "/.hidden"));
    Model.Refresh();
    EXPECT_EQ(Shown(root), QStringList({"b"}));
}
