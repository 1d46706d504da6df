#include "support/Mp3Builder.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

using Row = std::array<int, 16>;
constexpr Row V1L1 = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
constexpr Row V1L2 = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
constexpr Row V1L3 = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr Row V2L1 = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
constexpr Row V2L23 = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

const Row& RowOf(const MpegFormat& f)
{
    if (f.Version == 1)
        return f.Layer == 1 ? V1L1 : f.Layer == 2 ? V1L2 : V1L3;
    return f.Layer == 1 ? V2L1 : V2L23;
}

int BitrateIndex(const MpegFormat& f)
{
    const Row& row = RowOf(f);
    for (int i = 1; i < 15; ++i)
        if (row[size_t(i)] == f.Bitrate)
            return i;
    throw std::invalid_argument("bit rate not in the table");
}

int SampleRateIndex(const MpegFormat& f)
{
    const int base = f.Version == 1 ? 44100 : f.Version == 2 ? 22050 : 11025;
    const std::array<int, 3> rates = {base, base * 48000 / 44100, base * 32000 / 44100};
    for (int i = 0; i < 3; ++i)
        if (rates[size_t(i)] == f.SampleRate)
            return i;
    throw std::invalid_argument("sample rate does not belong to the version");
}

QByteArray LittleEndian(quint32 v)
{
    const char bytes[] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return QByteArray(bytes, 4);
}

QByteArray BigEndian(quint32 v)
{
    QByteArray b = LittleEndian(v);
    std::reverse(b.begin(), b.end());
    return b;
}

void PutField(QByteArray& block, int offset, int length, const QByteArray& text)
{
    for (int i = 0; i < length && i < text.size(); ++i)
        block[offset + i] = text[i];
}

} // namespace

QByteArray Mp3Builder::FrameHeader(const MpegFormat& f)
{
    const int versionBits = f.Version == 1 ? 3 : f.Version == 2 ? 2 : 0;
    const int layerBits = 4 - f.Layer;
    QByteArray h(4, '\0');
    h[0] = char(0xFF);
    h[1] = char(0xE0 | (versionBits << 3) | (layerBits << 1) | 1);
    h[2] = char((BitrateIndex(f) << 4) | (SampleRateIndex(f) << 2) | (f.Padding ? 2 : 0) | (f.Private ? 1 : 0));
    h[3] = char((f.ChannelMode << 6) | (f.Copyright ? 8 : 0) | (f.Original ? 4 : 0));
    return h;
}

int Mp3Builder::SamplesPerFrame(const MpegFormat& f)
{
    if (f.Layer == 1)
        return 384;
    if (f.Layer == 3 && f.Version != 1)
        return 576;
    return 1152;
}

int Mp3Builder::SideInformationLength(const MpegFormat& f)
{
    const bool mono = f.ChannelMode == 3;
    return f.Version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
}

qint64 Mp3Builder::FrameLength(const MpegFormat& f)
{
    const qint64 bits = qint64(f.Bitrate) * 1000;
    if (f.Layer == 1)
        return (12 * bits / f.SampleRate + (f.Padding ? 1 : 0)) * 4;
    return SamplesPerFrame(f) / 8 * bits / f.SampleRate + (f.Padding ? 1 : 0);
}

QByteArray Mp3Builder::Frame(const MpegFormat& f, quint32 seed)
{
    QByteArray frame = FrameHeader(f);
    const qint64 length = FrameLength(f);
    frame.append(QByteArray(SideInformationLength(f), '\0'));
    quint32 state = seed * 2654435761u + 1;
    while (frame.size() < length) {
        state = state * 1103515245u + 12345u;
        frame.append(char((state >> 16) % 255)); // never 0xFF
    }
    frame.truncate(length);
    return frame;
}

QByteArray Mp3Builder::CbrFrames(const MpegFormat& f, int count)
{
    QByteArray audio;
    audio.reserve(FrameLength(f) * count);
    for (int i = 0; i < count; ++i)
        audio.append(Frame(f, quint32(i)));
    return audio;
}

