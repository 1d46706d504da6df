#include "support/ID3v2Builder.h"

#include <zlib.h>

#include <initializer_list>
#include <stdexcept>

namespace {

QByteArray ByteString(std::initializer_list<quint32> bytes)
{
    QByteArray out;
    for (const quint32 b : bytes)
        out += char(b & 0xFF);
    return out;
}

} // namespace

ID3v2Builder::ID3v2Builder(quint8 major, quint8 revision) : m_major(major), m_revision(revision) {}

QByteArray ID3v2Builder::Build() const
{
    const QByteArray extended = ExtendedHeaderBytes();
    QByteArray frames;
    for (const auto& item : m_items) {
        const auto* raw = std::get_if<QByteArray>(&item);
        frames += raw ? *raw : FrameBytes(std::get<ID3v2FrameSpec>(item));
    }

    QByteArray content = extended + frames + QByteArray(m_padding, '\0');
    if (m_major == 3 && m_tagUnsync)
        content = Unsynchronise(content);

    const quint8 flags = (m_tagUnsync ? 0x80 : 0) | (m_extendedHeader ? 0x40 : 0) | (m_footer ? 0x10 : 0);
    const QByteArray size = SyncSafe(m_declaredTagSize.value_or(quint32(content.size())));
    const QByteArray versionAndFlags = ByteString({m_major, m_revision, flags});

    QByteArray tag = "ID3" + versionAndFlags + size + content;
    if (m_footer)
        tag += "3DI" + versionAndFlags + size;
    return tag;
}

QByteArray ID3v2Builder::ExtendedHeaderBytes() const
{
    if (!m_extendedHeader)
        return {};
    const QByteArray content = m_major == 3 ? QByteArray(6, '\0') : QByteArray("\x01\x00", 2);
    if (m_major == 3)
        return BigEndian(m_extendedHeaderSize.value_or(quint32(content.size()))) + content;
    return SyncSafe(m_extendedHeaderSize.value_or(quint32(4 + content.size()))) + content;
}

QByteArray ID3v2Builder::FrameBytes(const ID3v2FrameSpec& frame) const
{
    const QByteArray extras = Extras(frame);
    const QByteArray data = StoredData(frame);
    const auto size = frame.DeclaredSize.value_or(quint32(extras.size() + data.size()));
    const QByteArray sizeBytes = (m_major == 3 || m_plainSizes) ? BigEndian(size) : SyncSafe(size);
    return frame.Id + sizeBytes + char(StatusFlags(frame)) + char(FormatFlags(frame)) + extras + data;
}

QByteArray ID3v2Builder::Extras(const ID3v2FrameSpec& frame) const
{
    const quint32 dataLength = frame.DeclaredDataLength.value_or(quint32(frame.Body.size()));
    const QByteArray group = frame.GroupId ? QByteArray(1, char(*frame.GroupId)) : QByteArray();
    const QByteArray method = frame.EncryptionMethod ? QByteArray(1, char(*frame.EncryptionMethod)) : QByteArray();
    if (m_major == 3)
        return (frame.Compressed ? BigEndian(dataLength) : QByteArray()) + method + group;
    const bool hasLength = frame.DataLengthIndicator || frame.Compressed;
    return group + method + (hasLength ? SyncSafe(dataLength) : QByteArray());
}

QByteArray ID3v2Builder::StoredData(const ID3v2FrameSpec& frame) const
{
    QByteArray data = frame.Compressed ? Compress(frame.Body) : frame.Body;
    if (m_major == 4 && (frame.Unsynchronised || m_tagUnsync))
        data = Unsynchronise(data);
    return data;
}

quint8 ID3v2Builder::StatusFlags(const ID3v2FrameSpec& frame) const
{
    const int flags = (frame.TagAlterPreservation ? 0x40 : 0) | (frame.FileAlterPreservation ? 0x20 : 0) |
                      (frame.ReadOnly ? 0x10 : 0);
    return quint8(m_major == 3 ? flags << 1 : flags);
}

