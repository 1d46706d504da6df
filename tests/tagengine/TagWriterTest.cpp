#include "ReadWriteFixture.h"

#include "support/MutagenReader.h"
#include "tagengine/FileRewrite.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Parser.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/TagUndo.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TID3FrameList ParseTagOf(const QString& path)
{
    TID3v2Reader reader;
    reader.FileName = path;
    EXPECT_TRUE(reader.ReadTags());
    return reader.TakeFrames();
}

} // namespace

TEST_F(ReadWriteTest, ASecondWriteIsInPlaceAndAShrunkTagGoesThroughANewFile)
{
    const QByteArray audio = StandardAudio(20);
    const QString path = Put("a.mp3", audio);
    TID3v2Reader reader;
    reader.FileName = path;
    const TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("Title")}, {"TPE1", QStringLiteral("Artist")}});
    ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    const struct stat first = StatOf(path);
    QByteArray bytes = Read(path);
    // A new tag is 792 bytes; the ID3v1 block is appended.
    EXPECT_EQ(bytes.size(), 792 + audio.size() + 128);
    EXPECT_EQ(bytes.mid(792, audio.size()), audio);

    ASSERT_TRUE(reader.WriteTags(frames));
    const struct stat second = StatOf(path);
    EXPECT_EQ(first.st_ino, second.st_ino); // same file: written in place
    EXPECT_EQ(Read(path), bytes);
    EXPECT_EQ(Entries(), QStringList({"a.mp3"}));

    ASSERT_TRUE(reader.ReadTags());
    EXPECT_EQ(reader.Major(), 4);
    EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("Title"));
    EXPECT_EQ(reader.ID3v1().Artist, QStringLiteral("Artist"));

    // A tag that shrinks much goes through a new file.
    const QByteArray old = ID3v2Builder(4).Frame("TIT2", Text("Old")).Padding(4096 - 10 - 14).Build();
    ASSERT_EQ(old.size(), 4096);
    Put("a.mp3", old + audio);
    reader.WriteID3v1 = false;
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QString(980, QLatin1Char('x'))}}))); // 10 + 10 + 981 bytes
    bytes = Read(path);
    EXPECT_EQ(bytes.size(), 1001 + 512 + audio.size());
    EXPECT_EQ(bytes.mid(1513), audio);
    EXPECT_NE(StatOf(path).st_ino, second.st_ino);
    EXPECT_EQ(Entries(), QStringList({"a.mp3"}));
}

TEST_F(ReadWriteTest, Version23WriteLeavesTheCallersFramesAlone)
{
    const QString path = Put("c.mp3", StandardAudio(10));
    TID3v2Reader reader;
    reader.FileName = path;
    reader.WriteID3Version = wivID3v2_3;
    const TID3FrameList frames = TextFrames({{"TDRC", QStringLiteral("2004-05-06T07:08")},
                                             {"TIT2", QString::fromUtf8("Ünïcödé ☃")}});
    ASSERT_TRUE(reader.WriteTags(frames));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->FrameID, QStringLiteral("TDRC"));

    const QByteArray bytes = Read(path);
    EXPECT_EQ(bytes[3], 3);
    EXPECT_TRUE(bytes.contains("TYER"));
    EXPECT_FALSE(bytes.contains("TDRC"));
}

TEST_F(ReadWriteTest, TsizIsDroppedFromVersion24AndID3v1Removed)
{
    const QByteArray tag = ID3v2Builder(4).Frame("TIT2", Text("x")).Padding(500).Build();
    const QByteArray audio = StandardAudio(10);
    const QString path = Put("d.mp3", tag + audio + Mp3Builder::ID3v1({"v1", "", "", "", "", 1, 0}));
    TID3v2Reader reader;
    reader.FileName = path;
    reader.WriteID3v1 = false;
    reader.MinID3v2Size = 0;
    const TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("x")}, {"TSIZ", QStringLiteral("123")}});
    ASSERT_TRUE(reader.WriteTags(frames));
    EXPECT_EQ(frames.size(), 2u);
    const QByteArray bytes = Read(path);
    EXPECT_EQ(bytes.size(), tag.size() + audio.size()); // in place, shrunk by the block
    EXPECT_FALSE(bytes.contains("TSIZ"));
    EXPECT_FALSE(bytes.contains("TAG"));

    // With both options off the file loses its tags.
    reader.WriteID3v2 = false;
    ASSERT_TRUE(reader.WriteTags(frames));
    EXPECT_EQ(Read(path), audio);
}

