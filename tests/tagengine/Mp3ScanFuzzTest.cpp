#include "ReadWriteFixture.h"

#include "tagengine/ID3v2Reader.h"

#include <random>

namespace {

// A file with every kind of block the scan knows.
QByteArray RichFile()
{
    MpegFormat mono;
    mono.ChannelMode = 3;
    return ID3v2Builder(3).Frame("TIT2", Text("Lead")).Frame("APIC", QByteArray("\0image/png\0\3\0", 13) + QByteArray(300, '\xFF')).Padding(30).Build()
           + Mp3Builder::VbrStream(mono, std::vector<int>(20, 64)) + Mp3Builder::Lyrics3v2("lyrics")
           + Mp3Builder::ApeTag({{"Title", "ape"}}) + ID3v2Builder(4).Frame("TALB", Text("End")).Footer().Build()
           + Mp3Builder::ID3v1({"v1", "", "", "", "", 1, 1});
}

} // namespace

// Damaged files never crash the scan, and a write either works or leaves the
// file as it was.
TEST_F(ReadWriteTest, DamagedFilesAreReadAndWrittenSafely)
{
    const QByteArray rich = RichFile();
    std::mt19937 random(20240501);
    std::vector<QByteArray> variants;
    for (qsizetype length = 0; length < rich.size(); length += 1 + length / 8)
        variants.push_back(rich.left(length));
    for (int i = 0; i < 150; ++i) {
        QByteArray mutated = rich;
        for (int flips = 0; flips < 1 + i % 6; ++flips) {
            const qsizetype at = qsizetype(random() % quint32(mutated.size()));
            mutated[at] = char(random() % 4 == 0 ? 0xFF : random());
        }
        variants.push_back(mutated);
    }
    int written = 0;
    for (size_t i = 0; i < variants.size(); ++i) {
        SCOPED_TRACE(i);
        const QString path = Put(QStringLiteral("f.mp3"), variants[i]);
        TID3v2Reader reader;
        reader.FileName = path;
        reader.ReadTags();
        TID3FrameList frames = reader.TakeFrames();
        frames.push_back(TextFrame("TIT3", QStringLiteral("added")));
        const QByteArray before = Read(path);
        if (reader.WriteTags(frames)) {
            ++written;
            EXPECT_TRUE(reader.ReadTags());
            EXPECT_EQ(FirstText(reader.Frames(), "TIT3"), QStringLiteral("added"));
            ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
        }
        EXPECT_EQ(Read(path), before);
        EXPECT_EQ(Entries(), QStringList({"f.mp3"}));
    }
    EXPECT_GT(written, 20);
}
