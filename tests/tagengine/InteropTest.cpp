// Files made by real encoders are measured as ffprobe measures them, tags
// written here are read by python3-mutagen and ffprobe, and tags written by
// mutagen and ffmpeg survive a rewrite here.

#include "ReadWriteFixture.h"

#include "support/MutagenReader.h"
#include "support/QtPrinters.h"
#include "support/RunProgram.h"

#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Reader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <tuple>

namespace {

// Dumps every frame of a file's ID3v2 tag as JSON: the version and, per
// frame, its ID and every field but the text encoding.
const char* const DumpScript = R"PY(
import json, sys
from mutagen.id3 import ID3
from mutagen.id3._specs import EncodingSpec

def norm(v):
    if isinstance(v, bytes):
        return v.hex()
    if isinstance(v, (list, tuple)):
        return [norm(x) for x in v]
    if isinstance(v, bool) or v is None:
        return v
    if isinstance(v, int):
        return int(v)
    return str(v)

tags = ID3(sys.argv[1], translate=sys.argv[2] == '1', load_v1=False)
frames = []
for f in tags.values():
    d = {'id': f.FrameID}
    for spec in f._framespec + f._optionalspec:
        if not isinstance(spec, EncodingSpec) and hasattr(f, spec.name):
            d[spec.name] = norm(getattr(f, spec.name))
    frames.append(d)
frames.sort(key=lambda d: json.dumps(d, sort_keys=True))
print(json.dumps({'version': list(tags.version), 'frames': frames}, sort_keys=True))
)PY";

// Writes a tag with many kinds of frames into the file given, as ID3v2.3 or
// ID3v2.4, unsynchronised on request. mutagen never unsynchronises itself, so
// its own encoder is applied to its output: to the whole tag for v2.3, to each
// frame's data for v2.4, where only every other frame also gets the frame flag
// (the tag flag alone must be enough).
const char* const WriterScript = R"PY(
import sys
from mutagen.id3 import (ID3, TIT2, TPE1, TPE2, TALB, TRCK, TCON, TDRC, COMM, TXXX, USLT, APIC, WXXX, WOAR,
                         POPM, PRIV, UFID, GEOB, TIPL, TDOR)
from mutagen.id3._util import unsynch

def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])

def unsyncsafe(b):
    return (b[0] << 21) | (b[1] << 14) | (b[2] << 7) | b[3]

def unsynchronise(path, version):
    data = open(path, 'rb').read()
    size = unsyncsafe(data[6:10])
    body, rest = data[10:10 + size], data[10 + size:]
    if version == 3:
        body = unsynch.encode(body)
    else:
        out, pos, index = b'', 0, 0
        while pos + 10 <= len(body) and body[pos:pos + 4] != b'\0\0\0\0':
            fsize = unsyncsafe(body[pos + 4:pos + 8])
            fdata = unsynch.encode(body[pos + 10:pos + 10 + fsize])
            fflags = body[pos + 9] | (0x02 if index % 2 else 0)
            out += body[pos:pos + 4] + syncsafe(len(fdata)) + body[pos + 8:pos + 9] + bytes([fflags]) + fdata
            pos += 10 + fsize
            index += 1
        body = out + body[pos:]
    open(path, 'wb').write(data[:5] + bytes([data[5] | 0x80]) + syncsafe(len(body)) + body + rest)

