#pragma once

#include <QString>

#include <memory>
#include <vector>

// One track of a CD found in the database.
class TCDDBCDTrack {
public:
    bool HasArtist = false; // the title named an artist before " / "
    QString Artist;
    QString Title;
};

// One CD found in the database.
class TCDDBCD {
public:
    QString Category; // the freedb category ("rock", "misc"...)
    QString DiscId;
    QString Query; // the disc query that found it
    QString Artist;
    QString Title;
    std::vector<TCDDBCDTrack> Tracks; // in track order
    bool TextCut = false; // a text of it was too long and was cut (TServerText::Bound)

    int TrackCount() const { return int(Tracks.size()); }
    // "Artist - Title (category)", as the found CDs are listed.
    QString Caption() const;
};

using TCDDBCDList = std::vector<std::unique_ptr<TCDDBCD>>;

// A disc title "Artist / Title", split at the first " / " and trimmed;
// without one, artist and title are both the whole trimmed text.
void ParseDiscTitle(const QString& text, QString& artist, QString& title);
// A track title, split like a disc title; without " / " there is no artist
// and the title is the whole trimmed text.
TCDDBCDTrack ParseTrackTitle(const QString& text);
// The text a track is listed with: "Artist - Title" or the title alone.
QString TrackCaption(const TCDDBCDTrack& track);
