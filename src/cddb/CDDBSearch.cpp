#include "cddb/CDDBSearch.h"

#include "cddb/FreedbHttp.h"
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

// Sends one command; a failed connection becomes the search's error.
bool Send(TmyFreedbHttp& http, const QString& command, QStringList& lines, TCDDBSearchError& error)
{
    QString reply;
    try {
        http.Request(command, reply);
    } catch (const TFreedbCancelled&) {
        return Fail(error, TCDDBSearchError::Cancelled);
    } catch (const TFreedbConnectionError&) {
        return Fail(error, TCDDBSearchError::NoConnection);
    }
    lines = SplitTextLines(reply);
    return true;
}

}

bool ParseMatchLine(const QString& line, bool withCode, TCDDBCD& cd)
{
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
    return true;
}

bool ParseQueryReply(const QStringList& lines, const QString& query, TCDDBCDList& cds, TCDDBSearchError& error)
{
    if (lines.isEmpty())
        return Fail(error, TCDDBSearchError::EmptyResponse);
    const QString& status = lines.first();
    if (CharAt(status, 0) != QLatin1Char('2'))
        return Fail(error, TCDDBSearchError::ServerError, status);
    qsizetype matches = 0;
    const auto add = [&](const QString& line, bool withCode) {
        auto cd = std::make_unique<TCDDBCD>();
        if (!ParseMatchLine(line, withCode, *cd))
            return;
        if (++matches > MaxMatchesPerQuery) {
            ++error.MatchesLeftOut;
            return;
        }
        cd->Query = query;
        cds.push_back(std::move(cd));
    };
    if (CharAt(status, 2) == QLatin1Char('0')) {
        add(status, true);
    } else if (CharAt(status, 1) == QLatin1Char('1') && CharAt(status, 2) == QLatin1Char('1')) {
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QString line = lines.at(i).trimmed();
            if (line == ListEnd)
                break;
            add(line, false);
        }
    }
    return true;
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
        titles[*index] += raw.mid(equals + 1);
    }
    for (const QString& title : titles)
        cd.Tracks.push_back(ParseTrackTitle(title));
    return true;
}

bool QueryAndReadCDs(TmyFreedbHttp& http, const QStringList& queries, TCDDBCDList& cds, TCDDBSearchError& error,
                     const std::function<void(TCDDBSearchPhase)>& onPhase)
{
    const auto phase = [&onPhase](TCDDBSearchPhase p) {
        if (onPhase)
            onPhase(p);
    };
    const auto finish = [&phase](bool success) {
        phase(success ? TCDDBSearchPhase::Finished : TCDDBSearchPhase::Cancelled);
        return success;
    };
    cds.clear();
    error = {};
    phase(TCDDBSearchPhase::QueryCDs);
    QStringList lines;
    for (const QString& query : queries) {
        if (!Send(http, QStringLiteral("cddb query ") + query, lines, error) ||
            !ParseQueryReply(lines, query, cds, error))
            return finish(false);
    }
    phase(TCDDBSearchPhase::ReadTracks);
    for (const auto& cd : cds) {
        if (!Send(http, QStringLiteral("cddb read ") + cd->Category + QLatin1Char(' ') + cd->DiscId, lines, error) ||
            !ParseReadReply(lines, *cd, error))
            return finish(false);
    }
    return finish(true);
}
