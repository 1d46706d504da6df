// Tags written by python3-mutagen, an independent ID3 implementation, are read
// with the same frames and texts.

#include "ReadWriteFixture.h"

#include "support/MutagenReader.h"
#include "support/RunProgram.h"

#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Parser.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

// Reads the values and cases from the JSON file given as first argument and
// writes one MP3 file per case into the folder given as second argument.
// mutagen never writes unsynchronised tags itself, so that is applied to its
// output with mutagen's own encoder: to the whole tag for v2.3, to each
// frame's data for v2.4, where only every other frame also gets the frame flag
// (the tag flag alone must be enough).
const char* const WriterScript = R"PY(
import json, sys
from mutagen.id3 import ID3, TIT2, TPE1, COMM, TXXX, APIC, TDRC, TDOR
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

given = json.load(open(sys.argv[1], encoding='utf-8'))
for case in given['cases']:
    v = given['latin'] if case['encoding'] == 0 else given['unicode']
    enc = case['encoding']
    path = sys.argv[2] + '/' + case['file']
    open(path, 'wb').write(b'\xff\xfb\x90\x00' + b'\x00' * 413)
    tags = ID3()
    tags.add(TIT2(encoding=enc, text=[v['title']]))
    tags.add(TPE1(encoding=enc, text=v['artists']))
    for c in v['comments']:
        tags.add(COMM(encoding=enc, lang=c['lang'], desc=c['desc'], text=[c['text']]))
    for t in v['txxx']:
        tags.add(TXXX(encoding=enc, desc=t['desc'], text=[t['text']]))
    tags.add(TDRC(encoding=enc, text=[given['date']]))
    tags.add(TDOR(encoding=enc, text=[given['originalYear']]))
    tags.add(APIC(encoding=enc, mime='image/png', type=3, desc=v['pictureDescription'],
                  data=bytes.fromhex(given['picture'])))
    if case['version'] == 3:
        tags.update_to_v23()
    tags.save(path, v2_version=case['version'], v23_sep=None, padding=lambda info: 100)
    if case['unsynchronised']:
        unsynchronise(path, case['version'])
)PY";

struct TComment {
    QString Language, Description, Text;
};

struct TValues {
    QString Title;
    QStringList Artists;
    QList<TComment> Comments;
    QList<QPair<QString, QString>> UserTexts;
    QString PictureDescription;
};

const TValues LatinValues{QStringLiteral("Grüße aus Köln ÿ"),
                          {QStringLiteral("Artist One"), QStringLiteral("Ärtist Two")},
                          {{"eng", "", QStringLiteral("First comment ÿ")},
                           {"deu", "Zweiter", QStringLiteral("Zweiter Kommentar")}},
                          {{"ALPHA", "first value"}, {"BETA", QStringLiteral("zweiter Wert ÿ")}},
                          QStringLiteral("Cover ÿ")};

const TValues UnicodeValues{QStringLiteral("Grüße – 日本語 𝄞 ÿ"),
                            {QStringLiteral("Артист"), QStringLiteral("第二")},
                            {{"eng", "", QStringLiteral("Comment – ÿ €")},
                             {"jpn", QStringLiteral("説明"), QStringLiteral("コメント 𝄞")}},
                            {{QStringLiteral("ключ"), QStringLiteral("значение")}, {"BETA", QStringLiteral("ÿ and €")}},
                            QStringLiteral("Обложка")};

const QString Date = QStringLiteral("2004-05-06T07:08");
const QString OriginalYear = QStringLiteral("1999");

QByteArray Picture()
{
    QByteArray data = QByteArray::fromHex("89504e470d0a1a0aff00ffe0fffb0000ff");
    for (int i = 0; i < 512; ++i)
        data += char(i * 37);
    return data + char(0xFF);
}

struct TCase {
    int Version;
    int Encoding;
    bool Unsynchronised;
    QString File() const
    {
        return QStringLiteral("v%1_e%2_%3.mp3").arg(Version).arg(Encoding).arg(Unsynchronised ? "u" : "p");
    }
};

QList<TCase> Cases()
{
    QList<TCase> cases;
    for (const bool unsync : {false, true}) {
        for (int encoding = 0; encoding <= 1; ++encoding)
            cases.append({3, encoding, unsync});
        for (int encoding = 0; encoding <= 3; ++encoding)
            cases.append({4, encoding, unsync});
    }
    return cases;
}

QJsonObject ValuesObject(const TValues& values)
{
    QJsonArray comments;
    for (const TComment& c : values.Comments)
        comments.append(QJsonObject{{"lang", c.Language}, {"desc", c.Description}, {"text", c.Text}});
    QJsonArray userTexts;
    for (const auto& [description, text] : values.UserTexts)
        userTexts.append(QJsonObject{{"desc", description}, {"text", text}});
    return QJsonObject{{"title", values.Title},
                       {"artists", QJsonArray::fromStringList(values.Artists)},
                       {"comments", comments},
                       {"txxx", userTexts},
                       {"pictureDescription", values.PictureDescription}};
}

