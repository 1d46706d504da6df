#include "platform/PathCompare.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
