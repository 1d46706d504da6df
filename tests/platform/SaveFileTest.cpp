#include "platform/SaveFile.h"

#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

}

TEST(SaveFile, ADiskThatFillsUpKeepsTheOldFileAndTellsWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.m3u"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old list\n");
    }
    {
        // Small enough to stay in the buffer until the end.
        const QByteArray bytes(3000, 'x');
        QSaveFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const TScopedFileSizeLimit limit(1000);
        ASSERT_TRUE(limit.IsSet());
        ASSERT_EQ(file.write(bytes), bytes.size());
        const std::optional<QString> failure = CommitSaveFile(file);
        ASSERT_TRUE(failure.has_value());
        EXPECT_FALSE(failure->isEmpty());
    }
    EXPECT_EQ(Contents(path), QByteArray("the old list\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"list.m3u"}));
}