QByteArray ValuesJson()
{
    QJsonArray cases;
    for (const TCase& c : Cases())
        cases.append(QJsonObject{
            {"file", c.File()}, {"version", c.Version}, {"encoding", c.Encoding}, {"unsynchronised", c.Unsynchronised}});
    const QJsonObject values{{"latin", ValuesObject(LatinValues)},
                           {"unicode", ValuesObject(UnicodeValues)},
                           {"date", Date},
                           {"originalYear", OriginalYear},
                           {"picture", QString::fromLatin1(Picture().toHex())},
                           {"cases", cases}};
    return QJsonDocument(values).toJson();
}

// The ID3v2 tag at the start of a file, header to end of frames and padding.
QByteArray TagOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(10);
    if (head.size() < 10 || !head.startsWith("ID3"))
        return {};
    const qint64 size = DecodeSyncSafe(reinterpret_cast<const uchar*>(head.constData()) + 6);
    return head + file.read(size);
}

// The text of the COMM or TXXX frame with the language (comments only) and
// description given.
void ExpectDescribed(const TID3FrameList& frames, const char* id, const QString& language, const QString& description,
                     const QString& expected)
{
    for (const auto& frame : frames) {
        if (frame->FrameID != QLatin1String(id))
            continue;
        QString text, lang, desc;
        if (language.isEmpty())
            text = TextLines(*frame, &desc).join(u'|');
        else
            GetCommentFrame(*frame, text, lang, desc);
        if (lang == language && desc == description) {
            EXPECT_EQ(text, expected);
            return;
        }
    }
    ADD_FAILURE() << "no " << id << " " << qPrintable(language) << " / " << qPrintable(description);
}

void ExpectFrames(const TCase& c, const TID3FrameList& frames)
{
    const TValues& values = c.Encoding == 0 ? LatinValues : UnicodeValues;
    QStringList ids = Ids(frames);
    ids.sort();
    ASSERT_EQ(ids, QStringList({"APIC", "COMM", "COMM", "TDOR", "TDRC", "TIT2", "TPE1", "TXXX", "TXXX"}));

    const auto frame = [&](const char* id) { return FindFrame(frames, QString::fromLatin1(id)); };
    EXPECT_EQ(TextLines(*frame("TIT2")), QStringList{values.Title});
    EXPECT_EQ(static_cast<uchar>(frame("TIT2")->Body().at(0)), c.Encoding);
    EXPECT_EQ(TextLines(*frame("TPE1")), values.Artists);
    for (const TComment& comment : values.Comments)
        ExpectDescribed(frames, "COMM", comment.Language, comment.Description, comment.Text);
    for (const auto& [description, text] : values.UserTexts)
        ExpectDescribed(frames, "TXXX", QString(), description, text);
    EXPECT_EQ(TextLines(*frame("TDRC")), QStringList{Date});
    EXPECT_EQ(TextLines(*frame("TDOR")), QStringList{OriginalYear});
    EXPECT_TRUE(frame("APIC")->Body().endsWith(Picture()));
    EXPECT_EQ(frame("APIC")->Body().mid(1, 10), QByteArray("image/png", 10));
}

} // namespace

TEST(ID3v2Mutagen, TagsWrittenByMutagenReadTheSame)
{
    if (!MutagenInstalled())
        GTEST_SKIP() << "/usr/bin/python3 with mutagen is not installed";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile valuesFile(dir.filePath(QStringLiteral("values.json")));
    ASSERT_TRUE(valuesFile.open(QIODevice::WriteOnly));
    valuesFile.write(ValuesJson());
    valuesFile.close();

    const TProgramRun written = RunPython(WriterScript, {valuesFile.fileName(), dir.path()});
    ASSERT_EQ(written.ExitCode, 0) << written.Err.toStdString();

    for (const TCase& c : Cases()) {
        SCOPED_TRACE(qPrintable(c.File()));
        const QByteArray tag = TagOf(dir.filePath(c.File()));
        ASSERT_FALSE(tag.isEmpty());
        EXPECT_EQ(tag.at(3), c.Version);
        EXPECT_EQ((tag.at(5) & 0x80) != 0, c.Unsynchronised);

        TID3FrameList frames;
        const TID3v2ParseResult result = ParseID3v2Tag(tag, false, frames);
        EXPECT_FALSE(result.Failed);
        EXPECT_FALSE(result.PartlyRead);
        EXPECT_FALSE(result.PlainFrameSizes);
        ExpectFrames(c, frames);
        if (!c.Unsynchronised) {
            EXPECT_EQ(result.BodyOffsets.size(), frames.size() - (c.Version == 3 ? 2 : 0))
                << "every frame but those the v2.3 conversion made";
            for (const auto& [frame, offset] : result.BodyOffsets)
                EXPECT_EQ(tag.mid(offset, frame->BodySize()), frame->Body());
        }
    }
}