quint8 ID3v2Builder::FormatFlags(const ID3v2FrameSpec& frame) const
{
    if (frame.FormatFlags)
        return *frame.FormatFlags;
    if (m_major == 3)
        return (frame.Compressed ? 0x80 : 0) | (frame.EncryptionMethod ? 0x40 : 0) | (frame.GroupId ? 0x20 : 0);
    return (frame.GroupId ? 0x40 : 0) | (frame.Compressed ? 0x08 : 0) | (frame.EncryptionMethod ? 0x04 : 0) |
           (frame.Unsynchronised ? 0x02 : 0) | (frame.DataLengthIndicator || frame.Compressed ? 0x01 : 0);
}

QByteArray ID3v2Builder::EncodeText(const QString& text, quint8 encoding)
{
    switch (encoding) {
    case 0:
        return text.toLatin1();
    case 1: {
        QByteArray bytes("\xFF\xFE", 2);
        for (const QChar c : text)
            bytes += ByteString({c.unicode(), quint32(c.unicode() >> 8)});
        return bytes;
    }
    case 2: {
        QByteArray bytes;
        for (const QChar c : text)
            bytes += ByteString({quint32(c.unicode() >> 8), c.unicode()});
        return bytes;
    }
    case 3:
        return text.toUtf8();
    default:
        throw std::invalid_argument("text encoding");
    }
}

QByteArray ID3v2Builder::Terminator(quint8 encoding)
{
    return QByteArray(encoding == 1 || encoding == 2 ? 2 : 1, '\0');
}

QByteArray ID3v2Builder::TextBody(quint8 encoding, const QStringList& strings)
{
    QByteArray body(1, char(encoding));
    for (qsizetype i = 0; i < strings.size(); ++i) {
        if (i > 0)
            body += Terminator(encoding);
        body += EncodeText(strings[i], encoding);
    }
    return body;
}

QByteArray ID3v2Builder::UserTextBody(quint8 encoding, const QString& description, const QStringList& strings)
{
    return QByteArray(1, char(encoding)) + EncodeText(description, encoding) + Terminator(encoding)
        + TextBody(encoding, strings).mid(1);
}

QByteArray ID3v2Builder::CommentBody(quint8 encoding, const QByteArray& language, const QString& description,
                                     const QString& text)
{
    return QByteArray(1, char(encoding)) + language.left(3).leftJustified(3, '\0') + EncodeText(description, encoding)
        + Terminator(encoding) + EncodeText(text, encoding);
}

QByteArray ID3v2Builder::Unsynchronise(const QByteArray& data)
{
    QByteArray out;
    out.reserve(data.size() + data.size() / 8 + 1);
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += data[i];
        if (uchar(data[i]) != 0xFF)
            continue;
        if (i + 1 == data.size() || uchar(data[i + 1]) == 0x00 || uchar(data[i + 1]) >= 0xE0)
            out += '\0';
    }
    return out;
}

QByteArray ID3v2Builder::Compress(const QByteArray& data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(length), '\0');
    if (compress(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.constData()),
                 uLong(data.size()))
        != Z_OK)
        throw std::runtime_error("zlib compress failed");
    out.truncate(qsizetype(length));
    return out;
}

QByteArray ID3v2Builder::SyncSafe(quint32 value)
{
    return ByteString({(value >> 21) & 0x7F, (value >> 14) & 0x7F, (value >> 7) & 0x7F, value & 0x7F});
}

QByteArray ID3v2Builder::BigEndian(quint32 value)
{
    return ByteString({value >> 24, value >> 16, value >> 8, value});
}

QByteArray ID3v2Builder::EncryptedBody(const ID3v2FrameSpec& frame, quint8 major)
{
    const bool hasLength = frame.Compressed || (major == 4 && frame.DataLengthIndicator);
    const quint32 dataLength = frame.DeclaredDataLength.value_or(quint32(frame.Body.size()));
    return QByteArray(1, char(frame.EncryptionMethod.value_or(0))) + (hasLength ? BigEndian(dataLength) : QByteArray())
        + (frame.Compressed ? Compress(frame.Body) : frame.Body);
}
