#include "cddb/CDDBSearch.h"

#include "cddb/ServerText.h"
#include "platform/CdToc.h"
#include "tagengine/FrameCodecs.h"

#include <algorithm>
#include <optional>

namespace {

const QLatin1String ListEnd(".");
const QLatin1String TrackTitleKey("TTITLE");

bool Fail(TCDDBSearchError& error, TCDDBSearchError::TKind kind, const QString& line = QString())
{
    error.Kind = kind;
    error.ServerLine = line;
    return false;
}

bool Fail(TCDDBSearchError& error, const TFreedbConnectionError& failure)
{
    const bool cancelled = failure.Kind() == TFreedbFailure::Cancelled;
    error.Failure = failure.Kind();
    return Fail(error, cancelled ? TCDDBSearchError::Cancelled : TCDDBSearchError::RequestFailed, failure.Detail());
}

QChar CharAt(const QString& text, qsizetype index)
{
    return index < text.size() ? text.at(index) : QChar();
}

// The track index of a "TTITLEn" key; none when n is not a number or no
// track of a CD.
std::optional<quint32> TrackIndexOf(const QString& key)
{
    const QString digits = key.mid(TrackTitleKey.size());
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), IsASCIIDigit))
        return std::nullopt;
    const auto index = ParseLeadingNumber(digits);
    if (!index || *index >= quint32(TCdToc::MaxTracks))
        return std::nullopt;
    return index;
}

// Cuts the CD's texts that are too long; the CD says when one was cut.
void BoundTexts(TCDDBCD& cd)
{
    bool cut = false;
    for (QString* text : {&cd.Category, &cd.DiscId, &cd.Artist, &cd.Title})
        cut |= TServerText::Bound(*text);
    for (TCDDBCDTrack& track : cd.Tracks) {
        cut |= TServerText::Bound(track.Artist);
        cut |= TServerText::Bound(track.Title);
    }
    cd.TextCut = cd.TextCut || cut;
}

// Sends one command, handing its reply's lines to onLine; the failure when
// it got no usable reply.
std::optional<TFreedbConnectionError> Send(TmyFreedbHttp& http, const QString& command,
                                           const TReplyLineReader& onLine)
{
    try {
        http.Request(command, onLine);
    } catch (const TFreedbConnectionError& failure) {
        return failure;
    }
    return std::nullopt;
}

// The CDs of a "cddb query" reply as its lines arrive: the first
// MaxMatchesPerQuery are kept, the others counted in the error's
// MatchesLeftOut.
class TQueryReplyReader {
public:
    TQueryReplyReader(const QString& query, TCDDBCDList& cds, TCDDBSearchError& error)
        : m_query(query), m_cds(cds), m_error(error)
    {
    }

    // Takes the next line; false when the reply has no more matches.
    bool Take(const QString& line)
    {
        if (m_lines++ == 0)
            return TakeStatus(line);
        const QString match = line.trimmed();
        if (match == ListEnd)
            return false;
        Add(match, false);
        return true;
    }

    // After the last line: false with the error when the reply was empty
    // or no success.
    bool Finish()
    {
        if (m_lines == 0)
            return Fail(m_error, TCDDBSearchError::EmptyResponse);
        if (CharAt(m_status, 0) != QLatin1Char('2'))
            return Fail(m_error, TCDDBSearchError::ServerError, m_status);
        return true;
    }

    // The most matches are kept; the rest of the reply would only be counted.
    bool IsFull() const { return m_matches >= MaxMatchesPerQuery; }

private:
    bool TakeStatus(const QString& status)
    {
        m_status = status;
        if (CharAt(status, 0) != QLatin1Char('2'))
            return false;
        if (CharAt(status, 2) == QLatin1Char('0')) {
            Add(status, true);
            return false;
        }
        return CharAt(status, 1) == QLatin1Char('1') && CharAt(status, 2) == QLatin1Char('1');
    }

    void Add(const QString& line, bool withCode)
    {
        auto cd = std::make_unique<TCDDBCD>();
        if (!ParseMatchLine(line, withCode, *cd))
            return;
        if (++m_matches > MaxMatchesPerQuery) {
            ++m_error.MatchesLeftOut;
            return;
        }
        cd->Query = m_query;
        m_cds.push_back(std::move(cd));
    }

    const QString& m_query;
    TCDDBCDList& m_cds;
    TCDDBSearchError& m_error;
    QString m_status;
    qsizetype m_lines = 0;
    qsizetype m_matches = 0;
};