path, version = sys.argv[1], int(sys.argv[2])
t = ID3()
t.add(TIT2(encoding=3, text=['\u03a9mega \u2603 title']))
t.add(TPE1(encoding=1, text=['Artist One', 'Artist Two']))
t.add(TPE2(encoding=2, text=['Band \u2603']))
t.add(TALB(encoding=0, text=['Album']))
t.add(TRCK(encoding=0, text=['3/12']))
t.add(TCON(encoding=0, text=['Rock']))
t.add(TDRC(encoding=0, text=['2004-05-06T07:08']))
t.add(TDOR(encoding=0, text=['1999']))
t.add(COMM(encoding=1, lang='eng', desc='desc', text=['Kommentar \u00fc \u2603']))
t.add(COMM(encoding=0, lang='deu', desc='', text=['zweiter']))
t.add(TXXX(encoding=3, desc='key \u2603', text=['value']))
t.add(USLT(encoding=1, lang='eng', desc='', text='Lyrics\nline 2 \u2603'))
t.add(APIC(encoding=3, mime='image/png', type=3, desc='cover \u2603', data=bytes(range(256)) * 100))
t.add(WXXX(encoding=0, desc='site', url='http://example.com/'))
t.add(WOAR(url='http://artist.example/'))
t.add(POPM(email='a@b.c', rating=128, count=5))
t.add(PRIV(owner='owner', data=b'\x00\xff\xe0\x01'))
t.add(UFID(owner='http://ufid', data=b'id-123'))
t.add(GEOB(encoding=1, mime='application/octet-stream', filename='f \u2603.bin', desc='obj', data=b'\xff\xfe\x00'))
t.add(TIPL(encoding=0, people=[['producer', 'P'], ['mixer', 'M']]))
if version == 3:
    t.update_to_v23()
t.save(path, v2_version=version)
if sys.argv[3] == '1':
    unsynchronise(path, version)
)PY";

