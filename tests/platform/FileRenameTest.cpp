#include "platform/FileRename.h"
#include "platform/NativePath.h"
#include "support/NativeFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

TEST(FileRename, NeverReplacesAnotherFileAndTakesTheNamesBytes)
{
    TNativeTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path()) + '/';
    const QByteArray latin = root + "Caf\xe9.mp3";
    const QByteArray other = root + "Caf\xc9.mp3";
    ASSERT_TRUE(WriteNativeFile(latin, "latin"));
    ASSERT_TRUE(WriteNativeFile(other, "other"));

    // Shown alike, yet another file: never replaced, by bytes or by path text.
    EXPECT_FALSE(RenameNoReplace(latin, other));
    EXPECT_FALSE(RenameNoReplace(PathFromNative(latin), PathFromNative(other)));
    EXPECT_FALSE(IsSameFile(latin, other));
    // Nor is a case variant or a second hard link of the file the same file.
    const QByteArray lower = root + "caf\xe9.mp3";
    ASSERT_TRUE(WriteNativeFile(lower, "lower"));
    EXPECT_FALSE(RenameNoReplace(latin, lower));
    ASSERT_EQ(::link(latin.constData(), (root + "linked.mp3").constData()), 0);
    EXPECT_FALSE(RenameNoReplace(latin, root + "linked.mp3"));
    EXPECT_EQ(ReadNativeFile(lower), "lower");
    EXPECT_EQ(ReadNativeFile(other), "other");

    const QString renamed = QFile::decodeName(root) + QStringLiteral("Caf\u00e9.mp3");
    EXPECT_TRUE(RenameNoReplace(PathFromNative(latin), renamed));
    EXPECT_EQ(ReadNativeFile(latin), QByteArray());
    EXPECT_EQ(ReadNativeFile(root + "Caf\xc3\xa9.mp3"), "latin");
    EXPECT_TRUE(RenameNoReplace(QFile::encodeName(renamed), latin));
    EXPECT_EQ(ReadNativeFile(latin), "latin");
}
