#include "ReadWriteFixture.h"

#include "tagengine/ID3v2Parser.h"

#include <QElapsedTimer>

#include <random>

namespace {

using TRandom = std::mt19937;

QByteArray RandomBytes(TRandom& random, int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += char(random() & 0xFF);
    return bytes;
}

// Frames with every kind of extra. Compressed bodies are random bytes, so
// that no inflated body is larger than its stored data.
void AddFlaggedFrames(ID3v2Builder& builder, TRandom& random)
{
    builder.Frame(Spec("PRIV", RandomBytes(random, 120), [](ID3v2FrameSpec& s) { s.Compressed = true; s.GroupId = 0x11; }))
        .Frame(Spec("TIT3", Text("secret"), [](ID3v2FrameSpec& s) { s.EncryptionMethod = 0x80; s.GroupId = 0x12; }))
        .Frame(Spec("GEOB", RandomBytes(random, 60), [](ID3v2FrameSpec& s) { s.Compressed = true; s.EncryptionMethod = 0x81; }))
        .Frame(Spec("APIC", QByteArray(40, char(0xFF)) + RandomBytes(random, 40), [](ID3v2FrameSpec& s) {
            s.Unsynchronised = s.DataLengthIndicator = s.ReadOnly = true;
        }));
}

void AddTextFrames(ID3v2Builder& builder, quint8 encoding)
{
    builder.Frame("TIT2", ID3v2Builder::TextBody(encoding, {QStringLiteral("Tïtle ÿ")}))
        .Frame("TPE1", ID3v2Builder::TextBody(encoding, {"One", "Two"}))
        .Frame("COMM", ID3v2Builder::CommentBody(encoding, "eng", "", QStringLiteral("Cömment")))
        .Frame("TXXX", ID3v2Builder::UserTextBody(encoding, "key", {"value"}))
        .Frame("WOAR", "http://example.org/");
}

std::vector<QByteArray> Seeds()
{
    TRandom random(7);
    std::vector<QByteArray> seeds;

    ID3v2Builder plain23(3);
    AddTextFrames(plain23, 1);
    plain23.Frame("TYER", ID3v2Builder::TextBody(0, {"2004"}))
        .Frame("TDAT", ID3v2Builder::TextBody(0, {"0605"}))
        .Frame("TIME", ID3v2Builder::TextBody(0, {"0708"}))
        .Frame("TORY", ID3v2Builder::TextBody(0, {"1999"}))
        .Frame("IPLS", ID3v2Builder::TextBody(0, {"mix", "Bo"}))
        .Padding(64);
    seeds.push_back(plain23.Build());

    ID3v2Builder flagged23(3);
    AddTextFrames(flagged23, 0);
    AddFlaggedFrames(flagged23, random);
    seeds.push_back(flagged23.TagUnsynchronisation().ExtendedHeader().Padding(16).Build());

    ID3v2Builder footer24(4);
    AddTextFrames(footer24, 3);
    seeds.push_back(footer24.Footer().Build());

    ID3v2Builder flagged24(4);
    AddTextFrames(flagged24, 2);
    AddFlaggedFrames(flagged24, random);
    seeds.push_back(flagged24.TagUnsynchronisation().ExtendedHeader().Padding(32).Build());

    ID3v2Builder plainSizes(4);
    plainSizes.Frame("TIT2", ID3v2Builder::TextBody(0, {QString(200, u'x')}))
        .Frame("APIC", RandomBytes(random, 300))
        .PlainFrameSizes()
        .Padding(8);
    seeds.push_back(plainSizes.Build());
    return seeds;
}

// Positions of frame size fields, so that size changes hit them often.
QList<qsizetype> SizeFieldPositions(const QByteArray& tag)
{
    QList<qsizetype> positions{6};
    for (const char* id : {"TIT2", "TPE1", "COMM", "TXXX", "WOAR", "PRIV", "TIT3", "GEOB", "APIC", "TYER", "IPLS"}) {
        const qsizetype at = tag.indexOf(id);
        if (at >= 0)
            positions << at + 4;
    }
    return positions;
}

quint32 InterestingSize(TRandom& random, qsizetype tagSize)
{
    const quint32 values[] = {0, 1, 3, 4, 5, 9, 10, 0x7F, 0x80, 0xFF, 0x100, 0x0FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF,
                              quint32(tagSize), quint32(tagSize - 10), quint32(tagSize + 1)};
    return values[random() % std::size(values)] + quint32(random() % 3) - 1;
}

void Mutate(QByteArray& tag, TRandom& random)
{
    if (tag.isEmpty())
        return;
    const auto at = [&] { return qsizetype(random() % tag.size()); };
    switch (random() % 6) {
    case 0: {  // bit flips
        const int flips = 1 + int(random() % 8);
        for (int i = 0; i < flips; ++i) {
            const qsizetype p = at();
            tag[p] = char(tag[p] ^ (1 << (random() % 8)));
        }
        break;
    }
    case 1:  // truncation
        tag.truncate(at());
        break;
    case 2: {  // a size field
        const QList<qsizetype> fields = SizeFieldPositions(tag);
        const qsizetype p = random() % 2 ? fields[qsizetype(random() % fields.size())] : at();
        const quint32 value = InterestingSize(random, tag.size());
        const QByteArray bytes = random() % 2 ? ID3v2Builder::SyncSafe(value) : ID3v2Builder::BigEndian(value);
        tag.replace(p, std::min<qsizetype>(4, tag.size() - p), bytes.left(tag.size() - p));
        break;
    }
    case 3:  // inserted bytes
        tag.insert(at(), RandomBytes(random, 1 + int(random() % 16)));
        break;
    case 4:  // removed bytes
        tag.remove(at(), 1 + qsizetype(random() % 16));
        break;
    default: {  // a flag byte set at random
        const qsizetype p = at();
        tag[p] = char(random() & 0xFF);
        break;
    }
    }
}

// The parse of one damaged tag must stay within the tag's bytes.
void CheckParse(const QByteArray& tag, int iteration)
{
    TID3FrameList frames;
    const TID3v2ParseResult result = ParseID3v2Tag(tag, false, frames);
    for (const auto& frame : frames)
        ASSERT_LE(frame->BodySize(), tag.size()) << "iteration " << iteration << " frame " << qPrintable(frame->FrameID);
    for (const auto& [frame, offset] : result.BodyOffsets) {
        ASSERT_GE(offset, 0) << "iteration " << iteration;
        ASSERT_LE(offset + frame->BodySize(), tag.size()) << "iteration " << iteration;
        ASSERT_EQ(tag.mid(offset, frame->BodySize()), frame->Body()) << "iteration " << iteration;
    }
}

} // namespace

TEST(ID3v2Fuzz, DamagedTagsNeverCrashOrReachBeyondTheirBytes)
{
    const std::vector<QByteArray> seeds = Seeds();
    for (const QByteArray& seed : seeds)
        CheckParse(seed, -1);

    TRandom random(20240607);
    QElapsedTimer timer;
    timer.start();
    constexpr int Iterations = 40000;
    for (int i = 0; i < Iterations; ++i) {
        QByteArray tag = seeds[size_t(i) % seeds.size()];
        const int mutations = 1 + int(random() % 3);
        for (int m = 0; m < mutations; ++m)
            Mutate(tag, random);
        CheckParse(tag, i);
        if (HasFatalFailure())
            return;
    }
    RecordProperty("milliseconds", int(timer.elapsed()));
}
