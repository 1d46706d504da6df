#pragma once

#include <QByteArray>

#include <optional>

// Byte-level helpers of the ID3v2 format, shared by the tag parser and the
// tag writer.

// Largest body a compressed frame may inflate to, and the largest ratio of
// inflated to stored size.
constexpr qint64 MaxInflatedFrameSize = 16 * 1024 * 1024;
constexpr qint64 MaxInflateRatio = 1000;
// Largest total the compressed frames of one tag may inflate to together, so
// that many small frames cannot take what one large frame may not.
constexpr qint64 MaxInflatedTagSize = 64 * 1024 * 1024;

// FF 00 becomes FF.
QByteArray RemoveUnsynchronisation(const QByteArray& data);
// Exactly dataLength bytes of zlib output, or nothing when the input is damaged
// or yields too little or too much. Output is produced incrementally and never
// exceeds dataLength or maxOutput. A negative dataLength means the length is
// unknown: then the whole stream is taken, as long as it stays within
// maxOutput. The zlib stream must end properly (checksum included).
std::optional<QByteArray> InflateFrame(const QByteArray& data, qint64 dataLength, qint64 maxOutput);
// The output cap for inflating `storedSize` bytes of frame data.
qint64 InflateLimit(qint64 storedSize);
// Syncsafe integers: 7 bits per byte, most significant first. EncodeSyncSafe
// keeps only the low 28 bits of value.
quint32 DecodeSyncSafe(const uchar* bytes);
void EncodeSyncSafe(quint32 value, uchar* bytes);
// True when no byte of the four has its high bit set.
bool IsSyncSafe(const uchar* bytes);
// Four bytes, most significant first.
quint32 DecodeBigEndian32(const uchar* bytes);
void EncodeBigEndian32(quint32 value, uchar* bytes);
