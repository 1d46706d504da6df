#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <variant>
#include <vector>

// One frame as the builder writes it. Body is the frame's content; the builder
// adds the flags, the extras, compression and unsynchronisation as asked.
struct ID3v2FrameSpec {
    QByteArray Id;    // written as it is, so it may be invalid on purpose
    QByteArray Body;
    bool TagAlterPreservation = false;
    bool FileAlterPreservation = false;
    bool ReadOnly = false;
    std::optional<quint8> GroupId {};        // grouping flag and group byte
    std::optional<quint8> EncryptionMethod {}; // encryption flag and method byte; the data is stored as it is
    bool Compressed = false;                 // zlib; v2.3 adds the decompressed size, v2.4 a data length
    bool Unsynchronised = false;             // v2.4 only: frame flag and unsynchronised data
    bool DataLengthIndicator = false;        // v2.4 only; always on with compression
    // Overrides for damaged frames.
    std::optional<quint32> DeclaredSize {};
    std::optional<quint32> DeclaredDataLength {};
    std::optional<quint8> FormatFlags {};
};

// Builds ID3v2.3 and ID3v2.4 tags byte by byte for tests.
class ID3v2Builder {
public:
    explicit ID3v2Builder(quint8 major = 4, quint8 revision = 0);

    ID3v2Builder& Frame(ID3v2FrameSpec frame) { return Add(std::move(frame)); }
    ID3v2Builder& Frame(const QByteArray& id, const QByteArray& body) { return Add(ID3v2FrameSpec{.Id = id, .Body = body}); }
    // Bytes put between the frames as they are.
    ID3v2Builder& Raw(const QByteArray& bytes) { return Add(bytes); }
    // Header flag 0x80. v2.3: the whole tag after its header is
    // unsynchronised. v2.4: every frame's data is, whatever its own flag says.
    ID3v2Builder& TagUnsynchronisation(bool on = true) { return Set(m_tagUnsync, on); }
    // Header flag 0x40 and an extended header: after the size field v2.3 six
    // zero bytes (flags, padding size), v2.4 one flag byte count and one empty
    // flag byte.
    ID3v2Builder& ExtendedHeader() { return Set(m_extendedHeader, true); }
    ID3v2Builder& ExtendedHeaderDeclaredSize(quint32 size) { return Set(m_extendedHeaderSize, size); }
    ID3v2Builder& Footer(bool on = true) { return Set(m_footer, on); }
    ID3v2Builder& Padding(int bytes) { return Set(m_padding, bytes); }
    // v2.4 frame sizes written as plain integers, as a known buggy writer does.
    ID3v2Builder& PlainFrameSizes(bool on = true) { return Set(m_plainSizes, on); }
    ID3v2Builder& DeclaredTagSize(quint32 size) { return Set(m_declaredTagSize, size); }

    QByteArray Build() const;

    // Frame bodies and byte helpers, written independently of the program's
    // own codecs.
    static QByteArray EncodeText(const QString& text, quint8 encoding);
    static QByteArray Terminator(quint8 encoding);
    static QByteArray TextBody(quint8 encoding, const QStringList& strings);
    static QByteArray UserTextBody(quint8 encoding, const QString& description, const QStringList& strings);
    static QByteArray CommentBody(quint8 encoding, const QByteArray& language, const QString& description,
                                  const QString& text);
    // FF is followed by an inserted 00 before 00, before E0-FF and at the end.
    static QByteArray Unsynchronise(const QByteArray& data);
    static QByteArray Compress(const QByteArray& data);
    static QByteArray SyncSafe(quint32 value);
    static QByteArray BigEndian(quint32 value);
    // The frame's stored data as the parser keeps it for an encrypted frame:
    // method byte, the data length when the frame carries one, the stored data.
    static QByteArray EncryptedBody(const ID3v2FrameSpec& frame, quint8 major);

private:
    using TItem = std::variant<ID3v2FrameSpec, QByteArray>;
    ID3v2Builder& Add(TItem item)
    {
        m_items.push_back(std::move(item));
        return *this;
    }
    template <typename T, typename V>
    ID3v2Builder& Set(T& field, V value)
    {
        field = value;
        return *this;
    }
    QByteArray FrameBytes(const ID3v2FrameSpec& frame) const;
    QByteArray Extras(const ID3v2FrameSpec& frame) const;
    QByteArray StoredData(const ID3v2FrameSpec& frame) const;
    quint8 StatusFlags(const ID3v2FrameSpec& frame) const;
    quint8 FormatFlags(const ID3v2FrameSpec& frame) const;
    QByteArray ExtendedHeaderBytes() const;

    quint8 m_major;
    quint8 m_revision;
    std::vector<TItem> m_items;
    bool m_tagUnsync = false;
    bool m_extendedHeader = false;
    std::optional<quint32> m_extendedHeaderSize;
    bool m_footer = false;
    int m_padding = 0;
    bool m_plainSizes = false;
    std::optional<quint32> m_declaredTagSize;
};
