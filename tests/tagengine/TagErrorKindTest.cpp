// The kind of a failed read or write, given beside the English text.

#include "FaultyLayer.h"
#include "ReadWriteFixture.h"

#include "tagengine/ID3v2Reader.h"

#include <QFile>

namespace {

QByteArray TitleTag()
{
    return ID3v2Builder(3).Frame("TIT2", Text("Title")).Padding(100).Build();
}

} // namespace

class TagErrorKindTest : public ReadWriteTest {
protected:
    // Reads the file and then tries to write a new title into it.
    TTagError WriteKind(const QString& path, const std::shared_ptr<TFileLayer>& layer = nullptr,
                        bool ignoreWriteProtect = false)
    {
        TID3v2Reader reader;
        reader.FileName = path;
        reader.IgnoreWriteProtect = ignoreWriteProtect;
        reader.SetFileLayer(layer);
        const bool written = reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("New")}}));
        EXPECT_EQ(written, reader.LastErrorKind() == TTagError::None) << reader.LastError().toStdString();
        EXPECT_EQ(written, reader.LastError().isEmpty());
        return reader.LastErrorKind();
    }

    static TTagError ReadKind(const QString& path)
    {
        TID3v2Reader reader;
        reader.FileName = path;
        const bool read = reader.ReadTags();
        EXPECT_EQ(read, reader.LastErrorKind() == TTagError::None) << path.toStdString();
        return reader.LastErrorKind();
    }
};

TEST_F(TagErrorKindTest, ReadsAndWritesTellWhyTheyFailed)
{
    EXPECT_EQ(ReadKind(Put("good.mp3", TitleTag() + StandardAudio(10))), TTagError::None);
    EXPECT_EQ(ReadKind(PathOf("missing.mp3")), TTagError::FileMissing);
    EXPECT_EQ(ReadKind(Put("empty.mp3", {})), TTagError::FileEmpty);

    const QByteArray audio = StandardAudio(10);
    const QString good = Put("good.mp3", TitleTag() + audio);
    EXPECT_EQ(WriteKind(good), TTagError::None);

    auto layer = std::make_shared<FaultyLayer>();
    layer->WriteProtected = true;
    EXPECT_EQ(WriteKind(good, layer), TTagError::NoPermission);
    layer->WriteProtected = false;
    layer->FailAfterBytes = 0;
    EXPECT_EQ(WriteKind(good, layer), TTagError::DiskFull);
    // A disk mounted read-only is told apart from missing permissions,
    // whether write protection is ignored or not.
    layer->FailAfterBytes = -1;
    layer->ReadOnlyDisk = true;
    EXPECT_EQ(WriteKind(good, layer), TTagError::ReadOnlyDisk);
    EXPECT_EQ(WriteKind(good, layer, true), TTagError::ReadOnlyDisk);
    const QByteArray written = Read(good);
    layer->ReadOnlyDisk = false;
    // A file whose mode lets nobody write is write-protected.
    ASSERT_TRUE(QFile::setPermissions(good, QFileDevice::ReadOwner));
    EXPECT_EQ(WriteKind(good), TTagError::NoPermission);
    ASSERT_TRUE(QFile::setPermissions(good, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(Read(good), written);


    // Tags that are not read whole are never replaced.
    const QByteArray old = QByteArray("ID3\x02\x00\x00", 6) + ID3v2Builder::SyncSafe(20) + QByteArray(20, '\0');
    EXPECT_EQ(WriteKind(Put("old.mp3", old + audio)), TTagError::VersionUnsupported);
    const QByteArray cut = ID3v2Builder(3).Frame("TIT2", Text("Title")).DeclaredTagSize(100000).Build();
    EXPECT_EQ(WriteKind(Put("cut.mp3", cut + audio)), TTagError::TagDamaged);
}
