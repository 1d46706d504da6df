#pragma once

#include <QString>

#include <optional>
#include <vector>

class TEintragdaten;

// How the track-number dialog asks the files to be numbered.
struct TTrackNrEinstellungen {
    quint8 NumberingType = 0; // 0 consecutive from StartValue in list order; 1 from the file names
    quint8 TotalMode = 0;     // 0 no total; 1 the highest number found; 2 FixedTotal
    qint32 StartValue = 0;
    qint32 FixedTotal = 0;
};

// One file while the tracks are numbered; -1 for no number or total.
struct TTrackNrMp3 {
    TEintragdaten* Entry = nullptr;
    qint64 Number = -1;
    qint64 Total = -1;
};

// The first run of ASCII digits in the file name without its extension
// ("03 - Title 2.mp3" gives 3); nothing when there is none or the number does
// not fit 31 bits.
std::optional<qint32> TrackNumberFromFileName(const QString& fileName);

// Gives every item its number (items in list order) and total.
void AssignTrackNumbers(std::vector<TTrackNrMp3>& items, const TTrackNrEinstellungen& settings);

// The track frame's text: the number, then "/" and the total when there is
// one; empty when the number is below 1 (no proper track number).
QString TrackText(qint64 number, qint64 total);
