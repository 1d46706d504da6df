#include "tagengine/ID3v1Block.h"

#include "tagengine/DateTexts.h"
#include "tagengine/DisplayTexts.h"
#include "tagengine/FrameCatalogue.h"
#include "tagengine/FrameCodecs.h"

#include <cstring>

namespace {

constexpr int TitleOffset = 3;
constexpr int ArtistOffset = 33;
constexpr int AlbumOffset = 63;
constexpr int YearOffset = 93;
constexpr int CommentOffset = 97;
constexpr int TextLength = 30;
constexpr int YearLength = 4;
constexpr int WrittenCommentLength = 28;
constexpr int ZeroByteOffset = 125;
constexpr int TrackOffset = 126;
constexpr int GenreOffset = 127;

QString TrimmedControl(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

// A field as stored: up to its length, ending at the first NUL.
QString ReadField(const QByteArray& block, int offset, int length)
{
    const char* start = block.constData() + offset;
    const auto* nul = static_cast<const char*>(std::memchr(start, 0, size_t(length)));
    const qsizetype size = nul ? nul - start : length;
    return TrimmedControl(QString::fromLatin1(start, size));
}

void WriteField(QByteArray& block, int offset, int length, const QString& text)
{
    const QByteArray bytes = text.toLatin1().left(length);
    std::memcpy(block.data() + offset, bytes.constData(), size_t(bytes.size()));
}

QString FirstDisplayText(const TID3FrameList& frames, const char* id)
{
    return GetFrameDisplayText(FindFrame(frames, QLatin1String(id)));
}

QString YearOf(const TID3FrameList& frames)
{
    const TID3Frame* date = FindFrame(frames, QStringLiteral("TDRC"));
    if (!date)
        return {};
    QString description;
    QStringList lines;
    GetTextFrame(*date, description, lines);
    if (lines.isEmpty())
        return {};
    TSystemTime time;
    TDateGenauigkeit precision = gnNone;
    ParseISODateTime(lines.first(), time, precision);
    return precision >= gnYear ? QString::number(time.Year) : QString();
}

quint8 TrackOf(const TID3FrameList& frames)
{
    const auto number = ParseLeadingNumber(FirstDisplayText(frames, "TRCK"));
    return number && *number <= 255 ? quint8(*number) : quint8(0);
}

quint8 GenreOf(const TID3FrameList& frames)
{
    const int index = FindGenreIndex(DecodeGenre(FirstDisplayText(frames, "TCON")));
    return index >= 0 && index < GenreCount ? quint8(index) : quint8(255);
}

// Stores value as a new frame of id through SetFrame, or deletes the frame
// of that ID when the value is empty and overwriteWithEmpty is set.
void ApplyValue(TID3FrameList& frames, const QString& id, const QString& value, bool overwriteWithEmpty)
{
    const QString trimmed = value.trimmed();
    if (trimmed.isEmpty()) {
        if (overwriteWithEmpty)
            SetFrame(frames, id, nullptr, 0);
        return;
    }
    TID3Frame frame(id);
    if (id == QLatin1String("COMM"))
        SetCommentFrame(frame, {trimmed}, QString(), QString());
    else
        SetTextFrame(frame, QString(), {trimmed});
    SetFrame(frames, id, &frame, 0);
}

// Where each field lies in the block and which frame fills it.
struct TID3v1FieldPlace {
    int Field;
    const char* FrameID;
    int Offset;
    int Length;
};

constexpr TID3v1FieldPlace FieldPlaces[] = {
    {ID3v1Field::Title, "TIT2", TitleOffset, TextLength},
    {ID3v1Field::Artist, "TPE1", ArtistOffset, TextLength},
    {ID3v1Field::Album, "TALB", AlbumOffset, TextLength},
    {ID3v1Field::Year, "TDRC", YearOffset, YearLength},
    {ID3v1Field::Comment, "COMM", CommentOffset, WrittenCommentLength},
    {ID3v1Field::Track, "TRCK", TrackOffset, 1},
    {ID3v1Field::Genre, "TCON", GenreOffset, 1},
};

// Copies the bytes of the fields in keepMask from the old block. A comment
// kept together with the track keeps its ID3v1.1 zero byte and track, or the
// last two characters of an ID3v1.0 comment; a track kept alone is the old
// block's track number.
void KeepOldFields(QByteArray& block, const QByteArray& oldBlock, int keepMask)
{
    constexpr int CommentAndTrack = ID3v1Field::Comment | ID3v1Field::Track;
    for (const TID3v1FieldPlace& place : FieldPlaces)
        if ((keepMask & place.Field) && place.Field != ID3v1Field::Track)
            std::memcpy(block.data() + place.Offset, oldBlock.constData() + place.Offset, size_t(place.Length));
    if ((keepMask & CommentAndTrack) == CommentAndTrack)
        std::memcpy(block.data() + ZeroByteOffset, oldBlock.constData() + ZeroByteOffset, 2);
    else if (keepMask & ID3v1Field::Track)
        block[TrackOffset] = char(DecodeID3v1Block(oldBlock).Track);
}

} // namespace

bool IsID3v1Block(const uchar* bytes)
{
    return bytes[0] == 'T' && bytes[1] == 'A' && bytes[2] == 'G';
}

TID3v1Infos DecodeID3v1Block(const QByteArray& block)
{
    TID3v1Infos info;
    if (block.size() != ID3v1BlockSize || !IsID3v1Block(reinterpret_cast<const uchar*>(block.constData())))
        return info;
    const auto byteAt = [&](int offset) { return static_cast<uchar>(block.at(offset)); };
    const bool hasTrack = byteAt(ZeroByteOffset) == 0 && byteAt(TrackOffset) != 0;

    info.Title = ReadField(block, TitleOffset, TextLength);
    info.Artist = ReadField(block, ArtistOffset, TextLength);
    info.Album = ReadField(block, AlbumOffset, TextLength);
    info.Year = ReadField(block, YearOffset, YearLength);
    info.Comment = ReadField(block, CommentOffset, hasTrack ? WrittenCommentLength : TextLength);
    info.Track = hasTrack ? byteAt(TrackOffset) : 0;
    info.Genre = byteAt(GenreOffset);
    info.GenreName = GetGenreName(info.Genre);
    return info;
}

QByteArray BuildID3v1Block(const TID3FrameList& frames, const QByteArray& oldBlock, int keepMask)
{
    QByteArray block(ID3v1BlockSize, '\0');
    std::memcpy(block.data(), "TAG", 3);
    WriteField(block, TitleOffset, TextLength, FirstDisplayText(frames, "TIT2"));
    WriteField(block, ArtistOffset, TextLength, FirstDisplayText(frames, "TPE1"));
    WriteField(block, AlbumOffset, TextLength, FirstDisplayText(frames, "TALB"));
    WriteField(block, YearOffset, YearLength, YearOf(frames));
    WriteField(block, CommentOffset, WrittenCommentLength, FirstDisplayText(frames, "COMM"));
    block[TrackOffset] = char(TrackOf(frames));
    block[GenreOffset] = char(GenreOf(frames));
    if (keepMask != 0 && oldBlock.size() == ID3v1BlockSize
        && IsID3v1Block(reinterpret_cast<const uchar*>(oldBlock.constData())))
        KeepOldFields(block, oldBlock, keepMask);
    return block;
}

QString ID3v1FieldText(const TID3v1Infos& id3v1, int field)
{
    switch (field) {
    case ID3v1Field::Title:
        return id3v1.Title;
    case ID3v1Field::Artist:
        return id3v1.Artist;
    case ID3v1Field::Album:
        return id3v1.Album;
    case ID3v1Field::Comment:
        return id3v1.Comment;
    case ID3v1Field::Genre:
        return id3v1.GenreName;
    case ID3v1Field::Track:
        return id3v1.Track ? QString::number(id3v1.Track) : QString();
    case ID3v1Field::Year:
        return id3v1.Year;
    default:
        return {};
    }
}

int ID3v1FieldsOf(const TID3FrameList& frames)
{
    int fields = 0;
    for (const TID3v1FieldPlace& place : FieldPlaces)
        if (FindFrame(frames, QLatin1String(place.FrameID)))
            fields |= place.Field;
    return fields;
}

void CopyID3v1ToFrames(TID3FrameList& frames, const TID3v1Infos& id3v1, bool overwriteWithEmpty, int mask)
{
    if (mask & ID3v1Field::Title)
        ApplyValue(frames, QStringLiteral("TIT2"), id3v1.Title, overwriteWithEmpty);
    if (mask & ID3v1Field::Artist)
        ApplyValue(frames, QStringLiteral("TPE1"), id3v1.Artist, overwriteWithEmpty);
    if (mask & ID3v1Field::Album)
        ApplyValue(frames, QStringLiteral("TALB"), id3v1.Album, overwriteWithEmpty);
    if (mask & ID3v1Field::Track)
        ApplyValue(frames, QStringLiteral("TRCK"), ID3v1FieldText(id3v1, ID3v1Field::Track), overwriteWithEmpty);
    if (mask & ID3v1Field::Year) {
        const QString year = id3v1.Year.trimmed();
        ApplyValue(frames, QStringLiteral("TDRC"), year.isEmpty() ? year : year.rightJustified(4, QLatin1Char('0')),
                   overwriteWithEmpty);
    }
    if (mask & ID3v1Field::Genre)
        ApplyValue(frames, QStringLiteral("TCON"), id3v1.GenreName, overwriteWithEmpty);
    if (mask & ID3v1Field::Comment)
        ApplyValue(frames, QStringLiteral("COMM"), id3v1.Comment, overwriteWithEmpty);
}
