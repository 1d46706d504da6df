#include "tagengine/ID3v2Writer.h"

#include "tagengine/DateTexts.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Bytes.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr qint64 HeaderSize = 10;
constexpr qint64 MaxTagContent = 0x0FFFFFFF; // 28 bits of a syncsafe size
constexpr uchar TagFlagUnsynchronisation = 0x80;

// ---------------------------------------------------------------- dates

// Length of a complete ISO date text of each precision (gnNone .. gnSecond).
constexpr std::array<int, 7> IsoTextLength = {0, 4, 7, 10, 13, 16, 19};

QString TwoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The first frame of an ID whose content is readable (not encrypted).
TID3Frame* FirstReadable(const TID3FrameList& frames, const QString& id)
{
    for (const auto& frame : frames)
        if (frame->FrameID == id && !frame->Encryption)
            return frame.get();
    return nullptr;
}

void RemoveFrame(TID3FrameList& frames, const TID3Frame* frame)
{
    std::erase_if(frames, [&](const TID3FramePtr& f) { return f.get() == frame; });
}

// A date frame's text parsed, when it is a complete ISO date text.
bool ParseCompleteDate(const TID3Frame& frame, TSystemTime& time, TDateGenauigkeit& precision)
{
    const QString text = GetFirstText(frame.Body());
    ParseISODateTime(text, time, precision);
    return precision >= gnYear && text.size() == IsoTextLength[size_t(precision)];
}

// Appends a text frame with the flags of `flagsFrom`, in place of the first
// frame with the same ID.
void AppendDateFrame(TID3FrameList& frames, const TID3Frame& flagsFrom, const QString& id, const QString& text)
{
    auto frame = std::make_unique<TID3Frame>();
    SetTextFrame(*frame, QString(), {text});
    frame->AssignFrame(flagsFrom, false);
    frame->FrameID = id;
    RemoveFrame(frames, FirstReadable(frames, id));
    frames.push_back(std::move(frame));
}

void ConvertRecordingTime(TID3FrameList& frames)
{
    const TID3Frame* date = FirstReadable(frames, QStringLiteral("TDRC"));
    TSystemTime time;
    time.Day = 1;
    time.Minute = 0;
    TDateGenauigkeit precision = gnNone;
    if (!date || !ParseCompleteDate(*date, time, precision))
        return;
    TID3Frame source;
    source.AssignFrame(*date, false);
    RemoveFrame(frames, date);
    AppendDateFrame(frames, source, QStringLiteral("TYER"), QStringLiteral("%1").arg(time.Year, 4, 10, QLatin1Char('0')));
    if (precision >= gnMonth)
        AppendDateFrame(frames, source, QStringLiteral("TDAT"), TwoDigits(time.Day) + TwoDigits(time.Month));
    if (precision >= gnHour)
        AppendDateFrame(frames, source, QStringLiteral("TIME"), TwoDigits(time.Hour) + TwoDigits(time.Minute));
}

void ConvertOriginalYear(TID3FrameList& frames)
{
    const TID3Frame* date = FirstReadable(frames, QStringLiteral("TDOR"));
    TSystemTime time;
    TDateGenauigkeit precision = gnNone;
    if (!date || !ParseCompleteDate(*date, time, precision))
        return;
    TID3Frame source;
    source.AssignFrame(*date, false);
    RemoveFrame(frames, date);
    AppendDateFrame(frames, source, QStringLiteral("TORY"), QStringLiteral("%1").arg(time.Year, 4, 10, QLatin1Char('0')));
}

void ConvertInvolvedPeople(TID3FrameList& frames)
{
    TID3Frame* people = FindFrame(frames, QStringLiteral("TIPL"));
    if (!people)
        return;
    DeleteFirstFrame(frames, QStringLiteral("IPLS"));
    people->FrameID = QStringLiteral("IPLS");
}

// ---------------------------------------------------------------- encodings

// How the body of a frame with a text encoding is laid out after its
// encoding byte: 'S' a string in the frame's encoding, 'L' an ISO-8859-1
// string with its NUL, a digit n that many plain bytes, 'R' the rest as it
// is; the fields after '*' repeat until the body ends.
struct TEncodedLayout {
    const char* ID;
    const char* Fields;
};

