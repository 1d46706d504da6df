// Reading a file the user named: only a regular file is read, and nothing
// ever waits on what is not one.
#include "platform/RegularFile.h"

#include "support/FifoWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

QString Written(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

}

TEST(RegularFile, OnlyARegularFileIsReadAndAFifoIsRefusedWithoutWaiting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = Written(dir.filePath("a.txt"), "Language=X\r\n");
    int error = 0;
    EXPECT_EQ(ReadRegularFile(file, 100, &error), QByteArray("Language=X\r\n"));
    // Through a link too.
    ASSERT_TRUE(QFile::link(file, dir.filePath("link.txt")));
    EXPECT_EQ(ReadRegularFile(dir.filePath("link.txt"), 100), QByteArray("Language=X\r\n"));
    EXPECT_EQ(ReadRegularFile(Written(dir.filePath("empty.txt"), ""), 100), QByteArray());

    {
        // A FIFO: a reader that waited would get these bytes.
        const QString fifo = dir.filePath("x.qlnlang");
        TFifoWriter writer(fifo, "Language=FIFO\r\n");
        ASSERT_TRUE(writer.Made());
        EXPECT_EQ(ReadRegularFile(fifo, 100, &error), std::nullopt);
        EXPECT_EQ(error, ENODEV);
        // A link to it is refused the same way.
        ASSERT_TRUE(QFile::link(fifo, dir.filePath("fifo-link")));
        EXPECT_EQ(ReadRegularFile(dir.filePath("fifo-link"), 100, &error), std::nullopt);
        EXPECT_EQ(error, ENODEV);
    }

    // A device, a folder, nothing at all.
    EXPECT_EQ(ReadRegularFile(QStringLiteral("/dev/zero"), 100, &error), std::nullopt);
    EXPECT_EQ(error, ENODEV);
    EXPECT_EQ(ReadRegularFile(dir.path(), 100, &error), std::nullopt);
    EXPECT_EQ(error, ENODEV);
    EXPECT_EQ(ReadRegularFile(dir.filePath("missing"), 100, &error), std::nullopt);
    EXPECT_EQ(error, ENOENT);

    // Larger than allowed: refused whole, never cut.
    const QString big = Written(dir.filePath("big.txt"), QByteArray(101, 'x'));
    EXPECT_EQ(ReadRegularFile(big, 100, &error), std::nullopt);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(ReadRegularFile(big, 101)->size(), 101);
}