TEST_F(ReadWriteTest, TimesModeOwnerAndLinksAreKept)
{
    const QString path = Put("e.mp3", StandardAudio(10));
    SetTimes(path, 1111111111123456789LL, 1222222222987654321LL);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 1234, 2345), 0);
    }
    const QString link = PathOf("link.mp3");
    ASSERT_EQ(::symlink("e.mp3", QFile::encodeName(link).constData()), 0);

    TID3v2Reader reader;
    reader.FileName = link;
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("Through the link")}})));
    struct stat st = StatOf(path);
    EXPECT_EQ(Ns(st.st_mtim), 1222222222987654321LL);
    EXPECT_EQ(Ns(st.st_atim), 1111111111123456789LL);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 2345u);
    }
    struct stat linkStat {};
    ASSERT_EQ(::lstat(QFile::encodeName(link).constData(), &linkStat), 0);
    EXPECT_TRUE(S_ISLNK(linkStat.st_mode));
    EXPECT_EQ(FirstText(ParseTagOf(path), "TIT2"), QStringLiteral("Through the link"));

    // In place too.
    SetTimes(path, 1111111111000000001LL, 1222222222000000001LL);
    ASSERT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("Through the lin3")}})));
    st = StatOf(path);
    EXPECT_EQ(Ns(st.st_mtim), 1222222222000000001LL);
    EXPECT_EQ(Ns(st.st_atim), 1111111111000000001LL);
}

TEST_F(ReadWriteTest, AppendedTagMovesToTheStartAndOtherTagsStay)
{
    const QByteArray appended = ID3v2Builder(4).Frame("TIT2", Text("At the end")).Footer().Build();
    const QByteArray audio = StandardAudio(30);
    const QByteArray ape = Mp3Builder::ApeTag({{"Title", "ape"}});
    const QByteArray lyrics = Mp3Builder::Lyrics3v2("words");
    const QByteArray v1 = Mp3Builder::ID3v1({"v1", "", "", "", "", 2, 3});
    const QString path = Put("f.mp3", audio + lyrics + ape + appended + v1);
    TID3v2Reader reader;
    reader.FileName = path;
    ASSERT_TRUE(reader.ReadTags());
    ASSERT_TRUE(reader.ID3v2Appended());
    TID3FrameList frames = reader.TakeFrames();
    ASSERT_TRUE(reader.WriteTags(frames));

    const QByteArray bytes = Read(path);
    ASSERT_TRUE(bytes.startsWith("ID3"));
    ASSERT_TRUE(reader.ReadTags());
    EXPECT_FALSE(reader.ID3v2Appended());
    EXPECT_EQ(reader.ID3v2Offset(), 0);
    EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("At the end"));
    const qint64 start = reader.ID3v2TotalSize();
    EXPECT_EQ(bytes.mid(start), audio + lyrics + ape + bytes.right(128));
    EXPECT_EQ(reader.OtherTrailingTagSize(), lyrics.size() + ape.size());
    EXPECT_EQ(bytes.count("3DI"), 0);
}

