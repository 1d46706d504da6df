#pragma once

#include "cddb/CDDBData.h"
#include "platform/CdToc.h"
#include "tagengine/Eintragdaten.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One row of the lookup wizard's result pages: a selected file (or, in the
// search by CD, a padding row without file for a track no file has) and what
// it is matched with.
class TCDDBMP3 {
public:
    qint32 TrackNo = -1;            // the file's track number, -1 = none
    QString Query;                  // the disc query of its CD (tag mode)
    TEintragdaten* Entry = nullptr; // not owned; nullptr for a padding row
    bool Checked = true;            // written on Finish (tag mode)
    qint32 CdIndex = -1;            // the CD it gets among the found CDs, -1 = none
    qint32 Possibilities = 0;       // CDs found for its query
};

using TCDDBMP3List = std::vector<TCDDBMP3>;

// The track number of a file: the leading digits of its first TRCK line,
// else the first run of digits in its file name without extension; -1 when
// neither gives a number.
qint32 GetTrackNumber(const TEintragdaten& entry);

// One row for each edited entry, in list order.
TCDDBMP3List CollectRows(const TEintragdatenList& entries);
// By track number, rows without number last; equal numbers by file name,
// ignoring case.
void SortRows(TCDDBMP3List& rows);
// A padding row for the query.
TCDDBMP3 PaddingRow(const QString& query);

// The table of contents of a CD whose tracks are the rows' files, in row
// order: the first track at 00:02.00, each next one after the play length
// of the one before, the lead-out after the last. False when the CD would
// be longer than the 255 minutes a table can hold.
bool BuildTocFromLengths(const TCDDBMP3List& rows, TCdToc& toc);

// The rows and distinct queries of the edited entries that carry a usable
// MCDI frame (tag mode), in list order.
void CollectMcdiRows(const TEintragdatenList& entries, TCDDBMP3List& rows, QStringList& queries);

// Artist and title CD track i gives a file, with artist and title of the
// track swapped when asked (and the track has an artist). A track without
// artist takes the CD's.
QString SuggestedArtist(const TCDDBCD& cd, int track, bool exchange);
QString SuggestedTitle(const TCDDBCD& cd, int track, bool exchange);

// Sets a text frame of one string on the entry, replacing the frame of that
// ID; the entry becomes changed.
void SetEntryTextFrame(TEintragdaten& entry, const QString& id, const QString& text);

// Writes CD track i into the file of row i, for every track that has a file:
// artist, title, album and "track/count", and with mcdi (not empty) the
// frame MCDI with that body. Rows beyond the CD's tracks stay untouched.
void WriteSuggestion(const TCDDBCD& cd, const TCDDBMP3List& rows, bool exchange, const QByteArray& mcdi);

// Gives each row the number of CDs of its query and the first of them; rows
// whose query found none get -1.
void MatchPossibilities(TCDDBMP3List& rows, const TCDDBCDList& cds);
// Moves the row to the next (direction >= 0) or previous CD of its query,
// wrapping at the ends; false when the row has no other CD to go to.
bool StepPossibility(TCDDBMP3& row, const TCDDBCDList& cds, int direction);
// "k/n": the row's CD as the k-th of the n CDs of its query; "?" without CD.
QString PossibilityText(const TCDDBMP3& row, const TCDDBCDList& cds);
// The row's CD and its track of the row's track number, or nullptr.
const TCDDBCD* CdOfRow(const TCDDBMP3& row, const TCDDBCDList& cds);
const TCDDBCDTrack* TrackOfRow(const TCDDBMP3& row, const TCDDBCDList& cds);
// Writes every checked row that has a CD and a track of its number.
void WritePossibilities(const TCDDBMP3List& rows, const TCDDBCDList& cds);