constexpr TEncodedLayout EncodedLayouts[] = {
    {"COMM", "3SS"}, {"USLT", "3SS"},  {"USER", "3S"},     {"WXXX", "SR"},  {"APIC", "L1SR"},
    {"GEOB", "LSSR"}, {"SYLT", "311S*S4"}, {"COMR", "L8L1SSR"}, {"OWNE", "L8S"}, {"IPLS", "*S"},
};

const char* LayoutOf(const QString& id)
{
    for (const auto& layout : EncodedLayouts)
        if (id == QLatin1String(layout.ID))
            return layout.Fields;
    if (id.startsWith(QLatin1Char('T')))
        return "*S";
    return nullptr;
}

// One string of `encoding` at position: its bytes and whether a terminator
// ended it; position moves past the terminator.
QByteArray TakeEncodedString(const QByteArray& body, quint8 encoding, qsizetype& position, bool& terminated)
{
    const qsizetype start = position;
    terminated = false;
    if (encoding == encUTF16 || encoding == encUTF16BE) {
        qsizetype at = start;
        while (body.size() - at >= 2) {
            if (body.at(at) == 0 && body.at(at + 1) == 0) {
                terminated = true;
                position = at + 2;
                return body.mid(start, at - start);
            }
            at += 2;
        }
    } else {
        const qsizetype nul = body.indexOf('\0', start);
        if (nul >= 0) {
            terminated = true;
            position = nul + 1;
            return body.mid(start, nul - start);
        }
    }
    position = body.size();
    return body.mid(start);
}

QByteArray ReencodedString(const QByteArray& body, quint8 encoding, qsizetype& position)
{
    bool terminated = false;
    const QByteArray bytes = TakeEncodedString(body, encoding, position, terminated);
    qsizetype at = 0;
    QByteArray out = EncodeID3Text(DecodeID3Text(bytes, encoding, at), encUTF16);
    if (terminated)
        out.append(ID3Terminator(encUTF16));
    return out;
}

QByteArray CopyLatin1String(const QByteArray& body, qsizetype& position)
{
    const qsizetype nul = body.indexOf('\0', position);
    const qsizetype end = nul < 0 ? body.size() : nul + 1;
    QByteArray out = body.mid(position, end - position);
    position = end;
    return out;
}

// Re-encodes the fields of one pass over `fields`.
QByteArray ReencodeFields(const QByteArray& body, quint8 encoding, const char* fields, qsizetype& position)
{
    QByteArray out;
    for (const char* f = fields; *f && position < body.size(); ++f) {
        if (*f == 'S') {
            out.append(ReencodedString(body, encoding, position));
        } else if (*f == 'L') {
            out.append(CopyLatin1String(body, position));
        } else if (*f == 'R') {
            out.append(body.mid(position));
            position = body.size();
        } else {
            const qsizetype count = std::min<qsizetype>(*f - '0', body.size() - position);
            out.append(body.mid(position, count));
            position += count;
        }
    }
    return out;
}

// ---------------------------------------------------------------- frames

bool IsWritableFrameID(const QString& id)
{
    return id.size() == 4 && std::all_of(id.begin(), id.end(), [](QChar c) {
               return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
           });
}

QByteArray SyncSafeBytes(quint32 value)
{
    uchar bytes[4];
    EncodeSyncSafe(value, bytes);
    return QByteArray(reinterpret_cast<const char*>(bytes), 4);
}

QByteArray BigEndianBytes(quint32 value)
{
    uchar bytes[4];
    EncodeBigEndian32(value, bytes);
    return QByteArray(reinterpret_cast<const char*>(bytes), 4);
}

// One frame as it goes into the tag: flag bytes, the extras between header
// and data, and the data.
struct TFrameRecord {
    uchar Status = 0;
    uchar Format = 0;
    QByteArray Extras;
    QByteArray Data;
};

uchar StatusFlags(const TID3Frame& frame, quint8 major)
{
    const int shift = major == 3 ? 0 : 1;
    uchar status = 0;
    if (frame.TagAlterPreservation)
        status |= uchar(0x80 >> shift);
    if (frame.FileAlterPreservation)
        status |= uchar(0x40 >> shift);
    if (frame.ReadOnly)
        status |= uchar(0x20 >> shift);
    return status;
}

