#include "ReadWriteFixture.h"

#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/MpegHeader.h"

#include "support/RunProgram.h"

namespace {

QByteArray TitleTag(quint8 major, const char* title = "Title", int padding = 0)
{
    return ID3v2Builder(major).Frame("TIT2", Text(title)).Padding(padding).Build();
}

qint64 CbrLength(qint64 audioBytes, int kbps)
{
    return audioBytes * 8 / kbps;
}

} // namespace

// Headers with a reserved or free-format field are no audio frame.
TEST(MpegHeader, ReservedAndFreeFormatHeadersAreRejected)
{
    const auto decodes = [](uchar b1, uchar b2) {
        const uchar bytes[4] = {0xFF, b1, b2, 0x40};
        TMP3Info info;
        return DecodeMpegHeader(bytes, info);
    };
    EXPECT_TRUE(decodes(0xFB, 0x90));  // MPEG 1 layer III 128 kbit/s 44.1 kHz
    EXPECT_FALSE(decodes(0xFB, 0x00)); // free format
    EXPECT_FALSE(decodes(0xFB, 0xF0)); // bad bit rate
    EXPECT_FALSE(decodes(0xFB, 0x9C)); // reserved sample rate
    EXPECT_FALSE(decodes(0xEB, 0x90)); // reserved version
    EXPECT_FALSE(decodes(0xF9, 0x90)); // reserved layer
    EXPECT_FALSE(decodes(0x1B, 0x90)); // no sync
}

TEST_F(ReadWriteTest, TagsAreFoundThroughTheirFootersOnlyAfterTheAudioAndWithTheirHeaders)
{
    const QByteArray tag = ID3v2Builder(4).Frame("TIT2", Text("End")).Footer().Build();
    const QByteArray audio = StandardAudio(50);
    const QByteArray v1 = Mp3Builder::ID3v1({"v1 title", "", "", "", "", 3, 17});
    TID3v2Reader reader;

    ASSERT_TRUE(Scan(reader, "v1.mp3", audio + tag + v1));
    EXPECT_TRUE(reader.HasID3v2());
    EXPECT_TRUE(reader.ID3v2Appended());
    EXPECT_EQ(reader.ID3v2Offset(), reader.FileSize() - 128 - tag.size());
    EXPECT_EQ(reader.ID3v2TotalSize(), tag.size());
    EXPECT_TRUE(reader.HasID3v1());
    EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("End"));
    EXPECT_EQ(reader.Length(), CbrLength(audio.size(), 128));

    // A leading tag counts its footer.
    ASSERT_TRUE(Scan(reader, "lead.mp3", tag + audio));
    EXPECT_FALSE(reader.ID3v2Appended());
    EXPECT_EQ(reader.ID3v2TotalSize(), tag.size());
    EXPECT_EQ(reader.AudioStart(), tag.size());

    // A footer is taken only after the audio's start and with its header. Its
    // size reaching back into the leading tag: the first tag found is taken.
    const QByteArray footer = tag.right(10);
    ASSERT_TRUE(Scan(reader, "reach.mp3", TitleTag(4, "Lead") + audio + footer));
    EXPECT_EQ(reader.ID3v2Offset(), 0);
    EXPECT_FALSE(reader.ID3v2Appended());

    // Without a leading tag a footer whose tag would start before the audio
    // is not a tag.
    QByteArray bogus = footer;
    bogus[8] = 0x7F; // size far beyond the audio
    ASSERT_TRUE(Scan(reader, "bogus.mp3", audio + bogus));
    EXPECT_FALSE(reader.HasID3v2());
    EXPECT_EQ(reader.Length(), CbrLength(audio.size() + 10, 128));

    // A footer without a matching header at its start is not a tag either.
    QByteArray headless = tag;
    headless[0] = 'X';
    ASSERT_TRUE(Scan(reader, "headless.mp3", audio + headless));
    EXPECT_FALSE(reader.HasID3v2());
}

TEST_F(ReadWriteTest, TruncatedTagCostsNeitherAudioNorID3v1)
{
    // The tag's size runs past the end of the file.
    QByteArray tag = ID3v2Builder(3).Frame("TIT2", Text("Kept")).DeclaredTagSize(10000000).Build();
    const QByteArray audio = StandardAudio(40);
    const QByteArray v1 = Mp3Builder::ID3v1({"One", "Two", "", "1999", "", std::nullopt, 8});
    TID3v2Reader reader;
    EXPECT_TRUE(Scan(reader, "trunc.mp3", tag + audio + v1));
    EXPECT_TRUE(reader.HasID3v2());
    EXPECT_TRUE(reader.PartlyRead());
    EXPECT_EQ(reader.ID3v2TotalSize(), 10000010);
    EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("Kept"));
    EXPECT_TRUE(reader.MPEGFound());
    EXPECT_EQ(reader.AudioStart(), tag.size());
    EXPECT_EQ(reader.Length(), CbrLength(audio.size(), 128));
    EXPECT_EQ(reader.ID3v1().Title, QStringLiteral("One"));
}

