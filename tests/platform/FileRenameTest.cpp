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

TEST(FileRename, NeverReplacesAnExistingFile)
{
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.mp3"));
    const QString b = dir.filePath(QStringLiteral("b.mp3"));
    WriteFile(a, "first");
    WriteFile(b, "second");

    EXPECT_FALSE(RenameNoReplace(a, b));
    EXPECT_EQ(ReadFile(a), "first");
    EXPECT_EQ(ReadFile(b), "second");

    const QString c = dir.filePath(QStringLiteral("Ä c.mp3"));
    EXPECT_TRUE(RenameNoReplace(a, c));
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(ReadFile(c), "first");
}

TEST(FileRename, CaseVariantsAreDifferentFilesOnLinux)
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
