#include "ReadWriteFixture.h"

#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v1Block.h"

namespace {

QByteArray Block(const QByteArray& comment30, char byte125, char byte126)
{
    QByteArray block = Mp3Builder::ID3v1({"T", "", "", "", comment30, std::nullopt, 255});
    block[125] = byte125;
    block[126] = byte126;
    return block;
}

} // namespace

TEST(ID3v1Block, DecodesLatin1TextsGenresAndATrackOnlyAfterAZeroByte)
{
    // A 30-character comment ending in two blanks has no track.
    TID3v1Infos info = DecodeID3v1Block(Block("a comment of thirty characters", ' ', ' '));
    EXPECT_EQ(info.Track, 0);
    info = DecodeID3v1Block(Block("0123456789012345678901234567", '\0', 7));
    EXPECT_EQ(info.Track, 7);
    EXPECT_EQ(info.Comment, QStringLiteral("0123456789012345678901234567"));
    // Both bytes zero: no track.
    info = DecodeID3v1Block(Block("short", '\0', '\0'));
    EXPECT_EQ(info.Track, 0);
    EXPECT_EQ(info.Comment, QStringLiteral("short"));
    // A 30-byte comment whose last byte is not a blank keeps all 30 bytes.
    info = DecodeID3v1Block(Block("012345678901234567890123456789", '8', '9'));
    EXPECT_EQ(info.Track, 0);
    EXPECT_EQ(info.Comment, QStringLiteral("012345678901234567890123456789"));

    info = DecodeID3v1Block(Mp3Builder::ID3v1({"  Caf\xE9\t ", "Artist", "Album", "1999", "Comment", 12, 17}));
    EXPECT_EQ(info.Title, QString::fromUtf8("Café"));
    EXPECT_EQ(info.Genre, 17);
    EXPECT_EQ(info.GenreName, QStringLiteral("Rock"));
    const TID3v1Infos none = DecodeID3v1Block(Mp3Builder::ID3v1({"", "", "", "", "", std::nullopt, 255}));
    EXPECT_EQ(none.Genre, 255);
    EXPECT_TRUE(none.GenreName.isEmpty());
}

TEST(ID3v1Block, BuildsFromTheFirstFramesWithinTheFields)
{
    TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("A title that is longer than thirty characters")},
                                       {"TPE1", QString::fromUtf8("Ωmega Café")},
                                       {"TALB", QStringLiteral("Album")},
                                       {"TDRC", QStringLiteral("2004-05-06T07:08")},
                                       {"TRCK", QStringLiteral("3/12")},
                                       {"TCON", QStringLiteral("(17)")}});
    auto comment = std::make_unique<TID3Frame>(QStringLiteral("COMM"));
    SetCommentFrame(*comment, {QStringLiteral("A comment that needs more than thirty bytes")}, QString(),
                    QStringLiteral("eng"));
    frames.push_back(std::move(comment));

    const QByteArray block = BuildID3v1Block(frames);
    ASSERT_EQ(block.size(), 128);
    EXPECT_EQ(block.left(3), QByteArray("TAG"));
    EXPECT_EQ(block.mid(3, 30), QByteArray("A title that is longer than th"));
    EXPECT_EQ(block.mid(33, 11), QByteArray("?mega Caf\xE9\0", 11));
    EXPECT_EQ(block.mid(93, 4), QByteArray("2004"));
    EXPECT_EQ(block.mid(97, 31), QByteArray("A comment that needs more th\0\3\21", 31));

    // Tracks beyond a byte, genres by name and years that are no year.
    const auto built = [](std::initializer_list<std::pair<const char*, QString>> texts) {
        return BuildID3v1Block(TextFrames(texts));
    };
    EXPECT_EQ(built({{"TRCK", QStringLiteral("300")}})[126], '\0');
    EXPECT_EQ(built({{"TCON", QStringLiteral("rock")}})[127], char(17));
    EXPECT_EQ(built({{"TCON", QStringLiteral("Nothing like it")}})[127], char(255));
    EXPECT_EQ(built({{"TDRC", QStringLiteral("circa 1970")}}).mid(93, 4), QByteArray(4, '\0'));
    const QByteArray empty = BuildID3v1Block({});
    EXPECT_EQ(empty.mid(3), QByteArray(124, '\0') + char(255));
}

TEST(ID3v1Block, CopyToFramesReplacesAddsAndDeletes)
{
    TID3v1Infos v1;
    v1.Title = QStringLiteral(" New title ");
    v1.Year = QStringLiteral("99");
    v1.Track = 0;
    v1.Genre = 255;
    v1.Comment = QStringLiteral("plain");

    TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("Old")}, {"TRCK", QStringLiteral("4")}});
    auto described = std::make_unique<TID3Frame>(QStringLiteral("COMM"));
    SetCommentFrame(*described, {QStringLiteral("kept")}, QStringLiteral("desc"), QStringLiteral("eng"));
    frames.push_back(std::move(described));

    CopyID3v1ToFrames(frames, v1, false, ID3v1Field::All);
    EXPECT_EQ(FirstText(frames, "TIT2"), QStringLiteral("New title"));
    EXPECT_EQ(FirstText(frames, "TRCK"), QStringLiteral("4")); // empty value ignored
    EXPECT_EQ(FirstText(frames, "TDRC"), QStringLiteral("0099"));
    EXPECT_EQ(FindFrame(frames, QStringLiteral("TCON")), nullptr);
    int comments = 0;
    for (const auto& frame : frames)
        comments += frame->FrameID == QLatin1String("COMM");
    EXPECT_EQ(comments, 2); // the described comment stays, a plain one is added

    CopyID3v1ToFrames(frames, v1, true, ID3v1Field::Track | ID3v1Field::Artist);
    EXPECT_EQ(FindFrame(frames, QStringLiteral("TRCK")), nullptr);
    EXPECT_EQ(FirstText(frames, "TIT2"), QStringLiteral("New title"));

    TID3FrameList onlyTitle;
    CopyID3v1ToFrames(onlyTitle, v1, false, ID3v1Field::Title);
    ASSERT_EQ(onlyTitle.size(), 1u);
}
