#include "ReadWriteFixture.h"

#include "support/QtPrinters.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Parser.h"

namespace {

struct TParsed {
    TID3v2ParseResult Result;
    TID3FrameList Frames;
};

TParsed Parse(const QByteArray& tag)
{
    TParsed parsed;
    parsed.Result = ParseID3v2Tag(tag, false, parsed.Frames);
    return parsed;
}

} // namespace

TEST(ID3v2Parser, InflateIsExactAndCapped)
{
    const QByteArray body(5000, 'x');
    const QByteArray packed = ID3v2Builder::Compress(body);
    EXPECT_EQ(InflateFrame(packed, 5000, MaxInflatedFrameSize), body);
    EXPECT_EQ(InflateFrame(packed, -1, MaxInflatedFrameSize), body);
    EXPECT_FALSE(InflateFrame(packed, 4999, MaxInflatedFrameSize)) << "more output than declared";
    EXPECT_FALSE(InflateFrame(packed, 5001, MaxInflatedFrameSize)) << "less output than declared";
    EXPECT_FALSE(InflateFrame(packed, 5000, 4000)) << "declared length above the cap";
    EXPECT_FALSE(InflateFrame(packed, -1, 4000)) << "unknown length running past the cap";
    EXPECT_FALSE(InflateFrame(packed.left(packed.size() - 1), 5000, MaxInflatedFrameSize)) << "checksum cut";
    QByteArray damaged = packed;
    damaged[packed.size() - 1] = char(damaged[packed.size() - 1] ^ 1);
    EXPECT_FALSE(InflateFrame(damaged, 5000, MaxInflatedFrameSize)) << "checksum wrong";
    EXPECT_FALSE(InflateFrame(QByteArray("not zlib"), 8, MaxInflatedFrameSize));

    // A small bomb: 64 MiB of zeros claim their full length and are refused
    // without that much memory being taken.
    const QByteArray bomb = ID3v2Builder::Compress(QByteArray(64 * 1024 * 1024, '\0'));
    EXPECT_FALSE(InflateFrame(bomb, 64 * 1024 * 1024, InflateLimit(bomb.size())));
    EXPECT_FALSE(InflateFrame(bomb, -1, InflateLimit(bomb.size())));
}

TEST(ID3v2Parser, UnsupportedVersionsAndHeaderOnly)
{
    EXPECT_TRUE(Parse(ID3v2Builder(5).Frame("TIT2", Text("x")).Build()).Result.VersionUnsupported);
    TID3FrameList frames;
    const auto result = ParseID3v2Tag(ID3v2Builder(4, 1).Frame("TIT2", Text("x")).Build(), true, frames);
    EXPECT_FALSE(result.VersionUnsupported);
    EXPECT_TRUE(frames.empty());

    EXPECT_TRUE(Parse(QByteArray("ID3\x04")).Result.Failed);
    EXPECT_TRUE(Parse(QByteArray("XYZ\x04\x00\x00\x00\x00\x00\x00", 10)).Result.Failed);
}

