#include "cddb/CDDBData.h"

namespace {

const QLatin1String TitleSeparator(" / ");

// Text before and after the first " / ", trimmed; false without one.
bool SplitAtSeparator(const QString& text, QString& before, QString& after)
{
    const qsizetype at = text.indexOf(TitleSeparator);
    if (at < 0)
        return false;
    before = text.left(at).trimmed();
    after = text.mid(at + TitleSeparator.size()).trimmed();
    return true;
}

}

QString TCDDBCD::Caption() const
{
    return Artist + QStringLiteral(" - ") + Title + QStringLiteral(" (") + Category + QLatin1Char(')');
}

void ParseDiscTitle(const QString& text, QString& artist, QString& title)
{
    const QString trimmed = text.trimmed();
    if (!SplitAtSeparator(trimmed, artist, title)) {
        artist = trimmed;
        title = trimmed;
    }
}

TCDDBCDTrack ParseTrackTitle(const QString& text)
{
    TCDDBCDTrack track;
    const QString trimmed = text.trimmed();
    track.HasArtist = SplitAtSeparator(trimmed, track.Artist, track.Title);
    if (!track.HasArtist)
        track.Title = trimmed;
    return track;
}

QString TrackCaption(const TCDDBCDTrack& track)
{
    return track.HasArtist ? track.Artist + QStringLiteral(" - ") + track.Title : track.Title;
}