// An encrypted frame is stored again as it was read: the method byte and
// data length kept in its body go back into the extras in the order of the
// version, with the group id, and every format flag it had.
std::optional<TFrameRecord> EncryptedRecord(const TID3Frame& frame, quint8 major, QString& error)
{
    const QByteArray& body = frame.Body();
    const qsizetype lengthBytes = frame.DataLengthIndicator ? 4 : 0;
    if (body.size() < 1 + lengthBytes) {
        error = QStringLiteral("The encrypted frame %1 is incomplete.").arg(frame.FrameID);
        return std::nullopt;
    }
    const char method = body.at(0);
    const quint32 dataLength =
        lengthBytes ? DecodeBigEndian32(reinterpret_cast<const uchar*>(body.constData()) + 1) : 0;

    TFrameRecord record;
    record.Status = StatusFlags(frame, major);
    record.Data = body.mid(1 + lengthBytes);
    if (major == 3) {
        if (frame.Compression && !frame.DataLengthIndicator) {
            error = QStringLiteral("The encrypted frame %1 cannot be stored in an ID3v2.3 tag.").arg(frame.FrameID);
            return std::nullopt;
        }
        record.Format = 0x40 | (frame.Compression ? 0x80 : 0) | (frame.Grouping ? 0x20 : 0);
        if (frame.Compression)
            record.Extras.append(BigEndianBytes(dataLength));
        record.Extras.append(method);
        if (frame.Grouping)
            record.Extras.append(char(frame.GroupId));
    } else {
        if (lengthBytes && dataLength > MaxTagContent) {
            error = QStringLiteral("The encrypted frame %1 is too large.").arg(frame.FrameID);
            return std::nullopt;
        }
        record.Format = 0x04 | (frame.Compression ? 0x08 : 0) | (frame.Grouping ? 0x40 : 0)
                        | (frame.DataLengthIndicator ? 0x01 : 0);
        if (frame.Grouping)
            record.Extras.append(char(frame.GroupId));
        record.Extras.append(method);
        if (lengthBytes)
            record.Extras.append(SyncSafeBytes(dataLength));
    }
    return record;
}

// The status flag a plain frame keeps: read-only, whether the user set it or
// another tagger did. The two preservation flags are not written: they ask a
// tagger to drop a frame it does not know when the tag or the file changes,
// and this writer keeps every frame.
uchar PlainStatusFlags(const TID3Frame& frame, quint8 major)
{
    return frame.ReadOnly ? uchar(0x20 >> (major == 3 ? 0 : 1)) : uchar(0);
}

TFrameRecord PlainRecord(const TID3Frame& frame, quint8 major)
{
    TFrameRecord record;
    record.Status = PlainStatusFlags(frame, major);
    record.Data = major == 3 ? ReencodeForID3v23(frame.FrameID, frame.Body()) : frame.Body();
    return record;
}

// v2.4 unsynchronises frame by frame; true when the frame's data changed.
bool UnsynchroniseRecord(TFrameRecord& record)
{
    QByteArray copy = record.Data;
    if (!ApplyUnsynchronisation(copy))
        return false;
    record.Data = std::move(copy);
    record.Format |= 0x02;
    return true;
}

bool AppendRecord(QByteArray& tag, const QString& id, const TFrameRecord& record, quint8 major, QString& error)
{
    const qint64 size = qint64(record.Extras.size()) + record.Data.size();
    if (size > MaxTagContent) {
        error = QStringLiteral("The frame %1 is too large for an ID3v2 tag.").arg(id);
        return false;
    }
    tag.append(id.toLatin1());
    tag.append(major == 3 ? BigEndianBytes(quint32(size)) : SyncSafeBytes(quint32(size)));
    tag.append(char(record.Status));
    tag.append(char(record.Format));
    tag.append(record.Extras);
    tag.append(record.Data);
    return true;
}

} // namespace

qint64 ComputePadding(qint64 length, const TID3v2PaddingRule& rule)
{
    const qint64 minSize = std::max<qint64>(rule.MinSize, 0);
    const qint64 minPadding = std::max<qint64>(rule.MinPadding, 0);
    const qint64 maxPadding = std::max<qint64>(rule.MaxPadding, 0);
    qint64 padding;
    if (rule.HadTag && rule.OldTotalSize >= length)
        padding = rule.OldTotalSize - length;
    else if (length >= minSize)
        padding = minPadding;
    else
        padding = minSize - length;
    if (padding > maxPadding) {
        padding = minPadding;
        if (length + padding < minSize)
            padding = minSize - length;
    }
    return padding;
}