bool HaveProgram(const char* name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

QJsonObject MutagenDump(const QString& path, bool translate)
{
    const TProgramRun r = RunPython(DumpScript, {path, translate ? "1" : "0"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    return QJsonDocument::fromJson(r.Out).object();
}

// The frames of a dump with the given ID.
QJsonArray FramesOf(const QJsonObject& dump, const char* id)
{
    QJsonArray found;
    for (const auto frame : dump.value("frames").toArray())
        if (frame.toObject().value("id").toString() == QLatin1String(id))
            found.append(frame);
    return found;
}

QJsonObject Ffprobe(const QString& path, const char* entries)
{
    const TProgramRun r = RunProgram("ffprobe", {"-v", "error", "-show_entries", entries, "-of", "json", path});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    return QJsonDocument::fromJson(r.Out).object();
}

QJsonObject FfprobeTags(const QString& path)
{
    return Ffprobe(path, "format_tags").value("format").toObject().value("tags").toObject();
}

// Sample rate and channels agree with ffprobe's, length and average bit rate
// within 1 %.
void ExpectAgreesWithFfprobe(const TID3v2Reader& reader, const QString& path)
{
    const QJsonObject probe = Ffprobe(path, "format=duration,bit_rate:stream=sample_rate,channels");
    const QJsonObject stream = probe.value("streams").toArray().at(0).toObject();
    EXPECT_EQ(reader.MPEGInfo().SampleRate, stream.value("sample_rate").toString().toUInt());
    EXPECT_EQ(reader.MPEGInfo().ChannelMode == 3, stream.value("channels").toInt() == 1);
    const double duration = probe.value("format").toObject().value("duration").toString().toDouble() * 1000;
    const double bitrate = probe.value("format").toObject().value("bit_rate").toString().toDouble() / 1000;
    ASSERT_GT(duration, 0);
    EXPECT_NEAR(double(reader.Length()), duration, duration * 0.01);
    EXPECT_NEAR(double(reader.MPEGInfo().Bitrate), bitrate, bitrate * 0.01);
}

TID3FramePtr CommentFrame(const QString& text, const QString& description, const QString& language)
{
    auto frame = std::make_unique<TID3Frame>(QStringLiteral("COMM"));
    SetCommentFrame(*frame, {text}, description, language);
    return frame;
}

const QString UnicodeTitle = QString::fromUtf8("Ωmega ☃ Grüße 𝄞");
const QString UnicodeComment = QString::fromUtf8("Kommentar ü ☃");
// Picture data with bytes that unsynchronisation must protect.
const QByteArray PictureData = QByteArray("\x89PNG\xFF\xE0\xFF\x00\xFF\xFF", 10).repeated(30);

// The frames every interoperability write uses.
TID3FrameList InteropFrames()
{
    TID3FrameList frames = TextFrames({{"TIT2", UnicodeTitle},
                                       {"TPE1", QStringLiteral("Artist")},
                                       {"TALB", QStringLiteral("Album")},
                                       {"TRCK", QStringLiteral("3/12")},
                                       {"TCON", QStringLiteral("Rock")},
                                       {"TDRC", QStringLiteral("2004-05-06T07:08")}});
    frames.push_back(CommentFrame(UnicodeComment, QString(), QStringLiteral("eng")));
    auto user = std::make_unique<TID3Frame>(QStringLiteral("TXXX"));
    SetTextFrame(*user, QStringLiteral("key"), {QString::fromUtf8("välue ☃")});
    frames.push_back(std::move(user));
    frames.push_back(RawFrame("APIC", QByteArray("\0image/png\0\3desc\0", 17) + PictureData));
    return frames;
}

} // namespace

class InteropTest : public ReadWriteTest {
protected:
    // Makes a WAV file of `seconds` seconds at `rate` Hz with ffmpeg.
    QString MakeWave(int rate, int seconds)
    {
        const QString path = PathOf(QStringLiteral("in%1.wav").arg(rate));
        if (QFile::exists(path))
            return path;
        const TProgramRun r = RunProgram(
            "ffmpeg", {"-v", "error", "-f", "lavfi", "-i",
                       QStringLiteral("aevalsrc=0.5*sin(440*2*PI*t)*sin(3*t)+0.2*(random(0)-0.5)|0.4*sin(660*2*PI*t):d=%1")
                           .arg(seconds),
                       "-ar", QString::number(rate), path});
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        return path;
    }

    QString Lame(const QString& name, int rate, const QStringList& options)
    {
        const QString out = PathOf(name);
        const TProgramRun r = RunProgram("lame", QStringList{"--quiet"} + options + QStringList{MakeWave(rate, 30), out});
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        return out;
    }
};

TEST_F(InteropTest, LengthAndBitrateAgreeWithFfprobe)
{
    if (!HaveProgram("lame") || !HaveProgram("ffmpeg") || !HaveProgram("ffprobe"))
        GTEST_SKIP() << "lame, ffmpeg or ffprobe is not installed";
    struct TCase {
        QString File;
        int Version;
        bool Vbr;
    };
    std::vector<TCase> cases = {
        {Lame("cbr.mp3", 44100, {"-b", "128"}), 1, false},
        {Lame("vbr.mp3", 44100, {"-V", "2"}), 1, true},
        {Lame("monovbr.mp3", 44100, {"-m", "m", "-V", "5"}), 1, true},
        {Lame("mpeg2vbr.mp3", 22050, {"-V", "4"}), 2, true},
        {Lame("mpeg25.mp3", 11025, {"-m", "m", "-b", "24"}), 3, false},
        {Lame("mpeg25vbr.mp3", 8000, {"-m", "m", "-V", "6"}), 3, true},
    };
    const QString ffmpegFile = PathOf(QStringLiteral("ffmpeg.mp3"));
    const TProgramRun encoded = RunProgram(
        "ffmpeg", {"-v", "error", "-i", MakeWave(44100, 30), "-c:a", "libmp3lame", "-b:a", "192k", ffmpegFile});
    if (encoded.ExitCode == 0)
        cases.push_back({ffmpegFile, 1, false});
    // lame writes no VBRI header, so that file is built here.
    std::vector<int> mixed;
    for (int i = 0; i < 1000; ++i)
        mixed.push_back(i % 4 ? 112 : 320);
    cases.push_back({Put(QStringLiteral("vbri.mp3"), Mp3Builder::VbrStream(MpegFormat(), mixed, true)), 1, true});

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File.toStdString());
        TID3v2Reader reader;
        reader.FileName = c.File;
        ASSERT_TRUE(reader.ReadTags()) << reader.LastError().toStdString();
        ASSERT_TRUE(reader.MPEGFound());
        EXPECT_EQ(reader.MPEGInfo().Version, c.Version);
        EXPECT_EQ(reader.MPEGInfo().Layer, 3);
        EXPECT_EQ(reader.MPEGInfo().VBR, c.Vbr ? 1 : 0);
        ExpectAgreesWithFfprobe(reader, c.File);
    }
}

