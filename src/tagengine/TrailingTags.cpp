#include "tagengine/TrailingTags.h"

#include "platform/FileLayer.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 ID3v2HeaderSize = 10;
constexpr uchar FooterFlag = 0x10;
constexpr qint64 ApeFooterSize = 32;
constexpr quint32 ApeHasHeader = 0x80000000u;
constexpr qint64 Lyrics3EndSize = 9;      // "LYRICS200" / "LYRICSEND"
constexpr qint64 Lyrics3SizeDigits = 6;
constexpr qint64 Lyrics3BeginSize = 11;   // "LYRICSBEGIN"
constexpr qint64 Lyrics3v1MaxSize = 5100 + Lyrics3BeginSize + Lyrics3EndSize;

quint32 LittleEndian32(const uchar* b)
{
    return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
}

// The bytes [offset, offset + count) when they lie at or after floor.
bool ReadRange(TFileHandle& file, qint64 offset, qint64 count, qint64 floor, QByteArray& out)
{
    if (count <= 0 || offset < floor)
        return false;
    bool ok = false;
    out = file.ReadAt(offset, count, &ok);
    return ok;
}

bool StartsWith(const QByteArray& data, const char* text)
{
    return data.startsWith(QByteArray::fromRawData(text, qsizetype(std::strlen(text))));
}

} // namespace

bool IsID3v2HeaderOrFooter(const uchar* bytes, bool header)
{
    const char* magic = header ? "ID3" : "3DI";
    if (std::memcmp(bytes, magic, 3) != 0)
        return false;
    // Undefined flag bits are read as if they were clear, as other readers do.
    if (bytes[3] == 0xFF || bytes[4] == 0xFF)
        return false;
    return bytes[6] < 0x80 && bytes[7] < 0x80 && bytes[8] < 0x80 && bytes[9] < 0x80;
}

qint64 ID3v2SizeField(const uchar* bytes)
{
    return (qint64(bytes[6]) << 21) | (qint64(bytes[7]) << 14) | (qint64(bytes[8]) << 7) | qint64(bytes[9]);
}

TTrailingBlock FindAppendedID3v2(TFileHandle& file, qint64 end, qint64 floor)
{
    QByteArray footer;
    if (!ReadRange(file, end - ID3v2HeaderSize, ID3v2HeaderSize, floor, footer))
        return {};
    const auto* f = reinterpret_cast<const uchar*>(footer.constData());
    if (!IsID3v2HeaderOrFooter(f, false))
        return {};
    const qint64 size = ID3v2SizeField(f) + 2 * ID3v2HeaderSize;
    QByteArray header;
    if (!ReadRange(file, end - size, ID3v2HeaderSize, floor, header))
        return {};
    const auto* h = reinterpret_cast<const uchar*>(header.constData());
    if (!IsID3v2HeaderOrFooter(h, true) || (h[5] & FooterFlag) == 0 || std::memcmp(h + 3, f + 3, 7) != 0)
        return {};
    return {end - size, size};
}

TTrailingBlock FindApeTag(TFileHandle& file, qint64 end, qint64 floor)
{
    QByteArray footer;
    if (!ReadRange(file, end - ApeFooterSize, ApeFooterSize, floor, footer) || !StartsWith(footer, "APETAGEX"))
        return {};
    const auto* f = reinterpret_cast<const uchar*>(footer.constData());
    const qint64 tagSize = LittleEndian32(f + 12);
    const bool hasHeader = (LittleEndian32(f + 20) & ApeHasHeader) != 0;
    if (tagSize < ApeFooterSize)
        return {};
    const qint64 size = tagSize + (hasHeader ? ApeFooterSize : 0);
    if (end - size < floor)
        return {};
    if (hasHeader) {
        QByteArray header;
        if (!ReadRange(file, end - size, ApeFooterSize, floor, header) || !StartsWith(header, "APETAGEX"))
            return {};
    }
    return {end - size, size};
}

TTrailingBlock FindLyrics3(TFileHandle& file, qint64 end, qint64 floor)
{
    QByteArray tail;
    if (!ReadRange(file, end - Lyrics3EndSize, Lyrics3EndSize, floor, tail))
        return {};
    QByteArray block;
    if (tail == "LYRICS200") {
        QByteArray digits;
        if (!ReadRange(file, end - Lyrics3EndSize - Lyrics3SizeDigits, Lyrics3SizeDigits, floor, digits))
            return {};
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return {};
        const qint64 content = digits.toLongLong();
        if (content < Lyrics3BeginSize)
            return {};
        const qint64 size = content + Lyrics3SizeDigits + Lyrics3EndSize;
        if (!ReadRange(file, end - size, Lyrics3BeginSize, floor, block) || block != "LYRICSBEGIN")
            return {};
        return {end - size, size};
    }
    if (tail != "LYRICSEND")
        return {};
    const qint64 start = std::max(floor, end - Lyrics3v1MaxSize);
    if (!ReadRange(file, start, end - start, floor, block))
        return {};
    const qsizetype begin = block.lastIndexOf("LYRICSBEGIN");
    if (begin < 0)
        return {};
    return {start + begin, end - (start + begin)};
}
