#include "ReadWriteFixture.h"

#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Parser.h"
#include "tagengine/ID3v2Writer.h"

namespace {

TID3v2PaddingRule Rule(bool hadTag, qint64 oldSize)
{
    TID3v2PaddingRule rule;
    rule.HadTag = hadTag;
    rule.OldTotalSize = oldSize;
    return rule;
}

QByteArray Build(const TID3FrameList& frames, quint8 major, bool unsync = false)
{
    TID3v2TagOptions options;
    options.Major = major;
    options.Unsynchronisation = unsync;
    options.Padding.MinSize = 0;
    options.Padding.MinPadding = 0;
    QString error;
    auto tag = BuildID3v2Tag(frames, options, error);
    EXPECT_TRUE(tag.has_value()) << error.toStdString();
    return tag.value_or(QByteArray());
}

TID3FrameList Parse(const QByteArray& tag)
{
    TID3FrameList frames;
    const TID3v2ParseResult result = ParseID3v2Tag(tag, false, frames);
    EXPECT_FALSE(result.PartlyRead);
    EXPECT_FALSE(result.Failed);
    return frames;
}

} // namespace

TEST(TagBuild, PaddingRule)
{
    // (A new tag filled up to 792 bytes and a much shrunk one: the tag writer's tests.)
    // Grown past the old tag: 512 bytes of padding.
    EXPECT_EQ(ComputePadding(900, Rule(true, 800)), 512);
    // Fits in the old tag: its size is kept.
    EXPECT_EQ(ComputePadding(1000, Rule(true, 2500)), 1500);
    EXPECT_EQ(ComputePadding(1000, Rule(true, 1000)), 0);
    // Too much padding, and the default padding stays under the minimum size.
    EXPECT_EQ(ComputePadding(100, Rule(true, 3000)), 692);
    // Options out of range do not make negative padding.
    TID3v2PaddingRule odd = Rule(false, 0);
    odd.MinSize = -5;
    odd.MinPadding = -1;
    odd.MaxPadding = -1;
    EXPECT_EQ(ComputePadding(50, odd), 0);
}

TEST(TagBuild, UnsynchronisedTagsReadBackTheSame)
{
    QByteArray last("\x01\xFF", 2);
    EXPECT_FALSE(ApplyUnsynchronisation(last)); // only the final zero
    EXPECT_EQ(last, QByteArray("\x01\xFF\x00", 3));

    TID3FrameList frames;
    frames.push_back(RawFrame("PRIV", QByteArray("a\xFF\xE0z\xFF", 5)));
    frames.push_back(RawFrame("TIT2", Text("plain")));
    for (const quint8 major : {3, 4}) {
        const QByteArray tag = Build(frames, major, true);
        const TID3FrameList read = Parse(tag);
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0]->Body(), frames[0]->Body());
        EXPECT_EQ(read[1]->Body(), frames[1]->Body());
        // v2.3: the tag is flagged when anything changed; v2.4: only when
        // every frame had to be changed.
        EXPECT_EQ(uchar(tag[5]), major == 3 ? 0x80 : 0x00) << int(major);
        EXPECT_FALSE(tag.contains(QByteArray("\xFF\xE0", 2)));
    }
    const QByteArray v24 = Build(frames, 4, true);
    EXPECT_EQ(uchar(v24[19]), 0x02); // first frame flagged
    EXPECT_EQ(uchar(v24[10 + 10 + 6 + 9]), 0x00);

    TID3FrameList allChanged;
    allChanged.push_back(RawFrame("PRIV", QByteArray("\xFF\x00", 2)));
    EXPECT_EQ(uchar(Build(allChanged, 4, true)[5]), 0x80);
}

