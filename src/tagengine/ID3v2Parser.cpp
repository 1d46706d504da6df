#include "tagengine/ID3v2Parser.h"

#include "tagengine/FrameCodecs.h"

#include <algorithm>
#include <array>

namespace {

constexpr qint64 TagHeaderSize = 10;
constexpr qint64 FrameHeaderSize = 10;

constexpr uchar TagFlagUnsynchronisation = 0x80;
constexpr uchar TagFlagExtendedHeader = 0x40;

const uchar* BytesAt(const QByteArray& data, qint64 position)
{
    return reinterpret_cast<const uchar*>(data.constData()) + position;
}

bool IsFrameIDChar(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsValidFrameID(const uchar* id)
{
    return std::all_of(id, id + 4, IsFrameIDChar);
}

bool AllZero(const QByteArray& data, qint64 from, qint64 to)
{
    return std::all_of(data.constBegin() + from, data.constBegin() + to, [](char c) { return c == 0; });
}

enum class TSizeKind { BigEndian, SyncSafe };

// The part of a tag that holds its frames.
struct TFrameArea {
    QByteArray Data;   // the tag; for v2.3 with unsynchronisation already removed
    qint64 Begin = 0;  // first frame header
    qint64 End = 0;    // end of the frames and padding
    quint8 Major = 0;
    bool TagUnsynchronised = false;
};

// Skips the extended header at the area's start; false when it does not fit.
bool SkipExtendedHeader(TFrameArea& area)
{
    if (area.End - area.Begin < 4)
        return false;
    const uchar* sizeBytes = BytesAt(area.Data, area.Begin);
    qint64 length = 0;
    if (area.Major == 4) {
        // The size counts the whole extended header, which is at least 6 bytes.
        length = DecodeSyncSafe(sizeBytes);
        if (length < 6)
            return false;
    } else {
        length = 4 + qint64(DecodeBigEndian32(sizeBytes));
    }
    if (length > area.End - area.Begin)
        return false;
    area.Begin += length;
    return true;
}

// The frame area of a supported tag, or nothing when not even its start can
// be found (the tag is then partly read).
std::optional<TFrameArea> LocateFrames(const QByteArray& tag, TID3v2ParseResult& result)
{
    const uchar* header = BytesAt(tag, 0);
    const uchar flags = header[5];
    const qint64 declaredEnd = TagHeaderSize + qint64(DecodeSyncSafe(header + 6));
    if (declaredEnd > tag.size())
        result.PartlyRead = true;

    TFrameArea area;
    area.Major = result.Major;
    area.TagUnsynchronised = (flags & TagFlagUnsynchronisation) != 0;
    area.End = std::min<qint64>(declaredEnd, tag.size());
    if (area.Major == 3 && area.TagUnsynchronised) {
        // In v2.3 the whole tag after its header was unsynchronised.
        area.Data = tag.left(TagHeaderSize) + RemoveUnsynchronisation(tag.mid(TagHeaderSize, area.End - TagHeaderSize));
        area.End = area.Data.size();
    } else {
        area.Data = tag;
    }
    area.Begin = TagHeaderSize;
    if ((flags & TagFlagExtendedHeader) && !SkipExtendedHeader(area)) {
        result.PartlyRead = true;
        return std::nullopt;
    }
    return area;
}

// How a walk over the frames ended.
enum class TWalkEnd {
    Clean,   // at the area's end, or followed by zero padding only
    Junk,    // followed by bytes that do not start a frame (not a frame ID)
    Damaged, // at a frame that does not fit or whose size cannot be read
};

struct TWalk {
    TWalkEnd End = TWalkEnd::Clean;
    int Frames = 0;
};

// One byte value repeated from `from` to `to`.
bool IsFiller(const QByteArray& data, qint64 from, qint64 to)
{
    if (from >= to)
        return true;
    const char filler = data.at(from);
    return std::all_of(data.constBegin() + from, data.constBegin() + to, [&](char c) { return c == filler; });
}

// Bytes after the last frame that are no frame header are padding when the
// frames before them were read: other writers leave garbage there. With no
// frame at all they count only when they are filler (one byte repeated), as a
// tag of nothing but unreadable bytes may hold frames nobody can read.
bool IsPadding(const QByteArray& data, qint64 from, qint64 to, int framesBefore)
{
    return framesBefore > 0 || IsFiller(data, from, to);
}

// Calls visit(position, size) for every frame header that can be followed.
template <typename Visit>
TWalk WalkFrames(const TFrameArea& area, TSizeKind sizeKind, Visit&& visit)
{
    TWalk walk;
    qint64 position = area.Begin;
    while (area.End - position >= FrameHeaderSize) {
        const uchar* header = BytesAt(area.Data, position);
        // Filler up to the end is padding even where its bytes spell a frame
        // ID ("UUUU"): such a frame's size would run past the tag.
        if (!IsValidFrameID(header) || IsFiller(area.Data, position, area.End))
            break;
        const uchar* sizeBytes = header + 4;
        if (sizeKind == TSizeKind::SyncSafe && !IsSyncSafe(sizeBytes)) {
            walk.End = TWalkEnd::Damaged;
            return walk;
        }
        const qint64 size = sizeKind == TSizeKind::SyncSafe ? DecodeSyncSafe(sizeBytes) : DecodeBigEndian32(sizeBytes);
        if (size > area.End - position - FrameHeaderSize) {
            walk.End = TWalkEnd::Damaged;
            return walk;
        }
        visit(position, size);
        position += FrameHeaderSize + size;
        ++walk.Frames;
    }
    if (AllZero(area.Data, position, area.End))
        walk.End = TWalkEnd::Clean;
    else
        walk.End = IsPadding(area.Data, position, area.End, walk.Frames) ? TWalkEnd::Junk : TWalkEnd::Damaged;
    return walk;
}

// v2.4 frame sizes are syncsafe, but a known writer bug stores plain integers.
// Such a tag is recognised by plain sizes walking it cleanly where syncsafe
// sizes do not, or, when neither walk ends cleanly, by plain sizes reaching
// more frames without running into damage.
TSizeKind ChooseSizeKind(const TFrameArea& area, TID3v2ParseResult& result)
{
    if (area.Major == 3)
        return TSizeKind::BigEndian;
    const auto ignore = [](qint64, qint64) {};
    const TWalk syncSafe = WalkFrames(area, TSizeKind::SyncSafe, ignore);
    if (syncSafe.End == TWalkEnd::Clean)
        return TSizeKind::SyncSafe;
    const TWalk plain = WalkFrames(area, TSizeKind::BigEndian, ignore);
    if (plain.End == TWalkEnd::Clean || (plain.End == TWalkEnd::Junk && plain.Frames > syncSafe.Frames)) {
        result.PlainFrameSizes = true;
        return TSizeKind::BigEndian;
    }
    return TSizeKind::SyncSafe;
}

void MapFrameFlags(TID3Frame& frame, quint8 major, uchar status, uchar format)
{
    if (major == 3) {
        frame.TagAlterPreservation = (status & 0x80) ? 1 : 0;
        frame.FileAlterPreservation = (status & 0x40) ? 1 : 0;
        frame.ReadOnly = (status & 0x20) ? 1 : 0;
        frame.Grouping = (format & 0x20) ? 1 : 0;
        frame.Compression = (format & 0x80) ? 1 : 0;
        frame.Encryption = (format & 0x40) ? 1 : 0;
        frame.Unsynchronisation = 0;
        frame.DataLengthIndicator = frame.Compression;
    } else {
        frame.TagAlterPreservation = (status & 0x40) ? 1 : 0;
        frame.FileAlterPreservation = (status & 0x20) ? 1 : 0;
        frame.ReadOnly = (status & 0x10) ? 1 : 0;
        frame.Grouping = (format & 0x40) ? 1 : 0;
        frame.Compression = (format & 0x08) ? 1 : 0;
        frame.Encryption = (format & 0x04) ? 1 : 0;
        frame.Unsynchronisation = (format & 0x02) ? 1 : 0;
        frame.DataLengthIndicator = (format & 0x01) ? 1 : 0;
    }
}

// What stands between a frame's header and its data.
struct TFrameExtras {
    qint64 Length = 0;
    quint32 DataLength = 0;
    quint8 EncryptionMethod = 0;
};

enum class TExtra { GroupId, EncryptionMethod, DataLength };

// The extras come in the order of their flags: v2.3 decompressed size,
// encryption method, group id; v2.4 group id, encryption method, data length.
constexpr std::array<TExtra, 3> ExtrasOrder23{TExtra::DataLength, TExtra::EncryptionMethod, TExtra::GroupId};
constexpr std::array<TExtra, 3> ExtrasOrder24{TExtra::GroupId, TExtra::EncryptionMethod, TExtra::DataLength};

bool HasExtra(const TID3Frame& frame, TExtra extra)
{
    switch (extra) {
    case TExtra::GroupId:
        return frame.Grouping;
    case TExtra::EncryptionMethod:
        return frame.Encryption;
    case TExtra::DataLength:
        return frame.DataLengthIndicator;
    }
    return false;
}

// Reads the extras of a frame of `size` bytes starting at `bytes`; nothing
// when the frame is too small to hold them. Sets the frame's group id.
std::optional<TFrameExtras> ReadFrameExtras(TID3Frame& frame, quint8 major, const uchar* bytes, qint64 size)
{
    TFrameExtras extras;
    for (const TExtra extra : major == 3 ? ExtrasOrder23 : ExtrasOrder24) {
        if (!HasExtra(frame, extra))
            continue;
        const qint64 needed = extra == TExtra::DataLength ? 4 : 1;
        if (size - extras.Length < needed)
            return std::nullopt;
        const uchar* at = bytes + extras.Length;
        switch (extra) {
        case TExtra::GroupId:
            frame.GroupId = *at;
            break;
        case TExtra::EncryptionMethod:
            extras.EncryptionMethod = *at;
            break;
        case TExtra::DataLength:
            extras.DataLength = major == 3 ? DecodeBigEndian32(at) : DecodeSyncSafe(at);
            break;
        }
        extras.Length += needed;
    }
    return extras;
}

// Shortest body a frame of this ID can have and still mean something.
qsizetype MinimumBodySize(const QString& id)
{
    if (id == QLatin1String("TXXX") || id == QLatin1String("WXXX"))
        return 3;
    if (id == QLatin1String("COMM"))
        return 6;
    if (id.startsWith(QLatin1Char('T')))
        return 2;
    return 1;
}

// Encrypted data cannot be decoded; it is kept with what a writer needs to
// store it again: the method byte and the data length.
QByteArray EncryptedBody(const TID3Frame& frame, const TFrameExtras& extras, const QByteArray& data)
{
    QByteArray body(1, char(extras.EncryptionMethod));
    if (frame.DataLengthIndicator) {
        uchar length[4];
        EncodeBigEndian32(extras.DataLength, length);
        body.append(reinterpret_cast<const char*>(length), 4);
    }
    return body + data;
}

class TFrameReader {
public:
    TFrameReader(const TFrameArea& area, TID3v2ParseResult& result, TID3FrameList& frames)
        : m_area(area), m_result(result), m_frames(frames)
    {
    }

    void Read(qint64 position, qint64 size);

private:
    std::optional<QByteArray> DecodeBody(const TID3Frame& frame, const TFrameExtras& extras, QByteArray data);
    bool IsStoredPlainly(const TID3Frame& frame) const;

    const TFrameArea& m_area;
    TID3v2ParseResult& m_result;
    TID3FrameList& m_frames;
    qint64 m_inflateBudget = MaxInflatedTagSize;
};

void TFrameReader::Read(qint64 position, qint64 size)
{
    const uchar* header = BytesAt(m_area.Data, position);
    auto frame = std::make_unique<TID3Frame>(QString::fromLatin1(reinterpret_cast<const char*>(header), 4));
    MapFrameFlags(*frame, m_area.Major, header[8], header[9]);

    const qint64 dataStart = position + FrameHeaderSize;
    const auto extras = ReadFrameExtras(*frame, m_area.Major, BytesAt(m_area.Data, dataStart), size);
    if (!extras)
        return;
    const qint64 bodyStart = dataStart + extras->Length;
    auto body = DecodeBody(*frame, *extras, m_area.Data.mid(bodyStart, size - extras->Length));
    if (!body)
        return;
    if (!frame->Encryption && body->size() < MinimumBodySize(frame->FrameID))
        return;
    frame->SetBody(std::move(*body));
    if (IsStoredPlainly(*frame))
        m_result.BodyOffsets.emplace(frame.get(), bodyStart);
    m_frames.push_back(std::move(frame));
}

std::optional<QByteArray> TFrameReader::DecodeBody(const TID3Frame& frame, const TFrameExtras& extras, QByteArray data)
{
    // In v2.4 the tag's unsynchronisation flag stands for every frame's.
    if (frame.Unsynchronisation || (m_area.Major == 4 && m_area.TagUnsynchronised))
        data = RemoveUnsynchronisation(data);
    if (frame.Encryption)
        return EncryptedBody(frame, extras, data);
    if (!frame.Compression)
        return data;
    const qint64 expected = frame.DataLengthIndicator ? qint64(extras.DataLength) : -1;
    auto inflated = InflateFrame(data, expected, std::min(InflateLimit(data.size()), m_inflateBudget));
    if (!inflated) {
        m_result.Failed = true;
        m_result.PartlyRead = true;
        m_result.Error = QStringLiteral("The frame %1 could not be decompressed.").arg(frame.FrameID);
        return inflated;
    }
    m_inflateBudget -= inflated->size();
    return inflated;
}

bool TFrameReader::IsStoredPlainly(const TID3Frame& frame) const
{
    return !m_area.TagUnsynchronised && !frame.Unsynchronisation && !frame.Compression && !frame.Encryption
        && !frame.DataLengthIndicator;
}

QString FirstText(const TID3Frame* frame)
{
    return frame ? GetFirstText(frame->Body()) : QString();
}

bool IsFourDigits(const QString& text)
{
    return text.size() == 4 && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A v2.4 date text from the v2.3 year (YYYY), date (DDMM) and time (HHMM). A
// year that is not four digits is kept as it is, without date and time.
QString RecordingTimeText(const QString& year, const QString& date, const QString& time)
{
    if (!IsFourDigits(year))
        return year;
    QString text = year;
    if (IsFourDigits(date)) {
        text += u'-' + date.mid(2, 2) + u'-' + date.left(2);
        if (IsFourDigits(time))
            text += u'T' + time.left(2) + u':' + time.mid(2, 2);
    }
    return text;
}

// The v2.3-to-v2.4 conversion of one frame list. Frames it removes lose their
// body offsets at once, before a new frame could be given the same address.
class TV23Conversion {
public:
    TV23Conversion(TID3FrameList& frames, TBodyOffsets* offsets) : m_frames(frames), m_offsets(offsets) {}

    void Run()
    {
        ConvertRecordingTime();
        ConvertOriginalYear();
        ConvertInvolvedPeople();
    }

private:
    void ConvertRecordingTime();
    void ConvertOriginalYear();
    void ConvertInvolvedPeople();
    TID3Frame* FirstReadableFrame(QLatin1String id) const;
    void ReplaceWithTextFrame(const TID3Frame& flagsFrom, QLatin1String id, const QString& text);
    void Remove(const TID3Frame* frame);

    TID3FrameList& m_frames;
    TBodyOffsets* m_offsets;
};

// First frame of the ID whose content can be read (encrypted frames cannot).
TID3Frame* TV23Conversion::FirstReadableFrame(QLatin1String id) const
{
    for (const auto& frame : m_frames)
        if (frame->FrameID == id && !frame->Encryption)
            return frame.get();
    return nullptr;
}

void TV23Conversion::Remove(const TID3Frame* frame)
{
    if (!frame)
        return;
    if (m_offsets)
        m_offsets->erase(frame);
    std::erase_if(m_frames, [&](const TID3FramePtr& f) { return f.get() == frame; });
}

// Appends a text frame `id` holding `text`, with the flags and group id of
// `flagsFrom`, in place of the first readable frame `id`.
void TV23Conversion::ReplaceWithTextFrame(const TID3Frame& flagsFrom, QLatin1String id, const QString& text)
{
    auto frame = std::make_unique<TID3Frame>();
    SetTextFrame(*frame, QString(), QStringList{text});
    frame->AssignFrame(flagsFrom, false);
    frame->FrameID = id;
    Remove(FirstReadableFrame(id));
    m_frames.push_back(std::move(frame));
}

void TV23Conversion::ConvertRecordingTime()
{
    const TID3Frame* year = FirstReadableFrame(QLatin1String("TYER"));
    const TID3Frame* date = FirstReadableFrame(QLatin1String("TDAT"));
    const TID3Frame* time = FirstReadableFrame(QLatin1String("TIME"));
    if (year) {
        const QString text = RecordingTimeText(FirstText(year), FirstText(date), FirstText(time));
        if (!text.isEmpty())
            ReplaceWithTextFrame(*year, QLatin1String("TDRC"), text);
    }
    for (const TID3Frame* old : {year, date, time})
        Remove(old);
}

void TV23Conversion::ConvertOriginalYear()
{
    const TID3Frame* year = FirstReadableFrame(QLatin1String("TORY"));
    if (!year)
        return;
    const QString text = FirstText(year);
    if (!text.isEmpty())
        ReplaceWithTextFrame(*year, QLatin1String("TDOR"), text);
    Remove(year);
}

void TV23Conversion::ConvertInvolvedPeople()
{
    TID3Frame* people = FindFrame(m_frames, QStringLiteral("IPLS"));
    if (!people)
        return;
    Remove(FindFrame(m_frames, QStringLiteral("TIPL")));
    people->FrameID = QStringLiteral("TIPL");
}

} // namespace

TID3v2ParseResult ParseID3v2Tag(const QByteArray& tag, bool headerOnly, TID3FrameList& frames)
{
    TID3v2ParseResult result;
    if (tag.size() < TagHeaderSize || !tag.startsWith("ID3")) {
        result.Failed = true;
        result.Error = QStringLiteral("No ID3v2 tag header.");
        return result;
    }
    result.Major = static_cast<quint8>(tag[3]);
    result.Revision = static_cast<quint8>(tag[4]);
    if (result.Major < 3 || result.Major > 4) {
        result.VersionUnsupported = true;
        return result;
    }
    if (headerOnly)
        return result;

    const auto area = LocateFrames(tag, result);
    if (!area)
        return result;
    TFrameReader reader(*area, result, frames);
    const TSizeKind sizeKind = ChooseSizeKind(*area, result);
    if (WalkFrames(*area, sizeKind, [&](qint64 position, qint64 size) { reader.Read(position, size); }).End
        == TWalkEnd::Damaged)
        result.PartlyRead = true;

    if (result.Major == 3)
        TV23Conversion(frames, &result.BodyOffsets).Run();
    return result;
}

void ConvertID3v23To24(TID3FrameList& frames)
{
    TV23Conversion(frames, nullptr).Run();
}
