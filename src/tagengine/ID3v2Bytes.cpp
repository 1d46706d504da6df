#include "tagengine/ID3v2Bytes.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <limits>

QByteArray RemoveUnsynchronisation(const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size());
    bool afterFF = false;
    for (const char c : data) {
        const auto byte = static_cast<uchar>(c);
        if (!(afterFF && byte == 0x00))
            out.append(c);
        afterFF = byte == 0xFF;
    }
    return out;
}

namespace {

// Ends the inflater whatever way the inflate loop is left.
class TInflater {
public:
    TInflater() { m_ok = inflateInit(&m_stream) == Z_OK; }
    ~TInflater()
    {
        if (m_ok)
            inflateEnd(&m_stream);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    bool Ok() const { return m_ok; }
    z_stream& Stream() { return m_stream; }

private:
    z_stream m_stream{};
    bool m_ok = false;
};

} // namespace

std::optional<QByteArray> InflateFrame(const QByteArray& data, qint64 dataLength, qint64 maxOutput)
{
    const qint64 limit = dataLength < 0 ? maxOutput : dataLength;
    if (limit < 0 || limit > maxOutput)
        return std::nullopt;
    if (data.size() > qint64(std::numeric_limits<uInt>::max()))
        return std::nullopt;

    TInflater inflater;
    if (!inflater.Ok())
        return std::nullopt;
    z_stream& zs = inflater.Stream();
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    zs.avail_in = static_cast<uInt>(data.size());

    QByteArray out;
    std::array<char, 64 * 1024> chunk;
    for (;;) {
        zs.next_out = reinterpret_cast<Bytef*>(chunk.data());
        zs.avail_out = static_cast<uInt>(chunk.size());
        const int rc = inflate(&zs, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END)
            return std::nullopt;
        const qint64 produced = qint64(chunk.size()) - zs.avail_out;
        if (produced > limit - out.size())
            return std::nullopt;
        out.append(chunk.data(), produced);
        if (rc == Z_STREAM_END)
            break;
    }
    if (dataLength >= 0 && out.size() != dataLength)
        return std::nullopt;
    return out;
}

qint64 InflateLimit(qint64 storedSize)
{
    return std::min(MaxInflatedFrameSize, std::max<qint64>(storedSize, 1) * MaxInflateRatio);
}

quint32 DecodeSyncSafe(const uchar* bytes)
{
    return (quint32(bytes[0] & 0x7F) << 21) | (quint32(bytes[1] & 0x7F) << 14) | (quint32(bytes[2] & 0x7F) << 7)
        | quint32(bytes[3] & 0x7F);
}

void EncodeSyncSafe(quint32 value, uchar* bytes)
{
    bytes[0] = uchar((value >> 21) & 0x7F);
    bytes[1] = uchar((value >> 14) & 0x7F);
    bytes[2] = uchar((value >> 7) & 0x7F);
    bytes[3] = uchar(value & 0x7F);
}

bool IsSyncSafe(const uchar* bytes)
{
    return ((bytes[0] | bytes[1] | bytes[2] | bytes[3]) & 0x80) == 0;
}

quint32 DecodeBigEndian32(const uchar* bytes)
{
    return (quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) | (quint32(bytes[2]) << 8) | quint32(bytes[3]);
}

void EncodeBigEndian32(quint32 value, uchar* bytes)
{
    bytes[0] = uchar(value >> 24);
    bytes[1] = uchar(value >> 16);
    bytes[2] = uchar(value >> 8);
    bytes[3] = uchar(value);
}