// v2.3 frames become their v2.4 forms as they are read.
TEST(ID3v2Parser, Version23DatesAndPeopleBecomeTheirVersion24Frames)
{
    const auto year = Spec("TYER", Text("2004"), [](ID3v2FrameSpec& s) { s.ReadOnly = true; });
    TParsed parsed = Parse(ID3v2Builder(3)
                               .Frame("TIT2", Text("Song"))
                               .Frame(year)
                               .Frame("TDAT", Text("0605"))
                               .Frame("TIME", Text("0708"))
                               .Frame("TDRC", Text("1999"))
                               .Build());
    EXPECT_EQ(Ids(parsed.Frames), QStringList({"TIT2", "TDRC"}));
    const TID3Frame* tdrc = FindFrame(parsed.Frames, "TDRC");
    ASSERT_NE(tdrc, nullptr);
    EXPECT_EQ(GetFirstText(tdrc->Body()), "2004-05-06T07:08");
    EXPECT_EQ(tdrc->ReadOnly, 1) << "flags of the year frame";

    // A time without a usable date is not appended; TDAT without TYER is dropped.
    parsed = Parse(ID3v2Builder(3)
                       .Frame("TYER", Text("2004"))
                       .Frame("TDAT", Text("6-05"))
                       .Frame("TIME", Text("0708"))
                       .Build());
    EXPECT_EQ(Ids(parsed.Frames), QStringList({"TDRC"}));
    EXPECT_EQ(FirstText(parsed.Frames, "TDRC"), "2004");
    parsed = Parse(ID3v2Builder(3).Frame("TDAT", Text("0605")).Frame("TIME", Text("0708")).Build());
    EXPECT_TRUE(parsed.Frames.empty());

    // A year that is not four digits keeps its text.
    parsed = Parse(ID3v2Builder(3).Frame("TYER", Text("04")).Frame("TDAT", Text("0605")).Frame("TYER", Text("2010")).Build());
    EXPECT_EQ(Ids(parsed.Frames), QStringList({"TYER", "TDRC"})) << "only the first TYER is converted";
    EXPECT_EQ(FirstText(parsed.Frames, "TDRC"), "04");
    EXPECT_EQ(FirstText(parsed.Frames, "TYER"), "2010");

    parsed = Parse(ID3v2Builder(3).Frame("TYER", ID3v2Builder::TextBody(1, {QStringLiteral("около 1990")})).Build());
    const TID3Frame* date = FindFrame(parsed.Frames, "TDRC");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(GetFirstText(date->Body()), QStringLiteral("около 1990"));
    EXPECT_EQ(date->Body().at(0), 1) << "UTF-16 for text beyond Latin-1";

    const QByteArray people = ID3v2Builder::TextBody(0, {"producer", "Ann"});
    const QByteArray tag = ID3v2Builder(3)
                               .Frame("TYER", Text("2004"))
                               .Frame("TDAT", Text("0605"))
                               .Frame("TIME", Text("0708"))
                               .Frame("TDOR", Text("1970"))
                               .Frame("TIPL", Text("old"))
                               .Frame("IPLS", people)
                               .Frame("TORY", Text("1969"))
                               .Frame("TIT2", Text("x"))
                               .Build();
    parsed = Parse(tag);
    EXPECT_EQ(Ids(parsed.Frames), QStringList({"TIPL", "TIT2", "TDRC", "TDOR"}));
    // New frames may take the memory of removed ones: no offset may outlive its frame.
    EXPECT_EQ(parsed.Result.BodyOffsets.size(), 2u);
    for (const auto& [frame, offset] : parsed.Result.BodyOffsets)
        EXPECT_EQ(tag.mid(offset, frame->BodySize()), frame->Body()) << qPrintable(frame->FrameID);
    EXPECT_EQ(FirstText(parsed.Frames, "TDOR"), "1969");
    EXPECT_EQ(FindFrame(parsed.Frames, "TIPL")->Body(), people);
    EXPECT_TRUE(parsed.Result.BodyOffsets.contains(FindFrame(parsed.Frames, "TIPL"))) << "renamed, same body";
}

TEST(ID3v2Parser, UnsynchronisationAtFrameAndTagLevel)
{
    // v2.3: the whole tag, frame headers included.
    const QByteArray body = Bytes({1, 0xFF, 0xFE, 'a', 0, 0xFF, 0x00});
    // The size field 00 00 01 FF needs unsynchronisation too.
    const ID3v2FrameSpec big = Spec("APIC", QByteArray(0x1FF, char(0xFF)));
    const TParsed parsed = Parse(ID3v2Builder(3).TagUnsynchronisation().ExtendedHeader().Frame(big).Frame("TIT2", body).Build());
    ASSERT_EQ(parsed.Frames.size(), 2u);
    EXPECT_EQ(parsed.Frames[0]->Body(), big.Body);
    EXPECT_EQ(parsed.Frames[1]->Body(), body);
    EXPECT_EQ(parsed.Frames[1]->Unsynchronisation, 0);
    EXPECT_FALSE(parsed.Result.PartlyRead);
    EXPECT_TRUE(parsed.Result.BodyOffsets.empty());
}