TEST_F(ReadWriteTest, TemporaryNamesFollowTheFileName)
{
    const QByteArray name = "/music/" + QByteArray(40, 'n') + ".mp3";
    EXPECT_EQ(TFileRewrite::TemporaryName(name, 0), "/music/" + QByteArray(30, 'n') + ".tmp");
    // Characters, not bytes: a two-byte "\xc3\xa9" is one, and so is each
    // byte that is not UTF-8; the folder's bytes stay as they are.
    EXPECT_EQ(TFileRewrite::TemporaryName("/m\xff/" + QByteArray(29, 'n') + "\xc3\xa9\xc3\xa9.mp3", 0),
              "/m\xff/" + QByteArray(29, 'n') + "\xc3\xa9.tmp");
    EXPECT_EQ(TFileRewrite::TemporaryName("/m/" + QByteArray(28, 'n') + "\xe9\x80\xe9.mp3", 0),
              "/m/" + QByteArray(28, 'n') + "\xe9\x80.tmp");

    // Every name taken: the write fails and leaves the file and the others.
    const QString path = Put("a.mp3", StandardAudio(5));
    const QByteArray nativePath = QFile::encodeName(path);
    for (int i = 0; i < 30; ++i)
        Put(QFileInfo(QFile::decodeName(TFileRewrite::TemporaryName(nativePath, i))).fileName(), "keep");
    const QByteArray before = Digest(path);
    TID3v2Reader reader;
    reader.FileName = path;
    EXPECT_FALSE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("x")}})));
    EXPECT_EQ(Digest(path), before);
    EXPECT_EQ(Entries().size(), 31);
    QFile::remove(QFile::decodeName(TFileRewrite::TemporaryName(nativePath, 17)));
    EXPECT_TRUE(reader.WriteTags(TextFrames({{"TIT2", QStringLiteral("x")}})));
    EXPECT_EQ(Entries().size(), 30);
}

// The reader's own frames may be written back: they are taken before the
// scan that precedes the write empties the reader's list.
TEST_F(ReadWriteTest, TheReadersOwnFramesCanBeWrittenBack)
{
    const QByteArray tag = ID3v2Builder(3).Frame("TIT2", Text("Title")).Frame("TPE1", Text("Artist")).Padding(9).Build();
    const QString path = Put("own.mp3", tag + StandardAudio(10));
    TID3v2Reader reader;
    reader.FileName = path;
    ASSERT_TRUE(reader.ReadTags());
    ASSERT_TRUE(reader.WriteTags(reader.Frames())) << reader.LastError().toStdString();
    const TMutagenRead mutagen = ReadWithMutagen(path);
    EXPECT_EQ(MutagenTexts(mutagen, QStringLiteral("TIT2")), QStringList{QStringLiteral("Title")});
    EXPECT_EQ(MutagenTexts(mutagen, QStringLiteral("TPE1")), QStringList{QStringLiteral("Artist")});
    EXPECT_EQ(MutagenID3v1(mutagen, QStringLiteral("TPE1")), QStringLiteral("Artist"));
}

