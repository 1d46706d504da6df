#include "ReadWriteFixture.h"

#include "platform/FileLayer.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/TagUndo.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Keeps the descriptor of the spill file (the only file a spill opens), so
// that a test can damage it.
class SpillFileLayer : public TFileLayer {
public:
    int Fd = -1;
    int Open(const QByteArray& path, int flags, mode_t mode) override { return Fd = TFileLayer::Open(path, flags, mode); }
};

} // namespace

TEST_F(ReadWriteTest, TwoWritesAndTwoUndosGiveTheOriginalBack)
{
    const QByteArray tag = ID3v2Builder(3).Frame("TIT2", Text("First")).Frame("TPE1", Text("Band")).Padding(40).Build();
    const QString path = Put("u.mp3", tag + StandardAudio(30) + Mp3Builder::ID3v1({"First", "Band", "", "", "", 1, 9}));
    SetTimes(path, 1300000000123456789LL, 1300000000123456789LL);
    const QByteArray original = Digest(path);

    TID3v2Reader reader;
    reader.FileName = path;
    reader.WriteID3Version = wivID3v2_3;
    reader.NeverChangeDate = false;
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("Second, much longer than before")}})));
    const QByteArray afterFirst = Digest(path);
    const qint64 firstTime = Ns(StatOf(path).st_mtim);
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("Third, as long as the second")}})));
    EXPECT_EQ(reader.UndoList().Count(), 2);

    ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
    EXPECT_EQ(Digest(path), afterFirst);
    EXPECT_EQ(Ns(StatOf(path).st_mtim), firstTime);
    ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
    EXPECT_EQ(Digest(path), original);
    EXPECT_EQ(Ns(StatOf(path).st_mtim), 1300000000123456789LL);
    EXPECT_EQ(reader.UndoList().Count(), 0);
    EXPECT_FALSE(reader.UndoWriteTags(path));
    EXPECT_EQ(Entries(), QStringList({"u.mp3"}));
}

TEST_F(ReadWriteTest, UndoRefusesAFileChangedByOthers)
{
    const QString path = Put("v.mp3", StandardAudio(10));
    TID3v2Reader reader;
    reader.FileName = path;
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("Ours")}})));

    // Another program writes a tag of the same size.
    TID3v2Reader other;
    other.FileName = path;
    ASSERT_TRUE(other.WriteTags(TextFrames({{"TIT2", QStringLiteral("Them")}})));
    const QByteArray changed = Digest(path);
    EXPECT_FALSE(reader.UndoWriteTags(path));
    EXPECT_FALSE(reader.LastError().isEmpty());
    EXPECT_EQ(Digest(path), changed);
    EXPECT_EQ(reader.UndoList().Count(), 1);

    // Only the ID3v1 block changed.
    ASSERT_TRUE(other.UndoWriteTags(path));
    QByteArray bytes = Read(path);
    bytes[bytes.size() - 1] = char(33);
    Put("v.mp3", bytes);
    EXPECT_FALSE(reader.UndoWriteTags(path));
    EXPECT_EQ(Read(path), bytes);
}

// Undo takes an added tag away, and gives back a removed ID3v1 block and a
// tag that the write moved from the end to the start.
TEST_F(ReadWriteTest, UndoGivesBackTheTagsAddedRemovedOrMoved)
{
    const QByteArray audio = StandardAudio(10);
    const QByteArray v1 = Mp3Builder::ID3v1({"Old", "", "", "", "", 1, 2});
    const QByteArray appended = ID3v2Builder(4).Frame("TIT2", Text("End")).Footer().Build();
    const struct {
        const char* Name;
        QByteArray Bytes;
        bool WriteID3v1;
    } files[] = {
        {"bare", audio, true},
        {"v1", ID3v2Builder(4).Frame("TIT2", Text("Old")).Padding(100).Build() + audio + v1, false},
        {"appended", audio + appended + Mp3Builder::ApeTag({{"Album", "ape album"}}) + v1, true},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.Name);
        const QString path = Put(QString::fromLatin1(file.Name) + QStringLiteral(".mp3"), file.Bytes);
        TID3v2Reader reader;
        reader.FileName = path;
        reader.WriteID3v1 = file.WriteID3v1;
        ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("New")}})));
        ASSERT_TRUE(Read(path).startsWith("ID3"));
        EXPECT_FALSE(Read(path).endsWith(v1));
        ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
        EXPECT_EQ(Read(path), file.Bytes);
    }
}