QByteArray Mp3Builder::XingFrame(const MpegFormat& f, quint32 frameCount, quint32 byteCount, bool vbr)
{
    QByteArray frame = FrameHeader(f);
    frame.append(QByteArray(SideInformationLength(f), '\0'));
    frame.append(vbr ? "Xing" : "Info");
    frame.append(BigEndian(0x3)); // frame count and byte count present
    frame.append(BigEndian(frameCount));
    frame.append(BigEndian(byteCount));
    frame.append(QByteArray(FrameLength(f) - frame.size(), '\0'));
    return frame;
}

QByteArray Mp3Builder::VbriFrame(const MpegFormat& f, quint32 frameCount, quint32 byteCount)
{
    QByteArray frame = FrameHeader(f);
    frame.append(QByteArray(32, '\0'));
    frame.append("VBRI");
    frame.append(QByteArray("\0\1\0\0\0\x4b", 6)); // version 1, delay 0, quality 75
    frame.append(BigEndian(byteCount));
    frame.append(BigEndian(frameCount));
    frame.append(QByteArray("\0\0\0\1\0\2\0\1", 8)); // no table entries, scale 1, 2 bytes, 1 frame each
    frame.append(QByteArray(FrameLength(f) - frame.size(), '\0'));
    return frame;
}

QByteArray Mp3Builder::VbrStream(const MpegFormat& f, const std::vector<int>& bitrates, bool vbri)
{
    QByteArray frames;
    for (size_t i = 0; i < bitrates.size(); ++i) {
        MpegFormat frameFormat = f;
        frameFormat.Bitrate = bitrates[i];
        frames.append(Frame(frameFormat, quint32(i)));
    }
    const auto first = [&](quint32 bytes) {
        const quint32 count = quint32(bitrates.size());
        return vbri ? VbriFrame(f, count, bytes) : XingFrame(f, count, bytes, true);
    };
    return first(quint32(first(0).size() + frames.size())) + frames;
}

QByteArray Mp3Builder::ID3v1(const ID3v1Fields& fields)
{
    QByteArray block(128, '\0');
    PutField(block, 0, 3, "TAG");
    PutField(block, 3, 30, fields.Title);
    PutField(block, 33, 30, fields.Artist);
    PutField(block, 63, 30, fields.Album);
    PutField(block, 93, 4, fields.Year);
    PutField(block, 97, fields.Track ? 28 : 30, fields.Comment);
    if (fields.Track) {
        block[125] = 0;
        block[126] = char(*fields.Track);
    }
    block[127] = char(fields.Genre);
    return block;
}

QByteArray Mp3Builder::ApeTag(const std::vector<std::pair<QByteArray, QByteArray>>& items)
{
    QByteArray body;
    for (const auto& [key, value] : items) {
        body.append(LittleEndian(quint32(value.size())));
        body.append(LittleEndian(0));
        body.append(key).append('\0').append(value);
    }
    const auto block = [&](bool isHeader) {
        QByteArray b("APETAGEX");
        b.append(LittleEndian(2000));
        b.append(LittleEndian(quint32(body.size() + 32)));
        b.append(LittleEndian(quint32(items.size())));
        b.append(LittleEndian(0x80000000u | (isHeader ? 0x20000000u : 0u)));
        b.append(QByteArray(8, '\0'));
        return b;
    };
    return block(true) + body + block(false);
}

QByteArray Mp3Builder::Lyrics3v2(const QByteArray& lyrics)
{
    QByteArray content("LYRICSBEGIN");
    content.append("LYR").append(QByteArray::number(lyrics.size()).rightJustified(5, '0')).append(lyrics);
    return content + QByteArray::number(content.size()).rightJustified(6, '0') + "LYRICS200";
}

QByteArray Mp3Builder::File(const Mp3FileParts& parts)
{
    return parts.LeadingTag + parts.Audio + parts.Trailing + parts.ID3v1;
}

bool Mp3Builder::WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Mp3Builder::ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