// ID3v1 fields that the window never showed (no frame in the tag as read)
// keep their values through an unrelated edit; fields the user cleared are
// cleared.
TEST_F(ReadWriteTest, ID3v1FieldsNobodySawSurviveAnEdit)
{
    const QByteArray comment30 = "a comment of thirty characters";
    ASSERT_EQ(comment30.size(), 30);
    const QByteArray v1 = Mp3Builder::ID3v1({"Title", "Artist", "V1 Album", "1999", comment30, std::nullopt, 17});
    const QByteArray tag = ID3v2Builder(3).Frame("TIT2", Text("Title")).Frame("TPE1", Text("Artist")).Padding(9).Build();
    const QString path = Put("v1.mp3", tag + StandardAudio(10) + v1);
    TID3v2Reader reader;
    reader.FileName = path;
    ASSERT_TRUE(reader.ReadTags());
    TID3FrameList frames = reader.TakeFrames();
    SetFrame(frames, QStringLiteral("TIT2"), TextFrame("TIT2", QStringLiteral("New title")).get(), 0);
    ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    // The ID3v1 fields as mutagen reads them from the file.
    const auto expectID3v1 = [](const QString& file, std::initializer_list<std::pair<const char*, const char*>> fields) {
        const TMutagenRead read = ReadWithMutagen(file);
        for (const auto& [id, text] : fields)
            EXPECT_EQ(MutagenID3v1(read, QString::fromLatin1(id)), QString::fromLatin1(text)) << id;
        return read;
    };
    const TMutagenRead mutagen = expectID3v1(
        path, {{"TIT2", "New title"}, {"TPE1", "Artist"}, {"TALB", "V1 Album"}, {"TDRC", "1999"}, {"TCON", "17"}});
    // mutagen reads every block as ID3v1.1; the kept ID3v1.0 comment keeps
    // all its 30 bytes.
    EXPECT_EQ(Read(path).right(128).mid(97, 31), v1.mid(97, 31));
    ASSERT_TRUE(reader.ReadTags());
    EXPECT_EQ(reader.ID3v1().Comment, QString::fromLatin1(comment30));
    EXPECT_TRUE(MutagenTexts(mutagen, QStringLiteral("TALB")).isEmpty()) << "no frame is made up for a kept field";

    // The user clears the artist and types a comment and a track; the album
    // and year nobody saw stay.
    frames = reader.TakeFrames();
    SetFrame(frames, QStringLiteral("TPE1"), nullptr, 0);
    SetFrame(frames, QStringLiteral("TRCK"), TextFrame("TRCK", QStringLiteral("4")).get(), 0);
    TID3Frame typed(QStringLiteral("COMM"));
    SetCommentFrame(typed, {QStringLiteral("typed")}, QString(), QStringLiteral("eng"));
    SetFrame(frames, QStringLiteral("COMM"), &typed, 0);
    ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    expectID3v1(path, {{"TPE1", ""}, {"COMM", "typed"}, {"TRCK", "4"}, {"TALB", "V1 Album"}, {"TDRC", "1999"}});

    // Without an ID3v2 tag the window shows the ID3v1 fields as frames: a
    // comment cleared there is cleared in the block too.
    const QString only = Put("only.mp3", StandardAudio(10) + v1);
    reader.FileName = only;
    ASSERT_TRUE(reader.ReadTags());
    frames = reader.TakeFrames();
    ASSERT_NE(FindFrame(frames, QStringLiteral("COMM")), nullptr);
    SetFrame(frames, QStringLiteral("COMM"), nullptr, 0);
    ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    expectID3v1(only, {{"COMM", ""}, {"TALB", "V1 Album"}});
}

TEST_F(ReadWriteTest, ReadOnlyFlagIsWrittenAndKeptThroughARewrite)
{
    for (const quint8 major : {quint8(3), quint8(4)}) {
        SCOPED_TRACE(major);
        // Another tagger marked the artist read-only.
        const auto artist = Spec("TPE1", Text("Someone"), [](ID3v2FrameSpec& s) { s.ReadOnly = true; });
        const QString path = Put(QStringLiteral("ro%1.mp3").arg(major),
                                 ID3v2Builder(major).Frame(artist).Frame("TIT2", Text("Old")).Padding(64).Build()
                                     + StandardAudio(10));
        TID3v2Reader reader;
        reader.FileName = path;
        reader.WriteID3Version = major == 3 ? wivID3v2_3 : wivID3v2_4;
        ASSERT_TRUE(reader.ReadTags());
        TID3FrameList frames = reader.TakeFrames();
        ASSERT_TRUE(FindFrame(frames, QStringLiteral("TPE1"))->ReadOnly);
        // The title changes and is marked read-only too; the artist is left.
        TID3Frame* title = FindFrame(frames, QStringLiteral("TIT2"));
        title->SetBody(TextFrame("TIT2", QStringLiteral("New"))->Body());
        title->ReadOnly = 1;
        ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();

        const QByteArray bytes = Read(path);
        const char readOnlyBit = major == 3 ? 0x20 : 0x10;
        for (const char* id : {"TPE1", "TIT2"}) {
            const qsizetype at = bytes.indexOf(id);
            ASSERT_GT(at, 0) << id;
            EXPECT_EQ(bytes.at(at + 8), readOnlyBit) << id; // status byte: read-only only
        }
        const TID3FrameList read = ParseTagOf(path);
        EXPECT_EQ(FirstText(read, "TIT2"), QStringLiteral("New"));
        EXPECT_TRUE(FindFrame(read, QStringLiteral("TIT2"))->ReadOnly);
        EXPECT_TRUE(FindFrame(read, QStringLiteral("TPE1"))->ReadOnly);
    }
}