TEST_F(ReadWriteTest, UndoComparesNamesExactly)
{
    const QString upper = Put("Song.mp3", StandardAudio(5));
    const QString lower = Put("song.mp3", StandardAudio(6));
    const QByteArray lowerBefore = Digest(lower);
    TID3v2Reader reader;
    for (const QString& path : {upper, lower}) {
        reader.FileName = path;
        ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("x")}})));
    }
    EXPECT_FALSE(reader.UndoWriteTags(PathOf("SONG.mp3")));
    const QByteArray upperWritten = Digest(upper);
    ASSERT_TRUE(reader.UndoWriteTags(lower));
    EXPECT_EQ(Digest(lower), lowerBefore);
    EXPECT_EQ(Digest(upper), upperWritten);
    EXPECT_EQ(reader.UndoList().Count(), 1);
    EXPECT_EQ(reader.UndoList().GetItem(0)->FileName, upper);
}

// Large old tags wait for undo in a private spill file, not in memory; undo
// stays byte for byte. When the spill file cannot be made, they stay in
// memory.
TEST_F(ReadWriteTest, LargeOldTagsWaitInAPrivateSpillFile)
{
    const QByteArray picture(100 * 1024, '\x5a');
    const QByteArray tag = ID3v2Builder(4)
                               .Frame("TIT2", Text("Title"))
                               .Frame("APIC", QByteArray("\0image/png\0\3\0", 13) + picture)
                               .Padding(100)
                               .Build();
    const QByteArray original = tag + StandardAudio(10) + Mp3Builder::ID3v1({"Title", "", "", "", "", 1, 1});
    const QString folder = PathOf(QStringLiteral("cache/quillon-undo"));
    const QString blocked = Put(QStringLiteral("not-a-folder"), "x") + QStringLiteral("/undo");

    for (const QString& spillFolder : {folder, blocked}) {
        SCOPED_TRACE(spillFolder.toStdString());
        const bool spills = spillFolder == folder;
        const QString path = Put("big.mp3", original);
        TID3v2Reader reader;
        reader.UndoList().SetSpill(std::make_shared<TUndoSpill>(spillFolder));
        reader.FileName = path;
        ASSERT_TRUE(reader.ReadTags());
        TID3FrameList frames = reader.TakeFrames();
        QByteArray afterFirst;
        for (const char* title : {"Second", "Third"}) {
            SetFrame(frames, QStringLiteral("TIT2"), TextFrame("TIT2", QString::fromLatin1(title)).get(), 0);
            ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
            if (afterFirst.isEmpty())
                afterFirst = Read(path);
        }
        ASSERT_EQ(reader.UndoList().Count(), 2);
        const TFilePart* part = reader.UndoList().GetItem(1)->FindPart(TFilePart::ID3v2);
        EXPECT_EQ(part->IsSpilled(), spills);
        EXPECT_EQ(part->Size(), tag.size());
        // Only the ID3v1 blocks stay in memory while spilling works.
        EXPECT_EQ(reader.UndoList().MemoryBytes(), spills ? 2 * 128 : 2 * (tag.size() + 128));
        if (spills) {
            EXPECT_EQ(StatOf(folder).st_mode & 0777, 0700u);
            EXPECT_TRUE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
                << "the spill file has no name while it is used";
        }
        ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
        EXPECT_EQ(Read(path), afterFirst);
        ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
        EXPECT_EQ(Read(path), original);
        EXPECT_EQ(reader.UndoList().MemoryBytes(), 0);
    }

    // Past the memory budget small tags are spilled too.
    const QString path = Put("small.mp3", ID3v2Builder(3).Frame("TIT2", Text("x")).Build() + StandardAudio(5));
    TID3v2Reader reader;
    reader.UndoList().SetSpill(std::make_shared<TUndoSpill>(folder));
    reader.UndoList().SetSpillLimits(TUndoList::DefaultLargePartSize, 0);
    reader.FileName = path;
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("y")}})));
    EXPECT_TRUE(reader.UndoList().GetItem(0)->FindPart(TFilePart::ID3v2)->IsSpilled());
    EXPECT_EQ(reader.UndoList().MemoryBytes(), 0);
}

