#include "support/gui/MainWindowTestSupport.h"

#include "mainwindow/EventPump.h"
#include "mainwindow/FolderScan.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct TScanResult {
    bool Finished = false;
    QStringList Paths;
    TEintragdatenList Entries;
    int EventRuns = 0;
};

TScanResult Scan(const QString& folder, bool subfolders, int abortAfterFiles = -1)
{
    TScanResult result;
    TEventPump pump([&result] { ++result.EventRuns; }, 100000);
    TFolderScanner scanner(
        pump, [&] { return abortAfterFiles >= 0 && result.Paths.size() >= abortAfterFiles; },
        [&](TEintragdatenPtr entry) {
            result.Paths << entry->FullPath();
            result.Entries.push_back(std::move(entry));
        });
    scanner.IncludeSubfolders = subfolders;
    result.Finished = scanner.Scan(folder.isEmpty() ? folder : folder + QLatin1Char('/'));
    result.Paths.sort();
    return result;
}

bool Touch(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

}

TEST(FolderScanTest, FindsMp3FilesDepthFirstWithoutFollowingLoops)
{
    TMainWindowEnvironment env;
    const QString root = env.PathOf("root");
    QDir().mkpath(root + "/a/b");
    ASSERT_TRUE(Touch(root + "/one.mp3"));
    ASSERT_TRUE(Touch(root + "/TWO.Mp3"));
    ASSERT_TRUE(Touch(root + "/three.mp3.txt"));
    ASSERT_TRUE(Touch(root + "/a/b/deep.mp3"));
    // Links back up the tree, to a folder seen before, and to a file.
    ASSERT_EQ(symlink("../..", QFile::encodeName(root + "/a/b/up").constData()), 0);
    ASSERT_EQ(symlink("a", QFile::encodeName(root + "/again").constData()), 0);
    ASSERT_EQ(symlink("one.mp3", QFile::encodeName(root + "/linked.mp3").constData()), 0);
    ASSERT_EQ(symlink("missing.mp3", QFile::encodeName(root + "/broken.mp3").constData()), 0);

    TScanResult flat = Scan(root, false);
    EXPECT_TRUE(flat.Finished);
    EXPECT_EQ(flat.Paths, QStringList({root + "/TWO.Mp3", root + "/linked.mp3", root + "/one.mp3"}));

    TScanResult deep = Scan(root, true);
    EXPECT_TRUE(deep.Finished);
    EXPECT_EQ(deep.Paths.size(), 4);
    EXPECT_TRUE(deep.Paths.contains(root + "/a/b/deep.mp3") || deep.Paths.contains(root + "/again/b/deep.mp3"));

    TScanResult stopped = Scan(root, true, 1);
    EXPECT_FALSE(stopped.Finished);
    EXPECT_EQ(stopped.Paths.size(), 1);
}

TEST(FolderScanTest, DeepTreesAndSizesFromTheListing)
{
    TMainWindowEnvironment env;
    QString folder = env.PathOf("deep");
    for (int level = 0; level < 300; ++level)
        folder += QStringLiteral("/d");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(Touch(folder + "/bottom.mp3"));
    for (int i = 0; i < 25; ++i)
        ASSERT_TRUE(Touch(env.PathOf(QStringLiteral("deep/f%1.mp3").arg(i))));

    const TScanResult deep = Scan(env.PathOf("deep"), true);
    ASSERT_TRUE(deep.Finished);
    ASSERT_EQ(deep.Entries.size(), 26u);
    for (const auto& entry : deep.Entries) {
        EXPECT_EQ(entry->Size, 1);
        EXPECT_GT(entry->LastWriteNs, 0);
        EXPECT_TRUE(entry->Folder.endsWith(QLatin1Char('/')));
    }
    // Events ran at least every tenth directory entry.
    EXPECT_GE(deep.EventRuns, 300 / TEventPump::StepsPerRun);
    EXPECT_TRUE(Scan(QString(), true).Finished);
}
