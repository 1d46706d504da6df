#pragma once

#include "cddb/CDDBData.h"
#include "cddb/FreedbHttp.h"

#include <QString>
#include <QStringList>

#include <functional>

// What the CD search is doing, for its status text: at the end Finished,
// Failed (the error says why) or Cancelled (the user ended it).
enum class TCDDBSearchPhase { QueryCDs, ReadTracks, Finished, Failed, Cancelled };

// Why a CD search failed (Cancelled: the user ended it, TmyFreedbHttp::Abort),
// and what it left out.
struct TCDDBSearchError {
    enum TKind { None, RequestFailed, EmptyResponse, ServerError, Cancelled };
    TKind Kind = None;
    TFreedbFailure Failure = TFreedbFailure::NoConnection; // why the request failed (RequestFailed)
    // The server's status line (ServerError), or its HTTP status
    // (RequestFailed for an HTTP status).
    QString ServerLine;
    // Matches of the queries beyond the most read of each, also when the
    // search succeeds; at least as many as that when LeftOutUncounted (a
    // reply that was too long or too slow to be counted to its end).
    qsizetype MatchesLeftOut = 0;
    bool LeftOutUncounted = false;
};

// The most matches of one query that are read: a server may list tens of
// thousands, each of which would take a request of its own. Those beyond
// are only counted as they arrive, as long as the reply may run.
constexpr qsizetype MaxMatchesPerQuery = 50;

// Looks every disc query up with "cddb query" and reads each CD found with
// "cddb read" into cds (cleared first), at most MaxMatchesPerQuery of each
// query. On failure the error says why; CDs found before it stay in the
// list. onPhase (optional) hears each phase.
bool QueryAndReadCDs(TmyFreedbHttp& http, const QStringList& queries, TCDDBCDList& cds, TCDDBSearchError& error,
                     const std::function<void(TCDDBSearchPhase)>& onPhase = {});

// One match of a "cddb query" reply: "[code ]category discid title",
// cleaned (TServerText::Clean) before it is split, each value then bounded
// (TServerText::Bound, the CD's TextCut set when one was cut). Only a line
// with a category and a disc id names a CD.
bool ParseMatchLine(const QString& line, bool withCode, TCDDBCD& cd);
// The CDs of a "cddb query" reply's lines for the query (the first
// MaxMatchesPerQuery, the others counted in the error's MatchesLeftOut);
// false with the error when the reply is empty or not a success.
bool ParseQueryReply(const QStringList& lines, const QString& query, TCDDBCDList& cds, TCDDBSearchError& error);
// The tracks of a "cddb read" reply's lines into cd, each title cleaned
// (TServerText::Clean) and its artist and title bounded
// (TServerText::Bound); false with the error when the reply is empty or not
// an entry (210).
bool ParseReadReply(const QStringList& lines, TCDDBCD& cd, TCDDBSearchError& error);