// A spill file damaged while its bytes wait for undo makes the undo refuse:
// the file keeps the tags it carries, and the record stays.
TEST_F(ReadWriteTest, DamagedSpillFileMakesTheUndoRefuse)
{
    const QByteArray tag = ID3v2Builder(4).Frame("TIT2", Text("Old")).Padding(100).Build();
    const QByteArray original = tag + StandardAudio(10);
    const QString other = Put(QStringLiteral("other"), QByteArray(tag).replace("Old", "Odd"));
    const std::vector<std::pair<const char*, std::function<void(int)>>> damages = {
        {"truncated", [&](int fd) { ASSERT_EQ(::ftruncate(fd, tag.size() - 1), 0); }},
        {"bytes flipped", [&](int fd) { ASSERT_EQ(::pwrite(fd, "Odd", 3, tag.indexOf("Old")), 3); }},
        {"replaced by another file", [&](int fd) {
             const int replacement = ::open(QFile::encodeName(other).constData(), O_RDONLY);
             ASSERT_EQ(::dup2(replacement, fd), fd);
             ::close(replacement);
         }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        const QString path = Put("spilled.mp3", original);
        auto layer = std::make_shared<SpillFileLayer>();
        TID3v2Reader reader;
        reader.UndoList().SetSpill(std::make_shared<TUndoSpill>(PathOf(QStringLiteral("cache/undo")), layer));
        reader.UndoList().SetSpillLimits(0, 0);
        reader.FileName = path;
        ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("New")}})));
        ASSERT_TRUE(reader.UndoList().GetItem(0)->FindPart(TFilePart::ID3v2)->IsSpilled());
        const QByteArray written = Read(path);
        damage(layer->Fd);
        EXPECT_FALSE(reader.UndoWriteTags(path));
        EXPECT_FALSE(reader.LastError().isEmpty());
        EXPECT_EQ(Read(path), written);
        EXPECT_EQ(reader.UndoList().Count(), 1);
    }

    // A region whose size or place lies is not read, however large it
    // claims to be; nor are bytes that are gone, though the checksum of no
    // bytes (0) would match.
    auto layer = std::make_shared<SpillFileLayer>();
    TUndoSpill spill(PathOf(QStringLiteral("cache/undo")), layer);
    const auto stored = spill.Store(tag);
    ASSERT_TRUE(stored);
    EXPECT_EQ(spill.Load(*stored), tag);
    const auto [at, size, sum] = *stored;
    for (const TUndoSpill::TRegion lying : std::initializer_list<TUndoSpill::TRegion>{
             {at, size + 1, sum}, {at, size - 1, sum}, {at, -1, sum}, {at - 1, size, sum}, {at + 1, size, 0},
             {at, qint64(1) << 40, sum}, {at, std::numeric_limits<qint64>::max(), sum}}) {
        SCOPED_TRACE(testing::Message() << lying.Offset << " + " << lying.Size);
        EXPECT_FALSE(spill.Load(lying).has_value());
    }
    ASSERT_EQ(::ftruncate(layer->Fd, 0), 0);
    EXPECT_FALSE(spill.Load({at, size, 0}).has_value());
}
