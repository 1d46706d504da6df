#include "platform/PathCompare.h"
#include "platform/PathMoves.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(PathMoves, FilesAndEverythingBelowAMovedFolderFollowByWholeComponents)
{
    TPathMoves moves;
    EXPECT_FALSE(moves.NewPathOf("/a/b.mp3").has_value());
    moves.Add("/music/Album", "/music/Album (live)/");
    moves.Add("/music/single.mp3", "/other/single.mp3");
    EXPECT_EQ(moves.NewPathOf("/music/Album"), QString("/music/Album (live)"));
    EXPECT_EQ(moves.NewPathOf("/music/Album/CD1/01.mp3"), QString("/music/Album (live)/CD1/01.mp3"));
    EXPECT_EQ(moves.NewPathOf("/music/single.mp3"), QString("/other/single.mp3"));
    // A name that only begins like the moved folder is another folder.
    EXPECT_FALSE(moves.NewPathOf("/music/Album2/01.mp3").has_value());
    EXPECT_FALSE(moves.NewPathOf("/music").has_value());
}

TEST(PathCompare, ExactByComponentsAndTheSameFolderByIdentity)
{
    EXPECT_TRUE(SamePath("/a//b/", "/a/b"));
    EXPECT_FALSE(SamePath("/a/B", "/a/b"));
    EXPECT_TRUE(IsSameOrBelow("/a/b/c", "/a/b/"));
    EXPECT_FALSE(IsSameOrBelow("/a/bc", "/a/b"));
    EXPECT_TRUE(IsSameOrBelow("/x", "/"));

    QTemporaryDir dir;
    const QString real = dir.filePath("real");
    const QString link = dir.filePath("link");
    ASSERT_TRUE(QDir().mkpath(real));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_TRUE(IsSameFolder(link, real + "/"));
    EXPECT_FALSE(IsSameFolder(link, dir.path()));
}