bool ApplyUnsynchronisation(QByteArray& data)
{
    const qsizetype size = data.size();
    const auto* in = reinterpret_cast<const uchar*>(data.constData());
    qsizetype insertions = 0;
    for (qsizetype i = 0; i + 1 < size; ++i)
        if (in[i] == 0xFF && (in[i + 1] == 0x00 || in[i + 1] >= 0xE0))
            ++insertions;
    const bool finalFF = size > 0 && in[size - 1] == 0xFF;
    if (insertions == 0 && !finalFF)
        return false;

    QByteArray out;
    out.reserve(size + insertions + 1);
    for (qsizetype i = 0; i < size; ++i) {
        out.append(char(in[i]));
        if (in[i] == 0xFF && (i + 1 == size || in[i + 1] == 0x00 || in[i + 1] >= 0xE0))
            out.append('\0');
    }
    data = std::move(out);
    return insertions > 0;
}

void ConvertID3v24To23(TID3FrameList& frames)
{
    ConvertRecordingTime(frames);
    ConvertOriginalYear(frames);
    ConvertInvolvedPeople(frames);
}

QByteArray ReencodeForID3v23(const QString& frameId, const QByteArray& body)
{
    const char* layout = LayoutOf(frameId);
    if (!layout || body.isEmpty())
        return body;
    const auto encoding = static_cast<quint8>(body.at(0));
    if (encoding != encUTF16BE && encoding != encUTF8)
        return body;

    QByteArray out(1, char(encUTF16));
    qsizetype position = 1;
    const char* repeat = std::strchr(layout, '*');
    if (repeat != layout) {
        const QByteArray head = repeat ? QByteArray(layout, repeat - layout) : QByteArray(layout);
        out.append(ReencodeFields(body, encoding, head.constData(), position));
    }
    if (repeat) {
        while (position < body.size()) {
            const qsizetype before = position;
            out.append(ReencodeFields(body, encoding, repeat + 1, position));
            if (position == before)
                break;
        }
    }
    return out;
}

std::optional<QByteArray> BuildID3v2Tag(const TID3FrameList& frames, const TID3v2TagOptions& options, QString& error)
{
    const quint8 major = options.Major == 3 ? 3 : 4;
    QByteArray tag("ID3", 3);
    tag.append(char(major)).append('\0').append('\0').append(QByteArray(4, '\0'));

    bool allUnsynchronised = options.Unsynchronisation;
    for (const auto& frame : frames) {
        if (!IsWritableFrameID(frame->FrameID))
            continue;
        if (!frame->BodyAvailable()) {
            error = QStringLiteral("The frame %1 could not be loaded again; the file changed since it was read.")
                        .arg(frame->FrameID);
            return std::nullopt;
        }
        if (frame->BodySize() < 1)
            continue;
        std::optional<TFrameRecord> record =
            frame->Encryption ? EncryptedRecord(*frame, major, error) : PlainRecord(*frame, major);
        if (!record)
            return std::nullopt;
        if (options.Unsynchronisation && major == 4)
            allUnsynchronised = UnsynchroniseRecord(*record) && allUnsynchronised;
        if (!AppendRecord(tag, frame->FrameID, *record, major, error))
            return std::nullopt;
    }

    if (options.Unsynchronisation && major == 3) {
        QByteArray copy = tag;
        allUnsynchronised = ApplyUnsynchronisation(copy);
        if (allUnsynchronised)
            tag = std::move(copy);
    }

    const qint64 padding = ComputePadding(tag.size(), options.Padding);
    if (tag.size() - HeaderSize + padding > MaxTagContent) {
        error = QStringLiteral("The tag would be larger than an ID3v2 tag can be.");
        return std::nullopt;
    }
    tag.append(QByteArray(padding, '\0'));
    uchar size[4];
    EncodeSyncSafe(quint32(tag.size() - HeaderSize), size);
    std::memcpy(tag.data() + 6, size, 4);
    if (options.Unsynchronisation && allUnsynchronised)
        tag[5] = char(TagFlagUnsynchronisation);
    return tag;
}