TEST_F(ReadWriteTest, ID3v1AloneFillsTheFrames)
{
    const QByteArray v1 = Mp3Builder::ID3v1({"Title", "Artist", "Album", "2001", "Note", 7, 17});
    TID3v2Reader reader;
    ASSERT_TRUE(Scan(reader, "v1.mp3", StandardAudio(10) + v1));
    EXPECT_FALSE(reader.HasID3v2());
    ASSERT_TRUE(reader.HasID3v1());
    EXPECT_EQ(reader.OldID3v1Bytes(), v1);
    EXPECT_EQ(FirstText(reader.Frames(), "TCON"), QStringLiteral("Rock"));
    const TID3Frame* comment = reader.FindFrame(QStringLiteral("COMM"));
    ASSERT_NE(comment, nullptr);
    QString text, language, description;
    GetCommentFrame(*comment, text, language, description);
    EXPECT_EQ(text, QStringLiteral("Note"));
    EXPECT_TRUE(language.isEmpty());
    EXPECT_TRUE(description.isEmpty());
    EXPECT_EQ(comment->Body().mid(1, 3), QByteArray(3, '\0'));

    // Off: no frames; and with ReadID3v2 off the frames come from ID3v1 even
    // when an ID3v2 tag is there.
    reader.CopyID3v2IfEmptyFromID3v1 = false;
    ASSERT_TRUE(reader.ReadTags());
    EXPECT_TRUE(reader.Frames().empty());
    reader.ReadID3v2 = false;
    ASSERT_TRUE(Scan(reader, "both.mp3", TitleTag(4, "v2") + StandardAudio(10) + v1));
    EXPECT_TRUE(reader.HasID3v2());
    EXPECT_EQ(FirstText(reader.Frames(), "TIT2"), QStringLiteral("Title"));
}

TEST_F(ReadWriteTest, ApeLyricsAndID3v1AreNeverTakenForAudio)
{
    const QByteArray audio = StandardAudio(30);
    const QByteArray ape = Mp3Builder::ApeTag({{"Title", "ape title"}, {"Artist", "someone"}});
    const QByteArray lyrics = Mp3Builder::Lyrics3v2("la la la");
    const QByteArray v1 = Mp3Builder::ID3v1({"v1", "", "", "", "", std::nullopt, 255});
    TID3v2Reader reader;
    ASSERT_TRUE(Scan(reader, "ape.mp3", TitleTag(4) + audio + lyrics + ape + v1));
    EXPECT_TRUE(reader.HasID3v1());
    EXPECT_EQ(reader.OtherTrailingTagSize(), ape.size() + lyrics.size());
    EXPECT_EQ(reader.Length(), CbrLength(audio.size(), 128));
}