TEST(ID3v2Parser, CompressedAndEncryptedFramesKeepTheirData)
{
    const QByteArray title = ID3v2Builder::TextBody(0, {QString(300, u'a')});
    const auto frame = Spec("TIT2", title, [](ID3v2FrameSpec& s) { s.Compressed = true; });
    // v2.4 compression without a data length: the whole stream, capped.
    const QByteArray packed = ID3v2Builder::Compress(title);
    TParsed parsed = Parse(ID3v2Builder(4)
                               .Raw("TIT2" + ID3v2Builder::SyncSafe(quint32(packed.size())) + Bytes({0, 0x08}) + packed)
                               .Build());
    ASSERT_EQ(parsed.Frames.size(), 1u);
    EXPECT_EQ(parsed.Frames[0]->Body(), title);

    // A wrong data length or damaged data fails the read; the frames after it
    // are still read.
    for (const quint8 major : {3, 4}) {
        ID3v2FrameSpec wrong = frame;
        wrong.DeclaredDataLength = quint32(title.size() + 1);
        parsed = Parse(ID3v2Builder(major).Frame(wrong).Frame("TPE1", Text("Artist")).Build());
        EXPECT_TRUE(parsed.Result.Failed);
        EXPECT_TRUE(parsed.Result.PartlyRead);
        EXPECT_FALSE(parsed.Result.Error.isEmpty());
        EXPECT_EQ(Ids(parsed.Frames), QStringList({"TPE1"}));
    }

    // Encrypted without compression keeps method byte and data only (every
    // other combination: RoundTripOfEveryFlagCombination).
    const auto plain = Spec("TIT2", QByteArray(1, '\x7F'), [](ID3v2FrameSpec& s) { s.EncryptionMethod = 3; });
    ID3v2FrameSpec methodOnly = plain; // shorter than a text frame may be: kept all the same
    methodOnly.Body.clear();
    parsed = Parse(ID3v2Builder(4).Frame(plain).Frame(methodOnly).Build());
    ASSERT_EQ(parsed.Frames.size(), 2u);
    EXPECT_EQ(parsed.Frames[0]->Body(), Bytes({3, 0x7F}));
    EXPECT_EQ(parsed.Frames[1]->Body(), Bytes({3}));
}

TEST(ID3v2Parser, TooShortFramesAreDroppedButDamageStopsReadingAndMarksTheTag)
{
    // Grouping flag, but no byte for the group id; data length indicator in a 3-byte frame.
    const auto noRoom = Spec("TALB", {}, [](ID3v2FrameSpec& s) { s.FormatFlags = 0x40; });
    const auto noLength = Spec("TALB", "abc", [](ID3v2FrameSpec& s) { s.FormatFlags = 0x01; });
    TParsed parsed = Parse(ID3v2Builder(4)
                               .Frame("TIT2", QByteArray(1, '\0'))
                               .Frame("COMM", QByteArray(5, '\0'))
                               .Frame("TXXX", QByteArray(2, '\0'))
                               .Frame("WXXX", QByteArray(2, '\0'))
                               .Frame("WOAR", QByteArray())
                               .Frame(noRoom)
                               .Frame(noLength)
                               .Frame("COMM", QByteArray(6, '\0'))
                               .Frame("TPE1", Text("kept"))
                               .Frame("WOAR", "u")
                               .Padding(100)
                               .Build());
    EXPECT_EQ(Ids(parsed.Frames), QStringList({"COMM", "TPE1", "WOAR"}));
    EXPECT_FALSE(parsed.Result.PartlyRead) << "every dropped frame had a size that fits";

    // Damage, though, stops reading and marks the tag.
    const auto good = [] { return ID3v2Builder(4).Frame("TIT2", Text("One")).Frame("TPE1", Text("Two")); };
    const QByteArray whole = good().Build();
    parsed = Parse(whole.left(whole.size() - 2));
    EXPECT_EQ(Ids(parsed.Frames), QStringList({"TIT2"}));
    EXPECT_TRUE(parsed.Result.PartlyRead) << "tag shorter than its header says";

    // An extended header whose size runs past the tag is clamped: nothing is
    // read, and the tag is not to be replaced. (Well-formed extended headers:
    // RoundTripOfEveryFlagCombination.)
    parsed = Parse(ID3v2Builder(3).ExtendedHeader().ExtendedHeaderDeclaredSize(0xFFFFFFF0).Frame("TIT2", Text("T")).Build());
    EXPECT_TRUE(parsed.Frames.empty());
    EXPECT_TRUE(parsed.Result.PartlyRead);
    parsed = Parse(ID3v2Builder(4).ExtendedHeader().ExtendedHeaderDeclaredSize(2).Frame("TIT2", Text("T")).Build());
    EXPECT_TRUE(parsed.Result.PartlyRead);
}