TEST_F(InteropTest, OurTagsReadTheSameInMutagenAndFfprobe)
{
    if (!MutagenInstalled() || !HaveProgram("ffprobe"))
        GTEST_SKIP() << "/usr/bin/python3 with mutagen or ffprobe is not installed";
    const QByteArray audio = StandardAudio(60);
    for (int combination = 0; combination < 16; ++combination) {
        const bool v23 = combination & 1, unsync = combination & 2, padding = combination & 4, twice = combination & 8;
        SCOPED_TRACE(testing::Message() << "v2." << (v23 ? 3 : 4) << " unsync " << unsync << " padding " << padding
                                        << " in place " << twice);
        const QString path = Put(QStringLiteral("w%1.mp3").arg(combination), audio);
        TID3v2Reader reader;
        reader.FileName = path;
        reader.WriteID3Version = v23 ? wivID3v2_3 : wivID3v2_4;
        reader.UseUnsynchronisation = unsync;
        if (!padding) {
            reader.MinID3v2Size = 0;
            reader.MinID3v2Padding = 0;
        }
        if (twice) {
            // First with another title of the same length, then in place.
            TID3FrameList first = InteropFrames();
            SetFrame(first, QStringLiteral("TIT2"), TextFrame("TIT2", QString(UnicodeTitle).replace(u'Ω', u'Ψ')).get(), 0);
            ASSERT_TRUE(reader.WriteTags(first));
        }
        ASSERT_TRUE(reader.WriteTags(InteropFrames())) << reader.LastError().toStdString();
        ASSERT_TRUE(reader.ReadTags());
        const QByteArray bytes = Read(path);
        EXPECT_EQ(bytes.mid(reader.AudioStart(), audio.size()), audio);
        EXPECT_EQ(bytes.size(), reader.AudioStart() + audio.size() + 128);

        const TMutagenRead mutagen = ReadWithMutagen(path);
        EXPECT_EQ(mutagen.Tag.value("version").toArray().at(1).toInt(), v23 ? 3 : 4);
        EXPECT_EQ(mutagen.Tag.value("frames").toArray().size(), 9); // v2.3 dates read as one TDRC
        EXPECT_EQ(MutagenData(mutagen, "APIC"), QString::fromLatin1(PictureData.toHex()));
        EXPECT_EQ(MutagenTexts(mutagen, "APIC", "desc").size(), 1);
        const QJsonObject ffprobe = FfprobeTags(path);
        // Frame, description, ffprobe's key (none: not compared there), text.
        const std::tuple<const char*, const char*, const char*, QString> expected[] = {
            {"TIT2", "", "title", UnicodeTitle},   {"TPE1", "", "artist", QStringLiteral("Artist")},
            {"TALB", "", "album", QStringLiteral("Album")}, {"TRCK", "", "track", QStringLiteral("3/12")},
            {"TCON", "", "genre", QStringLiteral("Rock")},  {"COMM", "", "comment", UnicodeComment},
            {"TXXX", "key", "key", QString::fromUtf8("välue ☃")},
            // mutagen's way of showing the date, made of TYER, TDAT and TIME in v2.3
            {"TDRC", "", nullptr, v23 ? QStringLiteral("2004-05-06 07:08:00") : QStringLiteral("2004-05-06 07:08")}};
        for (const auto& [id, description, key, text] : expected) {
            EXPECT_EQ(MutagenTexts(mutagen, id, description), QStringList{text}) << id;
            // ffprobe cuts the last character of an unsynchronised v2.3 tag's texts.
            if (key && !(v23 && unsync)) {
                EXPECT_EQ(ffprobe.value(key).toString(), text) << key;
            }
        }
    }
}

