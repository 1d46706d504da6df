// Files built to mislead the scan: claimed footers that are not there, sizes
// that point into the audio or beyond the file, tags within tags. Whatever a
// write does with them, the audio stays whole, and a refused write changes
// nothing.

#include "ReadWriteFixture.h"

#include "tagengine/ID3v2Parser.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/TagUndo.h"

#include <QFile>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Compressed frames inflate up to a limit per frame and, all together, up to
// a limit per tag: many small frames cannot make a tag take gigabytes.
TEST(HostileTag, CompressedFramesShareOneInflateBudget)
{
    constexpr int FrameSize = 12 * 1024 * 1024;
    constexpr int Frames = 6;
    // Compressible enough to stay within what one frame may inflate to.
    QByteArray body(FrameSize, '\0');
    for (int i = 0; i < FrameSize; i += 256)
        body[i] = char((i / 256) * 37);
    const auto packed = Spec("PRIV", body, [](ID3v2FrameSpec& s) { s.Compressed = true; });
    ID3v2Builder builder(4);
    for (int i = 0; i < Frames; ++i)
        builder.Frame(packed);
    const QByteArray tag = builder.Build();
    ASSERT_LT(tag.size(), 2 * 1024 * 1024);

    TID3FrameList frames;
    const TID3v2ParseResult result = ParseID3v2Tag(tag, false, frames);
    qint64 inflated = 0;
    for (const auto& frame : frames)
        inflated += frame->BodySize();
    EXPECT_LE(inflated, MaxInflatedTagSize);
    EXPECT_LT(frames.size(), size_t(Frames));
    EXPECT_TRUE(result.Failed);
    EXPECT_TRUE(result.PartlyRead);
}

namespace {

struct THostileFile {
    const char* Name;
    QByteArray Bytes;
    // Bytes that are audio or belong to other programs: a write keeps them.
    QList<QByteArray> Kept;
    bool MustRefuse = false;
};

QByteArray Footer(quint8 major, char flags, quint32 size)
{
    QByteArray footer("3DI");
    footer.append(char(major)).append('\0').append(flags);
    return footer + ID3v2Builder::SyncSafe(size);
}

std::vector<THostileFile> HostileFiles()
{
    const QByteArray audio = StandardAudio(12);
    const QByteArray lead = ID3v2Builder(3).Frame("TIT2", Text("Lead")).Padding(16).Build();
    const QByteArray v1 = Mp3Builder::ID3v1({"v1", "", "", "", "", 1, 1});
    const QByteArray appended = ID3v2Builder(4).Frame("TALB", Text("End")).Footer().Build();
    // A v2.4 header with the footer flag inside the audio and a footer at the
    // end: the "tag" between them is audio, not frames.
    const QByteArray forgedHeader = "ID3" + QByteArray("\x04\x00\x10", 3) + ID3v2Builder::SyncSafe(quint32(audio.size()));
    QByteArray longExtended = ID3v2Builder(3).Frame("TIT2", Text("Ext")).ExtendedHeader().Build();
    longExtended.replace(10, 4, ID3v2Builder::BigEndian(0xFFFFFFFF));

    const auto claimsFooter = [](quint8 major) {
        QByteArray tag = ID3v2Builder(major).Frame("TIT2", Text("Old")).Padding(20).Build();
        tag[5] = 0x10;
        return tag;
    };
    // Padding of a byte that spells a frame ID ("UUUU"), and the same tag
    // declared 40 bytes longer, so that its "padding" ends in the audio.
    QByteArray filler = ID3v2Builder(4).Frame("TIT2", Text("Fill")).Raw(QByteArray(100, 'U')).Build();
    QByteArray fillerIntoAudio = filler;
    fillerIntoAudio.replace(6, 4, ID3v2Builder::SyncSafe(quint32(filler.size() - 10 + 40)));
    const auto runsPast = Spec("TPE1", Text("x"), [](ID3v2FrameSpec& s) { s.DeclaredSize = 3000; });

    return {
        // A header that claims a footer which is not there: the ten bytes
        // after the tag are audio.
        {"claimed-footer-v3", claimsFooter(3) + audio, {audio}},
        {"claimed-footer-v4", claimsFooter(4) + audio, {audio}},
        {"real-footer", ID3v2Builder(4).Frame("TIT2", Text("Old")).Footer().Build() + audio, {audio}},
        {"frame-past-tag", ID3v2Builder(4).Frame("TIT2", Text("x")).Frame(runsPast).Padding(10).Build() + audio, {audio}, true},
        {"filler-padding", filler + audio, {audio}},
        {"filler-into-audio", fillerIntoAudio + audio, {audio}, true},
        {"past-end", ID3v2Builder(4).Frame("TIT2", Text("Big")).DeclaredTagSize(0x0FFFFFFF).Build() + audio + v1,
         {audio}, true},
        {"extended-header-huge", longExtended + audio, {audio}, true},
        {"footer-into-leading-tag", lead + audio + Footer(4, 0x10, quint32(audio.size() + 30)), {audio}},
        {"footer-before-file-start", audio + Footer(4, 0x10, 0x0FFFFFFF) + v1, {audio}},
        {"footer-without-header", audio + Footer(4, 0x10, 40) + v1, {audio}},
        {"forged-appended-tag", audio + forgedHeader + audio + Footer(4, 0x10, quint32(audio.size())), {audio + forgedHeader + audio}},
        {"two-leading-tags", lead + lead + audio, {lead + audio}},
        {"appended-after-leading", lead + audio + appended + v1, {audio + appended}},
        {"ape-larger-than-file", audio + QByteArray("APETAGEX") + QByteArray(4, '\xD0') + QByteArray(20, '\xFF') + v1, {audio}},
        {"lyrics-larger-than-file", audio + "LYRICSBEGIN" + QByteArray("999999LYRICS200") + v1, {audio}},
        {"version-2-2", "ID3" + QByteArray("\x02\x00\x00", 3) + ID3v2Builder::SyncSafe(20) + QByteArray(20, 'x') + audio,
         {audio}, true},
        {"header-only", "ID3" + QByteArray("\x04\x00\x00", 3) + ID3v2Builder::SyncSafe(0), {}},
        {"shorter-than-a-header", QByteArray("ID3\x04\x00\x00\x00\x00", 8), {}},
        {"tag-ending-in-TAG", ID3v2Builder(4).Frame("TIT2", Text("T")).Raw(QByteArray(200, '\0')).Build() + "TAG", {}},
    };
}

} // namespace