bool QueryCDs(TmyFreedbHttp& http, const QString& query, TCDDBCDList& cds, TCDDBSearchError& error)
{
    TQueryReplyReader reader(query, cds, error);
    const auto failure =
        Send(http, QStringLiteral("cddb query ") + query, [&reader](const QString& line) { return reader.Take(line); });
    if (failure) {
        if (failure->Kind() == TFreedbFailure::Cancelled || !reader.IsFull())
            return Fail(error, *failure);
        // The list is full: the rest of the reply was only being counted.
        error.LeftOutUncounted = true;
    }
    return reader.Finish();
}

bool ReadCD(TmyFreedbHttp& http, TCDDBCD& cd, TCDDBSearchError& error)
{
    QStringList lines;
    const auto failure = Send(http, QStringLiteral("cddb read ") + cd.Category + QLatin1Char(' ') + cd.DiscId,
                              [&lines](const QString& line) {
                                  lines << line;
                                  return true;
                              });
    if (failure)
        return Fail(error, *failure);
    return ParseReadReply(lines, cd, error);
}

}

bool ParseMatchLine(const QString& text, bool withCode, TCDDBCD& cd)
{
    const QString line = TServerText::Clean(text);
    qsizetype at = 0;
    if (withCode) {
        at = line.indexOf(QLatin1Char(' '));
        if (at < 0)
            return false;
        ++at;
    }
    const auto word = [&line, &at]() {
        const qsizetype blank = line.indexOf(QLatin1Char(' '), at);
        const QString text = line.mid(at, blank < 0 ? -1 : blank - at);
        at = blank < 0 ? line.size() : blank + 1;
        return text;
    };
    cd.Category = word();
    cd.DiscId = word();
    const QString title = line.mid(at);
    if (cd.Category.isEmpty() || cd.DiscId.isEmpty())
        return false;
    ParseDiscTitle(title, cd.Artist, cd.Title);
    BoundTexts(cd);
    return true;
}

bool ParseQueryReply(const QStringList& lines, const QString& query, TCDDBCDList& cds, TCDDBSearchError& error)
{
    TQueryReplyReader reader(query, cds, error);
    for (const QString& line : lines)
        if (!reader.Take(line))
            break;
    return reader.Finish();
}

bool ParseReadReply(const QStringList& lines, TCDDBCD& cd, TCDDBSearchError& error)
{
    if (lines.isEmpty())
        return Fail(error, TCDDBSearchError::EmptyResponse);
    if (!lines.first().startsWith(QLatin1String("210")))
        return Fail(error, TCDDBSearchError::ServerError, lines.first());
    // Each title goes to the track its key names, whatever the order of the
    // lines; a long title comes in several lines of one key, whose values
    // join. A track without a line keeps an empty title.
    std::vector<QString> titles;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& raw = lines.at(i);
        const QString line = raw.trimmed();
        if (line == ListEnd)
            break;
        if (line.startsWith(QLatin1Char('#')) || line.size() < 6 || !line.startsWith(TrackTitleKey))
            continue;
        const qsizetype equals = raw.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const auto index = TrackIndexOf(raw.left(equals).trimmed());
        if (!index)
            continue;
        if (titles.size() <= *index)
            titles.resize(*index + 1);
        titles[*index] += TServerText::Clean(raw.mid(equals + 1));
    }
    for (const QString& title : titles)
        cd.Tracks.push_back(ParseTrackTitle(title));
    BoundTexts(cd);
    return true;
}

bool QueryAndReadCDs(TmyFreedbHttp& http, const QStringList& queries, TCDDBCDList& cds, TCDDBSearchError& error,
                     const std::function<void(TCDDBSearchPhase)>& onPhase)
{
    const auto phase = [&onPhase](TCDDBSearchPhase p) {
        if (onPhase)
            onPhase(p);
    };
    const auto finish = [&phase, &error](bool success) {
        if (success)
            phase(TCDDBSearchPhase::Finished);
        else
            phase(error.Kind == TCDDBSearchError::Cancelled ? TCDDBSearchPhase::Cancelled : TCDDBSearchPhase::Failed);
        return success;
    };
    cds.clear();
    error = {};
    phase(TCDDBSearchPhase::QueryCDs);
    for (const QString& query : queries)
        if (!QueryCDs(http, query, cds, error))
            return finish(false);
    phase(TCDDBSearchPhase::ReadTracks);
    for (const auto& cd : cds)
        if (!ReadCD(http, *cd, error))
            return finish(false);
    return finish(true);
}