// Read exactly, mutagen's unsynchronised tags too: the rewrite gives mutagen
// back every field of every frame.
TEST_F(InteropTest, MutagenTagsSurviveOurRewrite)
{
    if (!MutagenInstalled())
        GTEST_SKIP() << "/usr/bin/python3 with mutagen is not installed";
    const QByteArray audio = StandardAudio(40);
    for (const auto& [version, unsync] : {std::pair{3, false}, {3, true}, {4, false}, {4, true}}) {
        SCOPED_TRACE(testing::Message() << "v2." << version << " unsync " << unsync);
        const QString path = Put(QStringLiteral("m%1%2.mp3").arg(version).arg(unsync), audio);
        const TProgramRun written = RunPython(WriterScript, {path, QString::number(version), unsync ? "1" : "0"});
        ASSERT_EQ(written.ExitCode, 0) << written.Err.toStdString();
        ASSERT_EQ((Read(path).at(5) & 0x80) != 0, unsync);
        const QJsonObject before = MutagenDump(path, false);
        ASSERT_GE(before.value("frames").toArray().size(), 20);

        TID3v2Reader reader;
        reader.FileName = path;
        reader.WriteID3Version = version == 3 ? wivID3v2_3 : wivID3v2_4;
        ASSERT_TRUE(reader.ReadTags());
        EXPECT_FALSE(reader.PartlyRead());
        TID3FrameList frames = reader.TakeFrames();
        ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
        EXPECT_EQ(MutagenDump(path, false), before);
        ASSERT_TRUE(reader.ReadTags());
        EXPECT_EQ(Read(path).mid(reader.AudioStart(), audio.size()), audio);

        // And into the other version: the same frames once both are in
        // their v2.4 form.
        const QJsonObject translated = MutagenDump(path, true);
        reader.WriteID3Version = version == 3 ? wivID3v2_4 : wivID3v2_3;
        ASSERT_TRUE(reader.WriteTags(frames));
        QJsonObject other = MutagenDump(path, true);
        EXPECT_EQ(other.value("frames").toArray().size(),
                  translated.value("frames").toArray().size());
        for (const char* id : {"TIT2", "TPE1", "TPE2", "COMM", "TXXX", "USLT", "APIC", "WXXX", "POPM", "PRIV", "UFID", "GEOB", "TIPL"})
            EXPECT_EQ(FramesOf(other, id), FramesOf(translated, id)) << id;
    }
}

// Padding filled with one byte that spells a frame ID ("UUUU", "0000") is
// read as mutagen and ffprobe read it; a write replaces it, and undo puts it
// back byte for byte.
TEST_F(InteropTest, FillerPaddingThatLooksLikeAFrameReadsAsPeersReadIt)
{
    if (!MutagenInstalled() || !HaveProgram("ffprobe"))
        GTEST_SKIP() << "/usr/bin/python3 with mutagen or ffprobe is not installed";
    const QByteArray audio = StandardAudio(20);
    for (const int version : {3, 4})
        for (const char filler : {'U', 'A', 'Z', '0', '9'}) {
            SCOPED_TRACE(testing::Message() << "v2." << version << " filler " << filler);
            const QByteArray original = ID3v2Builder(quint8(version))
                                            .Frame("TIT2", Text("Title"))
                                            .Frame("TPE1", Text("Artist"))
                                            .Raw(QByteArray(300, filler))
                                            .Build()
                                            + audio;
            const QString path = Put(QStringLiteral("filler.mp3"), original);
            const auto mutagenTitle = [&] {
                return FramesOf(MutagenDump(path, false), "TIT2").at(0).toObject().value("text").toArray().at(0).toString();
            };
            ASSERT_EQ(mutagenTitle(), QStringLiteral("Title"));
            ASSERT_EQ(FfprobeTags(path).value("artist").toString(), QStringLiteral("Artist"));

            TID3v2Reader reader;
            reader.FileName = path;
            ASSERT_TRUE(reader.ReadTags());
            EXPECT_FALSE(reader.PartlyRead());
            TID3FrameList frames = reader.TakeFrames();
            ASSERT_EQ(frames.size(), 2u);
            EXPECT_EQ(FirstText(frames, "TPE1"), QStringLiteral("Artist"));
            SetFrame(frames, QStringLiteral("TIT2"), TextFrame("TIT2", QStringLiteral("New")).get(), 0);
            ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
            EXPECT_EQ(mutagenTitle(), QStringLiteral("New"));
            ASSERT_TRUE(reader.ReadTags());
            EXPECT_FALSE(Read(path).left(reader.ID3v2TotalSize()).contains(QByteArray(8, filler)));
            EXPECT_EQ(Read(path).mid(reader.AudioStart(), audio.size()), audio);
            ASSERT_TRUE(reader.UndoWriteTags(path)) << reader.LastError().toStdString();
            EXPECT_EQ(Read(path), original);
        }
}
