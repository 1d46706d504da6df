// The tag reader and writer on files whose folder and name are not valid
// UTF-8: the path text carries their bytes to every system call.
#include "ReadWriteFixture.h"

#include "platform/FileLayer.h"
#include "platform/NativePath.h"
#include "support/MutagenReader.h"
#include "support/NativeFiles.h"
#include "tagengine/ID3v2Reader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

namespace {

// A file layer whose renames fail: a rewrite through a new file then stops
// after the new file was written in full.
class RenameFailsLayer : public TFileLayer {
public:
    int Rename(const QByteArray&, const QByteArray&) override
    {
        errno = EIO;
        return -1;
    }
};

QByteArray TaggedFile(const QByteArray& tag, int audioFrames)
{
    Mp3FileParts parts;
    parts.LeadingTag = tag;
    parts.Audio = StandardAudio(audioFrames);
    return Mp3Builder::File(parts);
}

class NativeNameTest : public ::testing::Test {
protected:
    NativeNameTest() : Folder(QFile::encodeName(m_dir.path()) + "/Dossier \xe9t\xe9/") { MakeNativeFolder(Folder); }
    ~NativeNameTest() override { RemoveNativeContents(QFile::encodeName(m_dir.path())); }

    QTemporaryDir m_dir;
    const QByteArray Folder;
};

}

TEST_F(NativeNameTest, ReadWriteAndUndoGoThroughTheBytes)
{
    const QByteArray path = Folder + "\xc0\xaf a\x80z.mp3";
    const QByteArray original =
        TaggedFile(ID3v2Builder(3).Frame("TIT2", ID3v2Builder::TextBody(0, {"Old"})).Padding(16).Build(), 20);
    ASSERT_TRUE(WriteNativeFile(path, original));

    TID3v2Reader reader;
    reader.FileName = PathFromNative(path);
    ASSERT_TRUE(reader.ReadTags()) << reader.LastError().toStdString();
    EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("Old"));
    EXPECT_GT(reader.Length(), 0);

    // The tag grows: a new file beside the old one takes its place.
    const QString title = QString(100, QLatin1Char('n'));
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", title}}))) << reader.LastError().toStdString();
    const TMutagenRead read = ReadWithMutagen(path);
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    EXPECT_EQ(MutagenTexts(read, "TIT2"), QStringList({title}));
    EXPECT_EQ(ListWithPython(Folder), QList<QByteArray>({"\xc0\xaf a\x80z.mp3"}));

    ASSERT_TRUE(reader.UndoWriteTags(PathFromNative(path))) << reader.LastError().toStdString();
    EXPECT_EQ(ReadNativeFile(path), original);
}

TEST_F(NativeNameTest, AFailedWriteLeavesTheFileAsItWas)
{
    const QByteArray path = Folder + "Caf\xe9.mp3";
    const QByteArray original = TaggedFile(ID3v2Builder(4).Frame("TIT2", ID3v2Builder::TextBody(0, {"Old"})).Build(), 10);
    ASSERT_TRUE(WriteNativeFile(path, original));
    TID3v2Reader reader;
    reader.FileName = PathFromNative(path);
    reader.SetFileLayer(std::make_shared<RenameFailsLayer>());

    EXPECT_FALSE(reader.WriteTags(TextFrames({{"TIT2", QString(2000, QLatin1Char('x'))}})));
    EXPECT_EQ(ReadNativeFile(path), original);
    // The new file went with the failure.
    EXPECT_EQ(ListWithPython(Folder), QList<QByteArray>({"Caf\xe9.mp3"}));
}