// Every crafted file is read without harm, and a write either keeps every
// byte that is not its old tags or is refused and changes nothing.
TEST_F(ReadWriteTest, CraftedFilesNeverLoseTheirAudio)
{
    for (const THostileFile& file : HostileFiles()) {
        SCOPED_TRACE(file.Name);
        const QString path = Put(QString::fromLatin1(file.Name) + QStringLiteral(".mp3"), file.Bytes);
        TID3v2Reader reader;
        reader.FileName = path;
        reader.ReadTags();
        TID3FrameList frames = reader.TakeFrames();
        SetFrame(frames, QStringLiteral("TIT2"), TextFrame("TIT2", QStringLiteral("New")).get(), 0);

        if (!reader.WriteTags(frames)) {
            EXPECT_FALSE(reader.LastError().isEmpty());
            EXPECT_EQ(Read(path), file.Bytes);
            EXPECT_EQ(reader.UndoList().Count(), 0);
            continue;
        }
        EXPECT_FALSE(file.MustRefuse) << "a tag that was not read whole was replaced";
        const QByteArray after = Read(path);
        for (const QByteArray& kept : file.Kept)
            EXPECT_TRUE(after.contains(kept)) << "bytes outside the tags were lost";
        ASSERT_TRUE(reader.ReadTags()) << reader.LastError().toStdString();
        EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("New"));
        ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
        EXPECT_EQ(Read(path), file.Bytes);
    }
    EXPECT_EQ(Entries().size(), HostileFiles().size()) << "no temporary file is left";
}

// Files without audio keep exactly one ID3v1 block however often they are
// written, even where its title holds bytes that look like an audio frame.
TEST_F(ReadWriteTest, FilesWithOnlyTagsNeverGetASecondID3v1Block)
{
    const QByteArray v1 = Mp3Builder::ID3v1({"\xFF\xFB\x90\x40 sync", "", "", "", "", std::nullopt, 255});
    const QByteArray tag = ID3v2Builder(4).Frame("TIT2", Text("Tag")).Build();
    for (const QByteArray& bytes : {v1, tag + v1, tag}) {
        const QString path = Put(QStringLiteral("tags.mp3"), bytes);
        TID3v2Reader reader;
        reader.FileName = path;
        for (const char* title : {"First", "Second"}) {
            SCOPED_TRACE(title);
            ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QString::fromLatin1(title)}})));
            ASSERT_TRUE(reader.ReadTags());
            EXPECT_TRUE(reader.HasID3v1());
            EXPECT_EQ(reader.ID3v1().Title, QString::fromLatin1(title));
            EXPECT_EQ(reader.FileSize(), reader.ID3v2TotalSize() + 128);
        }
    }
}

// A tag larger than 256 MiB is not loaded, and a write does not replace it.
// The file is sparse, so the test costs neither disk nor memory.
TEST_F(ReadWriteTest, TagOverTheSizeLimitIsNotReplaced)
{
    const QByteArray header = "ID3" + QByteArray("\x04\x00\x00", 3) + ID3v2Builder::SyncSafe(0x0FFFFFFF);
    const qint64 tagSize = 10 + 0x0FFFFFFF;
    ASSERT_GT(tagSize, 256LL * 1024 * 1024);
    const QByteArray audio = StandardAudio(10);
    const QString path = PathOf(QStringLiteral("huge.mp3"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(header), header.size());
        ASSERT_TRUE(file.seek(tagSize));
        ASSERT_EQ(file.write(audio), audio.size());
    }
    const auto state = [&] {
        const struct stat st = StatOf(path);
        return std::make_tuple(st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
    };
    const auto before = state();

    TID3v2Reader reader;
    reader.FileName = path;
    reader.ReadTags();
    EXPECT_TRUE(reader.HasID3v2());
    EXPECT_TRUE(reader.PartlyRead());
    EXPECT_EQ(reader.ID3v2TotalSize(), tagSize);
    EXPECT_TRUE(reader.OldID3v2Bytes().isEmpty());
    EXPECT_FALSE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("New")}})));
    EXPECT_FALSE(reader.LastError().isEmpty());
    EXPECT_EQ(state(), before);
}

// A FIFO named like an MP3 file fails at once instead of holding the reader
// until someone writes to it.
TEST_F(ReadWriteTest, FifoIsRefusedWithoutWaiting)
{
    const QString path = PathOf(QStringLiteral("pipe.mp3"));
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::mkfifo(name.constData(), 0644), 0);
    // Should an open wait after all, a writer ends each wait, though only
    // after a minute, and notes that it had to.
    std::promise<void> done;
    std::atomic<bool> released = false;
    std::thread writer([&name, &released, finished = done.get_future()] {
        while (finished.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
            const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                released = true;
                ::close(fd);
            }
        }
    });
    TID3v2Reader reader;
    reader.FileName = path;
    EXPECT_FALSE(reader.ReadTags());
    EXPECT_FALSE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("New")}})));
    done.set_value();
    writer.join();
    EXPECT_FALSE(released) << "the reader waited for a writer";
}
