#include "ReadWriteFixture.h"

#include "tagengine/Eintragdaten.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/UndoJournal.h"

#include <QFileInfo>


namespace {

QByteArray Picture()
{
    QByteArray picture(100 * 1024, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char(i * 7 + i / 251);
    return QByteArray("\0image/png\0\3\0", 13) + picture;
}

QByteArray TaggedFile(const QByteArray& apic)
{
    return ID3v2Builder(4).Frame("TIT2", Text("Pic")).Frame("APIC", apic).Padding(300).Build() + StandardAudio(10);
}

} // namespace

// Large bodies stay in the file until they are used. They come from the
// unchanged file only: a write keeps them, and frames read before another
// program changed the file neither load them nor can be written.
TEST_F(ReadWriteTest, LargeBodiesAreLoadedFromTheUnchangedFileOnly)
{
    const QByteArray apic = Picture();
    TID3v2Reader reader;
    ASSERT_TRUE(Scan(reader, "pic.mp3", TaggedFile(apic)));
    const QString path = reader.FileName;
    const TID3Frame* frame = reader.FindFrame(QStringLiteral("APIC"));
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsDeferred());
    EXPECT_FALSE(reader.FindFrame(QStringLiteral("TIT2"))->IsDeferred());
    EXPECT_EQ(frame->BodySize(), apic.size());
    EXPECT_EQ(frame->Body(), apic);

    TID3FrameList frames = reader.TakeFrames();
    EXPECT_TRUE(reader.Frames().empty());
    SetFrame(frames, QStringLiteral("TIT2"), TextFrame("TIT2", QStringLiteral("Renamed")).get(), 0);
    ASSERT_TRUE(reader.WriteTags(frames));
    EXPECT_EQ(FindFrame(frames, QStringLiteral("APIC"))->Body(), apic);
    ASSERT_TRUE(reader.ReadTags());
    EXPECT_EQ(reader.FindFrame(QStringLiteral("APIC"))->Body(), apic);

    ASSERT_TRUE(reader.ReadTags());
    TID3FrameList stale = reader.TakeFrames();
    SetTimes(path, 1000000000LL * 1000000000, 1000000000LL * 1000000000);
    EXPECT_FALSE(FindFrame(stale, QStringLiteral("APIC"))->BodyAvailable());
    EXPECT_TRUE(FindFrame(stale, QStringLiteral("APIC"))->Body().isEmpty());
    const QByteArray before = Digest(path);
    EXPECT_FALSE(reader.WriteTags(stale));
    EXPECT_EQ(Digest(path), before);
}

// A picture left in the file must never be loaded from a file that our own
// write changed in place: that write keeps the size and, by default, the
// last-write time, and the picture's bytes have moved.
TEST_F(ReadWriteTest, HeldPictureIsNeverTakenFromTheFileAfterAnInPlaceWrite)
{
    const QByteArray apic = Picture();
    TID3v2Reader reader;
    ASSERT_TRUE(Scan(reader, "held.mp3", TaggedFile(apic)));
    const QString path = reader.FileName;
    TID3FrameList frames = reader.TakeFrames();
    ASSERT_TRUE(FindFrame(frames, QStringLiteral("APIC"))->IsDeferred());
    // A copy held elsewhere (an input control, say) before the write.
    const TID3FrameList held = CloneFrames(frames);

    const qint64 sizeBefore = QFileInfo(path).size();
    SetFrame(frames, QStringLiteral("TIT2"), TextFrame("TIT2", QStringLiteral("A much longer title")).get(), 0);
    ASSERT_TRUE(reader.NeverChangeDate);
    reader.WriteID3v1 = false;
    ASSERT_TRUE(reader.WriteTags(frames));
    ASSERT_EQ(QFileInfo(path).size(), sizeBefore) << "the write went in place";

    const TID3Frame* picture = FindFrame(held, QStringLiteral("APIC"));
    if (picture->BodyAvailable())
        EXPECT_EQ(picture->Body(), apic);
    else
        EXPECT_TRUE(picture->Body().isEmpty());
}

// A renamed file keeps its pictures: the entry's frames are complete after the
// rename and can be written under the new name.
TEST_F(ReadWriteTest, RenamedEntryKeepsItsPicture)
{
    const QByteArray apic = Picture();
    TID3v2Reader reader;
    ASSERT_TRUE(Scan(reader, "old.mp3", TaggedFile(apic)));
    const QString path = reader.FileName;
    TEintragdaten entry;
    entry.Folder = QFileInfo(path).path() + QLatin1Char('/');
    entry.FileName = QStringLiteral("old.mp3");
    entry.Frames = reader.TakeFrames();
    ASSERT_TRUE(FindFrame(entry.Frames, QStringLiteral("APIC"))->IsDeferred());

    TQLNUndoList journal;
    ASSERT_TRUE(entry.RenameFile(QStringLiteral("new.mp3"), &journal));
    entry.SetFrame(QStringLiteral("TIT2"), TextFrame("TIT2", QStringLiteral("Renamed")).get(), 0);
    reader.FileName = entry.FullPath();
    ASSERT_TRUE(reader.WriteTags(entry.Frames)) << reader.LastError().toStdString();
    ASSERT_TRUE(reader.ReadTags());
    const TID3Frame* picture = reader.FindFrame(QStringLiteral("APIC"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Body(), apic);
    EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("Renamed"));
}
