// Which leading ID3v2 tags a write may replace: a header with undefined flag
// bits and a tag with junk after its frames are read whole and replaced; a
// tag whose header cannot be read, or a further tag before the audio, is
// never left behind a new tag: the write is refused and the file unchanged.
// Read back with python3-mutagen.

#include "ReadWriteFixture.h"

#include "support/MutagenReader.h"
#include "tagengine/ID3v2Reader.h"

namespace {

ID3v2Builder ThreeFrames(quint8 major)
{
    ID3v2Builder tag(major);
    tag.Frame("TIT2", Text("Title")).Frame("TPE1", Text("Artist")).Frame("TALB", Text("Album"));
    return tag;
}

// Reads the file, changes the title and writes the frames back.
bool WriteNewTitle(TID3v2Reader& reader, const QString& path)
{
    reader.FileName = path;
    EXPECT_TRUE(reader.ReadTags()) << reader.LastError().toStdString();
    TID3FrameList frames = reader.TakeFrames();
    SetFrame(frames, QStringLiteral("TIT2"), TextFrame("TIT2", QStringLiteral("New")).get(), 0);
    return reader.WriteTags(frames);
}

// The file holds one tag, right before the audio, and mutagen reads the new
// title with the old artist and album.
void ExpectOneTagBefore(const QString& path, const QByteArray& audio)
{
    const QByteArray after = Mp3Builder::ReadFile(path);
    TID3v2Reader reader;
    reader.FileName = path;
    ASSERT_TRUE(reader.ReadTags());
    EXPECT_FALSE(reader.PartlyRead());
    // The audio right after the tag, then only the new ID3v1 block.
    EXPECT_EQ(after.mid(reader.AudioStart(), audio.size()), audio);
    EXPECT_EQ(after.size(), reader.AudioStart() + audio.size() + 128);
    EXPECT_EQ(after.indexOf("ID3", 1), -1) << "an old tag stayed in the file";
    const TMutagenRead mutagen = ReadWithMutagen(path);
    ASSERT_TRUE(mutagen.Ok);
    EXPECT_EQ(mutagen.Error, QString());
    EXPECT_EQ(MutagenTexts(mutagen, QStringLiteral("TIT2")), QStringList{QStringLiteral("New")});
    EXPECT_EQ(MutagenTexts(mutagen, QStringLiteral("TPE1")), QStringList{QStringLiteral("Artist")});
    EXPECT_EQ(MutagenTexts(mutagen, QStringLiteral("TALB")), QStringList{QStringLiteral("Album")});
}

} // namespace

// Undefined header flags are read as if clear; junk after the frames is
// padding (other readers read such a tag too) and goes with the tag.
TEST_F(ReadWriteTest, TagsWithUndefinedFlagsOrJunkAfterTheFramesAreReadWholeAndReplaced)
{
    const QByteArray audio = StandardAudio(20);
    for (const quint8 major : {quint8(3), quint8(4)}) {
        QByteArray flagged = ThreeFrames(major).Padding(30).Build();
        flagged[5] = major == 3 ? 0x1F : 0x0F;
        const QByteArray junks[] = {QByteArray("\x01\x02\x03 not a frame \xFF\xFE", 18),
                                    QByteArray(40, '\0') + "leftover text of an older tag"};
        for (const QByteArray& tag : {flagged, ThreeFrames(major).Raw(junks[0]).Padding(20).Build(),
                                      ThreeFrames(major).Raw(junks[1]).Padding(20).Build()}) {
            SCOPED_TRACE(testing::Message() << "v2." << int(major) << " " << tag.toHex().toStdString());
            const QString path = Put(QStringLiteral("tag%1.mp3").arg(major), tag + audio);
            if (tag != flagged) {
                EXPECT_EQ(MutagenTexts(ReadWithMutagen(path), QStringLiteral("TPE1")), QStringList{QStringLiteral("Artist")});
            }
            TID3v2Reader reader;
            reader.FileName = path;
            ASSERT_TRUE(reader.ReadTags());
            EXPECT_TRUE(reader.HasID3v2());
            EXPECT_FALSE(reader.PartlyRead());
            EXPECT_EQ(FirstText(reader.Frames(), "TPE1"), QStringLiteral("Artist"));

            ASSERT_TRUE(WriteNewTitle(reader, path)) << reader.LastError().toStdString();
            ExpectOneTagBefore(path, audio);
            for (const QByteArray& junk : junks)
                EXPECT_FALSE(Read(path).contains(junk.right(12))) << "the junk was kept";
            ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
            EXPECT_EQ(Read(path), tag + audio);
        }
    }
}

TEST_F(ReadWriteTest, TagsThatCannotBeReadAreNeverLeftBehindANewTag)
{
    const QByteArray audio = StandardAudio(20);
    const QByteArray whole = ThreeFrames(3).Padding(30).Build();
    QByteArray notSyncSafe = whole;
    notSyncSafe[8] = char(0x80 | notSyncSafe[8]);
    QByteArray version255 = whole;
    version255[3] = char(0xFF);
    const QByteArray second = ID3v2Builder(4).Frame("TCOM", Text("Hidden")).Build();
    struct TCase {
        const char* Name;
        QByteArray Bytes;
        qint64 AudioStart;
    };
    const TCase cases[] = {
        {"size-not-syncsafe", notSyncSafe + audio, whole.size()},
        {"version-255", version255 + audio, whole.size()},
        {"cut-short", QByteArray("ID3\x04\x00", 5), -1},
        {"second-tag", whole + second + audio, whole.size() + second.size()},
        {"second-tag-unreadable", whole + QByteArray("ID3\xFF\xFF\x00\x00\x00\x00\x00", 10) + audio, -1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path = Put(QString::fromLatin1(c.Name) + QStringLiteral(".mp3"), c.Bytes);
        TID3v2Reader reader;
        reader.FileName = path;
        ASSERT_TRUE(reader.ReadTags()) << reader.LastError().toStdString();
        EXPECT_TRUE(reader.HasID3v2());
        EXPECT_TRUE(reader.PartlyRead());
        if (c.AudioStart >= 0) {
            EXPECT_TRUE(reader.MPEGFound());
            EXPECT_EQ(reader.AudioStart(), c.AudioStart);
        }
        EXPECT_FALSE(WriteNewTitle(reader, path));
        EXPECT_FALSE(reader.LastError().isEmpty());
        EXPECT_EQ(Read(path), c.Bytes);
    }
}
