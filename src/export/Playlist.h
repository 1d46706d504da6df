#pragma once

#include "tagengine/Eintragdaten.h"

#include <QString>

// Pieces of an M3U playlist's lines.

// Seconds of a play length in milliseconds, rounded to the nearest second,
// halves to the even one (2500 ms gives 2, 3500 ms gives 4).
qint64 PlaylistSeconds(qint64 milliseconds);

// The title of an extended playlist's entry: artist " - " title, each "?"
// when empty; the file name without extension when both are. Line breaks
// become blanks, so that the entry stays on its line.
QString PlaylistTitle(const TEintragdaten& entry);
