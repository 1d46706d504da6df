#include "tagengine/MpegHeader.h"

#include <array>

namespace {

using TBitrateRow = std::array<quint16, 16>;

constexpr TBitrateRow Mpeg1Layer1 = {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0};
constexpr TBitrateRow Mpeg1Layer2 = {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0};
constexpr TBitrateRow Mpeg1Layer3 = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr TBitrateRow Mpeg2Layer1 = {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0};
constexpr TBitrateRow Mpeg2Layer23 = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};

constexpr std::array<quint32, 4> Mpeg1Rates = {44100, 48000, 32000, 0};
constexpr std::array<quint32, 4> Mpeg2Rates = {22050, 24000, 16000, 0};
constexpr std::array<quint32, 4> Mpeg25Rates = {11025, 12000, 8000, 0};

// Version numbering of TMP3Info: 1 MPEG 1, 2 MPEG 2, 3 MPEG 2.5.
quint8 VersionOf(uchar b1)
{
    switch ((b1 >> 3) & 3) {
    case 3: return 1;
    case 2: return 2;
    case 0: return 3;
    default: return 0;
    }
}

quint8 LayerOf(uchar b1)
{
    const int bits = (b1 >> 1) & 3;
    return bits == 0 ? 0 : static_cast<quint8>(4 - bits);
}

const TBitrateRow& BitrateRow(quint8 version, quint8 layer)
{
    if (version == 1)
        return layer == 1 ? Mpeg1Layer1 : layer == 2 ? Mpeg1Layer2 : Mpeg1Layer3;
    return layer == 1 ? Mpeg2Layer1 : Mpeg2Layer23;
}

quint32 SampleRateOf(quint8 version, int index)
{
    const auto& rates = version == 1 ? Mpeg1Rates : version == 2 ? Mpeg2Rates : Mpeg25Rates;
    return rates[static_cast<size_t>(index)];
}

quint32 BigEndian32(const uchar* b)
{
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
}

} // namespace

bool HasFrameSync(const uchar* bytes)
{
    return bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}

bool DecodeMpegHeader(const uchar* bytes, TMP3Info& info)
{
    if (!HasFrameSync(bytes))
        return false;
    const quint8 version = VersionOf(bytes[1]);
    const quint8 layer = LayerOf(bytes[1]);
    if (version == 0 || layer == 0)
        return false;
    const quint16 bitrate = BitrateRow(version, layer)[bytes[2] >> 4];
    const quint32 sampleRate = SampleRateOf(version, (bytes[2] >> 2) & 3);
    if (bitrate == 0 || sampleRate == 0)
        return false;

    info.Version = version;
    info.Layer = layer;
    info.Bitrate = bitrate;
    info.SampleRate = sampleRate;
    info.Padding = (bytes[2] >> 1) & 1;
    info.Private = bytes[2] & 1;
    info.Copyright = (bytes[3] >> 3) & 1;
    info.Original = (bytes[3] >> 2) & 1;
    info.ChannelMode = bytes[3] >> 6;
    return true;
}

int SideInformationLength(const TMP3Info& info)
{
    const bool mono = info.ChannelMode == 3;
    if (info.Version == 1)
        return mono ? 17 : 32;
    return mono ? 9 : 17;
}

int SamplesPerFrame(const TMP3Info& info)
{
    if (info.Layer == 1)
        return 384;
    if (info.Layer == 3 && info.Version != 1)
        return 576;
    return 1152;
}

qint64 MpegFrameLength(const TMP3Info& info)
{
    if (info.SampleRate == 0)
        return 0;
    const qint64 bitsPerSecond = qint64(info.Bitrate) * 1000;
    if (info.Layer == 1)
        return (12 * bitsPerSecond / info.SampleRate + info.Padding) * 4;
    const qint64 bytesPerSample = SamplesPerFrame(info) / 8;
    return bytesPerSample * bitsPerSecond / info.SampleRate + info.Padding;
}

TVbrHeader DecodeXingHeader(const uchar* bytes, qint64 available)
{
    TVbrHeader xing;
    if (available < 8)
        return xing;
    const bool isXing = bytes[0] == 'X' && bytes[1] == 'i' && bytes[2] == 'n' && bytes[3] == 'g';
    const bool isInfo = bytes[0] == 'I' && bytes[1] == 'n' && bytes[2] == 'f' && bytes[3] == 'o';
    if (!isXing && !isInfo)
        return xing;
    xing.Found = true;
    xing.IsVbr = isXing;
    xing.Flags = BigEndian32(bytes + 4);
    if (xing.HasFrameCount()) {
        if (available < 12) {
            xing.Flags &= ~1u;
            return xing;
        }
        xing.FrameCount = BigEndian32(bytes + 8);
    }
    return xing;
}

TVbrHeader DecodeVbriHeader(const uchar* bytes, qint64 available)
{
    constexpr qint64 FrameCountOffset = 14;
    TVbrHeader vbri;
    if (available < FrameCountOffset + 4 || bytes[0] != 'V' || bytes[1] != 'B' || bytes[2] != 'R' || bytes[3] != 'I')
        return vbri;
    vbri.Found = true;
    vbri.IsVbr = true;
    vbri.Flags = 3;
    vbri.FrameCount = BigEndian32(bytes + FrameCountOffset);
    return vbri;
}

qint64 FramesToMilliseconds(const TMP3Info& info, quint64 frameCount)
{
    if (info.SampleRate == 0)
        return 0;
    // 2^32 frames × 1152 samples × 1000 stays far below 2^63.
    const quint64 sampleMs = frameCount * quint64(SamplesPerFrame(info)) * 1000u;
    return static_cast<qint64>((sampleMs + info.SampleRate / 2) / info.SampleRate);
}
