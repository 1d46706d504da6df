#include "cddb/CDDBMatching.h"

#include "cddb/DiscIDCalculator.h"
#include "tagengine/FrameCodecs.h"

#include <algorithm>
#include <limits>

namespace {

const QString TRCK = QStringLiteral("TRCK");
const QString MCDI = QStringLiteral("MCDI");

// The number of leading ASCII digits of text from position `from`.
qsizetype DigitRun(const QString& text, qsizetype from)
{
    qsizetype end = from;
    while (end < text.size() && IsASCIIDigit(text.at(end)))
        ++end;
    return end - from;
}

// The digits as a signed 32-bit number, -1 when they do not form one.
qint32 NumberOfDigits(const QString& digits)
{
    const auto number = ParseLeadingNumber(digits);
    return number && *number <= quint32(std::numeric_limits<qint32>::max()) ? qint32(*number) : -1;
}

QString FileStem(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

TCDDBMP3 RowOf(TEintragdaten& entry)
{
    TCDDBMP3 row;
    row.TrackNo = GetTrackNumber(entry);
    row.Entry = &entry;
    return row;
}

void WriteTrack(TEintragdaten& entry, const QString& artist, const QString& title, const TCDDBCD& cd, int trackNo)
{
    SetEntryTextFrame(entry, QStringLiteral("TPE1"), artist);
    SetEntryTextFrame(entry, QStringLiteral("TIT2"), title);
    SetEntryTextFrame(entry, QStringLiteral("TALB"), cd.Title);
    SetEntryTextFrame(entry, TRCK, QString::number(trackNo) + QLatin1Char('/') + QString::number(cd.TrackCount()));
}

bool SameQuery(const TCDDBCD& cd, const TCDDBMP3& row)
{
    return cd.Query == row.Query;
}

}

qint32 GetTrackNumber(const TEintragdaten& entry)
{
    if (const TID3Frame* frame = FindFrame(entry.Frames, TRCK)) {
        QString description;
        QStringList lines;
        GetTextFrame(*frame, description, lines);
        if (!lines.isEmpty() && DigitRun(lines.first(), 0) > 0)
            return NumberOfDigits(lines.first());
    }
    const QString stem = FileStem(entry.FileName);
    const auto first = std::find_if(stem.begin(), stem.end(), IsASCIIDigit);
    if (first == stem.end())
        return -1;
    return NumberOfDigits(stem.mid(first - stem.begin()));
}

TCDDBMP3List CollectRows(const TEintragdatenList& entries)
{
    TCDDBMP3List rows;
    for (const TEintragdatenPtr& entry : entries)
        if (entry->Edited)
            rows.push_back(RowOf(*entry));
    return rows;
}

void SortRows(TCDDBMP3List& rows)
{
    const auto before = [](const TCDDBMP3& a, const TCDDBMP3& b) {
        if (a.TrackNo != b.TrackNo) {
            if (a.TrackNo < 0 || b.TrackNo < 0)
                return b.TrackNo < 0;
            return a.TrackNo < b.TrackNo;
        }
        if (!a.Entry || !b.Entry)
            return false;
        return a.Entry->FileName.compare(b.Entry->FileName, Qt::CaseInsensitive) < 0;
    };
    std::stable_sort(rows.begin(), rows.end(), before);
}

TCDDBMP3 PaddingRow(const QString& query)
{
    TCDDBMP3 row;
    row.Query = query;
    return row;
}

bool BuildTocFromLengths(const TCDDBMP3List& rows, TCdToc& toc)
{
    constexpr qint64 MsPerMinute = 60000;
    toc = TCdToc();
    const int count = std::min<int>(int(rows.size()), TCdToc::MaxTracks);
    toc.SetTracks(1, quint8(count));
    toc.SetAddress(0, {0, 2, 0});
    qint64 accumulated = 2000;
    for (int k = 0; k < count; ++k) {
        const TEintragdaten* entry = rows[size_t(k)].Entry;
        accumulated += entry ? std::max<qint64>(entry->Length, 0) : 0;
        const qint64 minutes = accumulated / MsPerMinute;
        if (minutes > 255)
            return false;
        toc.SetAddress(k + 1, {quint8(minutes), quint8(accumulated / 1000 - minutes * 60), 0});
    }
    return true;
}

void CollectMcdiRows(const TEintragdatenList& entries, TCDDBMP3List& rows, QStringList& queries)
{
    rows.clear();
    queries.clear();
    for (const TEintragdatenPtr& entry : entries) {
        if (!entry->Edited)
            continue;
        const TID3Frame* frame = FindFrame(entry->Frames, MCDI);
        TCdToc toc;
        if (!frame || !TDiscIDCalculator::TocFromMcdi(frame->Body(), toc))
            continue;
        QString discId;
        TCDDBMP3 row = RowOf(*entry);
        TDiscIDCalculator::CalcDiscId(toc, discId, row.Query);
        if (!queries.contains(row.Query))
            queries << row.Query;
        rows.push_back(std::move(row));
    }
}

QString SuggestedArtist(const TCDDBCD& cd, int track, bool exchange)
{
    const TCDDBCDTrack& t = cd.Tracks[size_t(track)];
    if (!t.HasArtist)
        return cd.Artist;
    return exchange ? t.Title : t.Artist;
}

QString SuggestedTitle(const TCDDBCD& cd, int track, bool exchange)
{
    const TCDDBCDTrack& t = cd.Tracks[size_t(track)];
    return exchange && t.HasArtist ? t.Artist : t.Title;
}

void SetEntryTextFrame(TEintragdaten& entry, const QString& id, const QString& text)
{
    TID3Frame frame(id);
    SetTextFrame(frame, QString(), {text});
    entry.SetFrame(id, &frame, 0);
}

void WriteSuggestion(const TCDDBCD& cd, const TCDDBMP3List& rows, bool exchange, const QByteArray& mcdi)
{
    const int count = std::min(cd.TrackCount(), int(rows.size()));
    for (int i = 0; i < count; ++i) {
        TEintragdaten* entry = rows[size_t(i)].Entry;
        if (!entry)
            continue;
        WriteTrack(*entry, SuggestedArtist(cd, i, exchange), SuggestedTitle(cd, i, exchange), cd, i + 1);
        if (!mcdi.isEmpty()) {
            TID3Frame frame(MCDI);
            frame.SetBody(mcdi);
            entry->SetFrame(MCDI, &frame, 0);
        }
    }
}

void MatchPossibilities(TCDDBMP3List& rows, const TCDDBCDList& cds)
{
    for (TCDDBMP3& row : rows) {
        row.CdIndex = -1;
        row.Possibilities = 0;
        for (size_t i = 0; i < cds.size(); ++i) {
            if (!SameQuery(*cds[i], row))
                continue;
            if (row.Possibilities++ == 0)
                row.CdIndex = qint32(i);
        }
    }
}

bool StepPossibility(TCDDBMP3& row, const TCDDBCDList& cds, int direction)
{
    if (row.Possibilities <= 1)
        return false;
    std::vector<qint32> same;
    for (size_t i = 0; i < cds.size(); ++i)
        if (SameQuery(*cds[i], row))
            same.push_back(qint32(i));
    if (same.empty())
        return false;
    if (direction >= 0) {
        const auto next = std::upper_bound(same.begin(), same.end(), row.CdIndex);
        row.CdIndex = next == same.end() ? same.front() : *next;
    } else {
        const auto previous = std::lower_bound(same.begin(), same.end(), row.CdIndex);
        row.CdIndex = previous == same.begin() ? same.back() : *(previous - 1);
    }
    return true;
}

const TCDDBCD* CdOfRow(const TCDDBMP3& row, const TCDDBCDList& cds)
{
    return row.CdIndex >= 0 && size_t(row.CdIndex) < cds.size() ? cds[size_t(row.CdIndex)].get() : nullptr;
}

QString PossibilityText(const TCDDBMP3& row, const TCDDBCDList& cds)
{
    const TCDDBCD* cd = CdOfRow(row, cds);
    if (!cd)
        return QStringLiteral("?");
    int position = 0;
    for (qint32 i = 0; i <= row.CdIndex; ++i)
        if (SameQuery(*cds[size_t(i)], row))
            ++position;
    return QString::number(position) + QLatin1Char('/') + QString::number(row.Possibilities);
}

const TCDDBCDTrack* TrackOfRow(const TCDDBMP3& row, const TCDDBCDList& cds)
{
    const TCDDBCD* cd = CdOfRow(row, cds);
    if (!cd || row.TrackNo < 1 || row.TrackNo > cd->TrackCount())
        return nullptr;
    return &cd->Tracks[size_t(row.TrackNo - 1)];
}

void WritePossibilities(const TCDDBMP3List& rows, const TCDDBCDList& cds)
{
    for (const TCDDBMP3& row : rows) {
        const TCDDBCDTrack* track = TrackOfRow(row, cds);
        if (!row.Checked || !row.Entry || !track)
            continue;
        const TCDDBCD& cd = *CdOfRow(row, cds);
        WriteTrack(*row.Entry, track->HasArtist ? track->Artist : cd.Artist, track->Title, cd, row.TrackNo);
    }
}
