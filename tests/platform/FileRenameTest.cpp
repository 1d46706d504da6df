#include "platform/FileRename.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {
void WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}
QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}

// Renames by path text and by bytes: NativePath.RenamesTakeTheBytesAndNeverReplace.
TEST(FileRename, NeitherACaseVariantNorAHardLinkIsTheSameFile)
{
    QTemporaryDir dir;
    const QString upper = dir.filePath(QStringLiteral("Song.mp3"));
    const QString lower = dir.filePath(QStringLiteral("song.mp3"));
    WriteFile(upper, "upper");
    WriteFile(lower, "lower");
    EXPECT_FALSE(RenameNoReplace(upper, lower));
    EXPECT_EQ(ReadFile(lower), "lower");

    // Two hard links of one file are not a case change either.
    const QString linked = dir.filePath(QStringLiteral("linked.mp3"));
    ASSERT_TRUE(QFile::link(upper, dir.filePath(QStringLiteral("sym.mp3"))));
    ASSERT_EQ(::link(QFile::encodeName(upper).constData(), QFile::encodeName(linked).constData()), 0);
    EXPECT_FALSE(RenameNoReplace(upper, linked));
    EXPECT_TRUE(QFile::exists(upper));
}
