#include "platform/FileLayer.h"
#include "platform/FileOps.h"
#include "platform/FileRename.h"
#include "platform/NativePath.h"
#include "platform/RunRecord.h"

#include "support/Mounts.h"
#include "support/NativeFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>

#include <unistd.h>

namespace {

QStringList Names(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}

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
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(RenameNoReplace(PathFromNative(latin), PathFromNative(other)));
    // Nor is a case variant or a second hard link of the file the same
    // entry: both are names taken.
    const QByteArray lower = root + "caf\xe9.mp3";
    ASSERT_TRUE(WriteNativeFile(lower, "lower"));
    EXPECT_FALSE(RenameNoReplace(latin, lower));
    ASSERT_EQ(::link(latin.constData(), (root + "linked.mp3").constData()), 0);
    ASSERT_EQ(::link(latin.constData(), (root + "CAF\xc9.mp3").constData()), 0);
    for (const QByteArray& link : {root + "linked.mp3", root + "CAF\xc9.mp3"}) {
        errno = 0;
        EXPECT_FALSE(RenameNoReplace(latin, link));
        EXPECT_EQ(errno, EEXIST);
        EXPECT_EQ(RenameInFolder(*SystemFileLayer(), latin, PathName(link)), -1);
    }
    EXPECT_EQ(ReadNativeFile(lower), "lower");
    EXPECT_EQ(ReadNativeFile(other), "other");
    EXPECT_EQ(ReadNativeFile(latin), "latin");

    const QString renamed = QFile::decodeName(root) + QStringLiteral("Caf\u00e9.mp3");
    EXPECT_TRUE(RenameNoReplace(PathFromNative(latin), renamed));
    EXPECT_EQ(ReadNativeFile(latin), QByteArray());
    EXPECT_EQ(ReadNativeFile(root + "Caf\xc3\xa9.mp3"), "latin");
    EXPECT_TRUE(RenameNoReplace(QFile::encodeName(renamed), latin));
    EXPECT_EQ(ReadNativeFile(latin), "latin");
    EXPECT_TRUE(RenameNoReplace(latin, latin));
    EXPECT_EQ(ListWithPython(QFile::encodeName(dir.path())).size(), 5);
}

// On exFAT (sticks, car-stereo cards) a name differing only in case is the
// file itself: files and folders take it, through a hidden name, and nothing
// hidden stays. Another file's name is still taken, and stays as it was.
TEST(FileRename, ACaseOnlyRenameOnAFileSystemThatIgnoresCase)
{
    QTemporaryDir dir;
    const TExFatStick stick(dir.filePath("stick"));
    if (!stick.Mounted())
        GTEST_SKIP() << stick.Why().toStdString();
    const QString folder = stick.Path();
    ASSERT_TRUE(WriteNativeFile(QFile::encodeName(folder + "/song.mp3"), "song"));
    ASSERT_TRUE(WriteNativeFile(QFile::encodeName(folder + "/b.mp3"), "b"));
    ASSERT_TRUE(QDir().mkpath(folder + "/album/cd"));
    TFileLayer& layer = *SystemFileLayer();
    const QByteArray base = QFile::encodeName(folder) + '/';

    EXPECT_EQ(RenameInFolder(layer, base + "song.mp3", "Song.mp3"), 0);
    EXPECT_EQ(RenameInFolder(layer, base + "album", "Album"), 0);
    EXPECT_TRUE(RenameNoReplace(base + "Album/cd", base + "Album/CD"));
    EXPECT_EQ(Names(folder), QStringList({"Album", "Song.mp3", "b.mp3"}));
    EXPECT_EQ(Names(folder + "/Album"), QStringList({"CD"}));
    EXPECT_EQ(ReadNativeFile(base + "Song.mp3"), "song");

    // "B.mp3" is b.mp3's name, not Song.mp3's.
    errno = 0;
    EXPECT_EQ(RenameInFolder(layer, base + "Song.mp3", "B.mp3"), -1);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(Names(folder), QStringList({"Album", "Song.mp3", "b.mp3"}));
    EXPECT_EQ(ReadNativeFile(base + "b.mp3"), "b");
    EXPECT_EQ(ReadNativeFile(base + "Song.mp3"), "song");
    EXPECT_EQ(Names(QFile::decodeName(RunRecordFolder())), QStringList());
}