TEST(ID3v2Parser, PlainIntegerFrameSizesInV24)
{
    const QByteArray longTitle = Text(QByteArray(200, 't').constData());
    const QByteArray longArtist = Text(QByteArray(300, 'a').constData());
    const QByteArray tag = ID3v2Builder(4)
                               .PlainFrameSizes()
                               .Frame("TIT2", longTitle)
                               .Frame("TPE1", longArtist)
                               .Frame("TALB", Text("short"))
                               .Padding(64)
                               .Build();
    TParsed parsed = Parse(tag);
    EXPECT_TRUE(parsed.Result.PlainFrameSizes);
    EXPECT_FALSE(parsed.Result.PartlyRead);
    ASSERT_EQ(Ids(parsed.Frames), QStringList({"TIT2", "TPE1", "TALB"}));
    EXPECT_EQ(parsed.Frames[1]->Body(), longArtist);
    for (const auto& frame : parsed.Frames)
        EXPECT_EQ(tag.mid(parsed.Result.BodyOffsets.at(frame.get()), frame->BodySize()), frame->Body());

    // Neither reading ends cleanly: the plain one reads a frame and then only
    // junk, the syncsafe one no frame at all. The plain reading wins.
    parsed = Parse(ID3v2Builder(4).PlainFrameSizes().Frame("TIT2", longTitle).Raw("garbage!!!!!").Build());
    EXPECT_TRUE(parsed.Result.PlainFrameSizes);
    EXPECT_FALSE(parsed.Result.PartlyRead);
    ASSERT_EQ(Ids(parsed.Frames), QStringList({"TIT2"}));
    EXPECT_EQ(parsed.Frames[0]->Body(), longTitle);

    // A syncsafe tag whose large frame misread as plain jumps into junk: the
    // syncsafe reading, which reaches more frames, stays.
    parsed = Parse(ID3v2Builder(4)
                       .Frame("TIT2", longTitle)
                       .Frame("TPE1", Text("x"))
                       .Raw(QByteArray(300, 'j'))
                       .Build());
    EXPECT_FALSE(parsed.Result.PlainFrameSizes);
    EXPECT_FALSE(parsed.Result.PartlyRead);
    EXPECT_EQ(Ids(parsed.Frames), QStringList({"TIT2", "TPE1"}));
}

TEST(ID3v2Parser, BytesAfterTheLastFrameThatStartNoFrameArePadding)
{
    for (const quint8 major : {quint8(3), quint8(4)}) {
        SCOPED_TRACE(major);
        const auto good = [&] { return ID3v2Builder(major).Frame("TIT2", Text("One")).Frame("TPE1", Text("Two")); };
        for (const QByteArray& junk : {QByteArray("tit2\0\0\0\2\0\0\0x", 12), QByteArray(20, '\0') + "x",
                                       QByteArray("\x01"), QByteArray(64, '\xFF'), QByteArray("\0\0\0\0TAGjunk")}) {
            const TParsed parsed = Parse(good().Raw(junk).Padding(10).Build());
            EXPECT_EQ(Ids(parsed.Frames), QStringList({"TIT2", "TPE1"})) << junk.toHex().toStdString();
            EXPECT_FALSE(parsed.Result.PartlyRead) << junk.toHex().toStdString();
        }
        // Filler up to the tag's end is padding, even where its bytes spell a
        // frame ID ("UUUU") whose size runs past the tag.
        for (const char filler : {' ', 'U', 'A', 'Z', '0', '9'}) {
            for (const int length : {10, 11, 300}) {
                SCOPED_TRACE(testing::Message() << "filler " << filler << " x " << length);
                const TParsed parsed = Parse(good().Raw(QByteArray(length, filler)).Build());
                EXPECT_EQ(Ids(parsed.Frames), QStringList({"TIT2", "TPE1"}));
                EXPECT_FALSE(parsed.Result.PartlyRead);
                EXPECT_FALSE(parsed.Result.PlainFrameSizes);
                // Filler without any frame is padding too.
                EXPECT_FALSE(Parse(ID3v2Builder(major).Raw(QByteArray(length, filler)).Build()).Result.PartlyRead);
            }
        }
        // Other bytes alone may be frames nobody can read: the tag is not
        // whole then.
        EXPECT_TRUE(Parse(ID3v2Builder(major).Raw(QByteArray("tit2\0\0\0\2\0\0\0xyz", 14)).Build()).Result.PartlyRead);
        // A frame header whose size runs past the tag is damage, not padding,
        // unless one byte repeated fills the rest of the tag.
        for (const QByteArray& damage : {QByteArray("TALB\0\0\1\0\0\0xx", 12), QByteArray(40, 'U') + 'V',
                                         QByteArray(40, 'U') + QByteArray(10, '\0')}) {
            const TParsed parsed = Parse(good().Raw(damage).Build());
            EXPECT_TRUE(parsed.Result.PartlyRead) << damage.toHex().toStdString();
            EXPECT_EQ(Ids(parsed.Frames), QStringList({"TIT2", "TPE1"})) << damage.toHex().toStdString();
        }
    }
}