// A Xing header, or a VBRI header 32 bytes after the frame header whatever
// the version and channel mode, gives the frame count.
TEST_F(ReadWriteTest, XingAndVbriHeadersGiveLengthAndAverageBitrate)
{
    // The largest frame count a header can hold does not overflow.
    TMP3Info mpeg;
    mpeg.Version = 2;
    mpeg.Layer = 1;
    mpeg.SampleRate = 22050;
    EXPECT_EQ(FramesToMilliseconds(mpeg, 0xFFFFFFFFu), 74796709355LL);

    // MPEG 2 mono, 22.05 kHz, 32 kbit/s.
    MpegFormat low;
    low.Version = 2;
    low.SampleRate = 22050;
    low.ChannelMode = 3;
    low.Bitrate = 32;
    MpegFormat format;
    std::vector<int> mixed;
    for (int i = 0; i < 400; ++i)
        mixed.push_back(i % 2 ? 64 : 192);
    for (const bool vbri : {false, true}) {
        SCOPED_TRACE(vbri ? "VBRI" : "Xing");
        const QByteArray stream = Mp3Builder::VbrStream(format, mixed, vbri);
        TID3v2Reader reader;
        const QByteArray v1 = Mp3Builder::ID3v1({"v1", "", "", "", "", 1, 1});
        ASSERT_TRUE(Scan(reader, "vbr.mp3", TitleTag(4) + stream + v1));
        EXPECT_EQ(reader.MPEGInfo().VBR, 1);
        const qint64 length = (400 * 1152 * 1000 + 22050) / 44100; // 10449 ms
        EXPECT_EQ(reader.Length(), length);
        EXPECT_EQ(reader.MPEGInfo().Bitrate, (stream.size() * 8 + length / 2) / length);

        // MPEG 2 layer III frames carry 576 samples.
        MpegFormat mpeg2 = low;
        mpeg2.Bitrate = 64;
        const QByteArray stream2 = Mp3Builder::VbrStream(mpeg2, std::vector<int>(300, 32), vbri);
        ASSERT_TRUE(Scan(reader, "vbr2.mp3", stream2));
        EXPECT_EQ(reader.MPEGInfo().Version, 2);
        EXPECT_EQ(reader.MPEGInfo().VBR, 1);
        EXPECT_EQ(reader.Length(), (300 * 576 * 1000 + 11025) / 22050);
    }

    // An encoder raises the rate of the "Info" frame of a 32 kbit/s MPEG 2
    // mono stream to hold the header: the stream's rate gives the length.
    MpegFormat raised = low;
    raised.Bitrate = 56;
    const QByteArray lowStream = Mp3Builder::XingFrame(raised, 401, 0, false) + Mp3Builder::CbrFrames(low, 400);
    TID3v2Reader reader;
    ASSERT_TRUE(Scan(reader, "low.mp3", TitleTag(4) + lowStream));
    EXPECT_EQ(reader.MPEGInfo().VBR, 0);
    EXPECT_EQ(reader.MPEGInfo().Bitrate, 32);
    EXPECT_EQ(reader.Length(), CbrLength(lowStream.size(), 32));
    EXPECT_NEAR(reader.Length(), 400 * 576 * 1000 / 22050, 100);
}

// A sync pattern inside junk before the audio is no frame unless the next
// frame header follows where its length says.
TEST_F(ReadWriteTest, FalseSyncBeforeTheAudioIsSkipped)
{
    const QByteArray audio = StandardAudio(30);
    QByteArray junk = Mp3Builder::FrameHeader(MpegFormat()) + QByteArray(300, '\x11');
    junk.append(QByteArray("\xFF\xF3\x44\xC4", 4) + QByteArray(150, '\x22')); // MPEG 2 layer III, 32 kbit/s
    const QByteArray tag = TitleTag(4);
    TID3v2Reader reader;
    ASSERT_TRUE(Scan(reader, "sync.mp3", tag + junk + audio));
    EXPECT_EQ(reader.AudioStart(), tag.size() + junk.size());
    EXPECT_EQ(reader.MPEGInfo().Version, 1);
    EXPECT_EQ(reader.Length(), CbrLength(audio.size(), 128));

    // A file of one frame: there is no next header to wait for.
    const QByteArray one = StandardAudio(1);
    ASSERT_TRUE(Scan(reader, "one.mp3", tag + one));
    EXPECT_TRUE(reader.MPEGFound());
    EXPECT_EQ(reader.AudioStart(), tag.size());

    // Layer I and II frames of MPEG 1 and 2, each padded (Layer I by a slot
    // of 4 bytes), are followed where their length says; ffprobe cuts the
    // stream into frames of that length.
    for (const auto& [version, layer] : {std::pair{1, 1}, {1, 2}, {2, 1}, {2, 2}}) {
        SCOPED_TRACE(testing::Message() << "MPEG " << version << " layer " << layer);
        MpegFormat padded;
        padded.Version = version;
        padded.Layer = layer;
        padded.SampleRate = version == 1 ? 44100 : 22050;
        padded.Bitrate = 64;
        padded.Padding = true;
        ASSERT_TRUE(Scan(reader, "padded.mp3", tag + Mp3Builder::CbrFrames(padded, 20)));
        ASSERT_TRUE(reader.MPEGFound());
        EXPECT_EQ(reader.MPEGInfo().Layer, layer);
        EXPECT_EQ(reader.AudioStart(), tag.size());
        const TProgramRun probe = RunProgram(
            "ffprobe", {"-v", "error", "-show_entries", "packet=size", "-of", "csv=p=0", PathOf("padded.mp3")});
        ASSERT_EQ(probe.ExitCode, 0) << "ffprobe (package ffmpeg): " << probe.Err.toStdString();
        const QByteArray frameLength = QByteArray::number(MpegFrameLength(reader.MPEGInfo()));
        EXPECT_EQ(probe.Out.toStdString(), (frameLength + '\n').repeated(20).toStdString());
    }
}