TEST(TagBuild, DatesToVersion23)
{
    TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("t")},
                                       {"TDRC", QStringLiteral("2004-05-06T07:08")},
                                       {"TDOR", QStringLiteral("1999-02")},
                                       {"TIPL", QStringLiteral("role")},
                                       {"IPLS", QStringLiteral("old")}});
    ConvertID3v24To23(frames);
    EXPECT_EQ(FirstText(frames, "TYER"), QStringLiteral("2004"));
    EXPECT_EQ(FirstText(frames, "TDAT"), QStringLiteral("0605"));
    EXPECT_EQ(FirstText(frames, "TIME"), QStringLiteral("0708"));
    EXPECT_EQ(FirstText(frames, "TORY"), QStringLiteral("1999"));
    EXPECT_EQ(FirstText(frames, "IPLS"), QStringLiteral("role"));
    EXPECT_EQ(Ids(frames), QStringList({"TIT2", "IPLS", "TYER", "TDAT", "TIME", "TORY"}));

    TID3FrameList month = TextFrames({{"TDRC", QStringLiteral("2004-05")}});
    ConvertID3v24To23(month);
    EXPECT_EQ(FirstText(month, "TDAT"), QStringLiteral("0105"));
    EXPECT_EQ(FindFrame(month, QStringLiteral("TIME")), nullptr);

    // A date that is not an ISO date stays where it is instead of vanishing.
    TID3FrameList odd = TextFrames({{"TDRC", QStringLiteral("circa 1970")}, {"TDOR", QStringLiteral("1970s")}});
    ConvertID3v24To23(odd);
    EXPECT_EQ(FirstText(odd, "TDRC"), QStringLiteral("circa 1970"));
    EXPECT_EQ(FirstText(odd, "TDOR"), QStringLiteral("1970s"));
    EXPECT_EQ(FindFrame(odd, QStringLiteral("TYER")), nullptr);
}

TEST(TagBuild, Version23HasNoUtf8OrUtf16BE)
{
    const QString text = QString::fromUtf8("Grüße ☃ 𝄞");
    const QByteArray utf8Text = ID3v2Builder::TextBody(3, {text, QStringLiteral("second")});
    QByteArray reencoded = ReencodeForID3v23(QStringLiteral("TIT2"), utf8Text);
    EXPECT_EQ(reencoded, ID3v2Builder::TextBody(1, {text, QStringLiteral("second")}));

    const QByteArray comment = ID3v2Builder::CommentBody(2, "deu", QStringLiteral("Beschreibung"), text);
    reencoded = ReencodeForID3v23(QStringLiteral("COMM"), comment);
    EXPECT_EQ(reencoded, ID3v2Builder::CommentBody(1, "deu", QStringLiteral("Beschreibung"), text));

    // Encodings 0 and 1 and frames without encoding keep their bytes.
    const QByteArray latin = Text("abc");
    EXPECT_EQ(ReencodeForID3v23(QStringLiteral("TIT2"), latin), latin);
    const QByteArray priv = QByteArray("owner\0\x03\x01", 8);
    EXPECT_EQ(ReencodeForID3v23(QStringLiteral("PRIV"), priv), priv);
}

TEST(TagBuild, FrameSizesFlagsAndSkippedFrames)
{
    TID3FrameList frames;
    frames.push_back(RawFrame("PRIV", QByteArray(200, 'x')));
    frames.push_back(RawFrame("TIT2", QByteArray()));         // empty body
    frames.push_back(RawFrame("TX", QByteArray("\0a", 2)));   // bad ID
    frames.push_back(RawFrame("tit2", QByteArray("\0a", 2))); // bad ID
    frames[0]->TagAlterPreservation = 1;
    frames[0]->Grouping = 1;
    frames[0]->GroupId = 0x90;
    const QByteArray v24 = Build(frames, 4);
    EXPECT_EQ(v24.mid(10, 10), QByteArray("PRIV\x00\x00\x01\x48\x00\x00", 10));
    EXPECT_EQ(v24.size(), 10 + 10 + 200);
    const QByteArray v23 = Build(frames, 3);
    EXPECT_EQ(v23.mid(10, 10), QByteArray("PRIV\x00\x00\x00\xC8\x00\x00", 10));
    EXPECT_EQ(v23.left(6), QByteArray("ID3\x03\x00\x00", 6));
    EXPECT_EQ(v23.mid(6, 4), QByteArray("\x00\x00\x01\x52", 4));
}

TEST(TagBuild, EncryptedFramesAreWrittenBackByteForByte)
{
    for (const quint8 major : {3, 4}) {
        const auto encrypted = Spec("TIT2", QByteArray("\x01\xFF\xE0secret\x00\xFF", 10), [](ID3v2FrameSpec& s) {
            s.EncryptionMethod = 0x81;
            s.GroupId = 0x92;
            s.TagAlterPreservation = true;
        });
        ID3v2FrameSpec compressed = encrypted;
        compressed.Id = "PRIV";
        compressed.Compressed = true;
        compressed.GroupId.reset();
        const QByteArray original = ID3v2Builder(major).Frame("TPE1", Text("x")).Frame(encrypted).Frame(compressed).Build();
        const TID3FrameList frames = Parse(original);
        ASSERT_EQ(frames.size(), 3u);
        EXPECT_EQ(Build(frames, major), original) << int(major);
    }
}