// Every combination of frame flags, tag unsynchronisation, extended header,
// footer and padding survives a build and a parse, and the body offsets of
// frames stored plainly point at their bodies.
TEST(ID3v2Parser, RoundTripOfEveryFlagCombination)
{
    const QByteArray text = ID3v2Builder::TextBody(1, {QStringLiteral("Ünïcode ÿ"), QStringLiteral("zwei")});
    const QByteArray picture = QByteArray::fromHex("ffd8ffe000ff00ff") + QByteArray(300, char(0xFF));
    for (const quint8 major : {3, 4}) {
        const int frameBits = major == 3 ? 6 : 8;
        const int tagBits = major == 3 ? 3 : 4;
        for (int frameMask = 0; frameMask < (1 << frameBits); ++frameMask) {
            ID3v2FrameSpec spec = Spec("APIC", picture);
            spec.TagAlterPreservation = frameMask & 1;
            spec.FileAlterPreservation = frameMask & 2;
            spec.ReadOnly = frameMask & 4;
            if (frameMask & 8)
                spec.GroupId = quint8(frameMask);
            spec.Compressed = frameMask & 16;
            if (frameMask & 32)
                spec.EncryptionMethod = 0x81;
            spec.Unsynchronised = frameMask & 64;
            spec.DataLengthIndicator = frameMask & 128;
            for (int tagMask = 0; tagMask < (1 << tagBits); ++tagMask) {
                ID3v2Builder builder(major);
                builder.TagUnsynchronisation(tagMask & 1).Padding(tagMask & 4 ? 33 : 0);
                if (tagMask & 2)
                    builder.ExtendedHeader();
                builder.Footer(tagMask & 8);
                const QByteArray tag =
                    builder.Frame("TPE1", text).Frame(spec).Frame(ID3v2FrameSpec{spec}).Frame("TIT2", text).Build();
                SCOPED_TRACE(testing::Message() << "v2." << int(major) << " frame " << frameMask << " tag " << tagMask);

                TParsed parsed = Parse(tag);
                EXPECT_FALSE(parsed.Result.PartlyRead);
                EXPECT_FALSE(parsed.Result.Failed);
                ASSERT_EQ(Ids(parsed.Frames), QStringList({"TPE1", "APIC", "APIC", "TIT2"}));
                EXPECT_EQ(parsed.Frames[0]->Body(), text);
                EXPECT_EQ(parsed.Frames[3]->Body(), text);
                const TID3Frame& frame = *parsed.Frames[1];
                EXPECT_EQ(frame.Body(), spec.EncryptionMethod ? ID3v2Builder::EncryptedBody(spec, major) : picture);
                EXPECT_EQ(frame.TagAlterPreservation, spec.TagAlterPreservation);
                EXPECT_EQ(frame.FileAlterPreservation, spec.FileAlterPreservation);
                EXPECT_EQ(frame.ReadOnly, spec.ReadOnly);
                EXPECT_EQ(frame.Grouping, spec.GroupId.has_value());
                EXPECT_EQ(frame.GroupId, spec.GroupId.value_or(0));
                EXPECT_EQ(frame.Compression, spec.Compressed);
                EXPECT_EQ(frame.Encryption, spec.EncryptionMethod.has_value());
                EXPECT_EQ(frame.Unsynchronisation, major == 4 && spec.Unsynchronised);
                EXPECT_EQ(frame.DataLengthIndicator, spec.Compressed || (major == 4 && spec.DataLengthIndicator));
                for (const auto& [framePointer, offset] : parsed.Result.BodyOffsets)
                    EXPECT_EQ(tag.mid(offset, framePointer->BodySize()), framePointer->Body());
                const bool tagUnsync = tagMask & 1;
                EXPECT_EQ(parsed.Result.BodyOffsets.size(), tagUnsync ? 0u : 2u + (frameMask & 0xF0 ? 0u : 2u));
            }
        }
    }
}
