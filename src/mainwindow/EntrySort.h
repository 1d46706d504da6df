#pragma once

#include "tagengine/Eintragdaten.h"

#include <QList>

// The order of the file list. A column is a row of the column catalogue;
// an index outside the catalogue compares equal.
//
// File sizes, dates and lengths compare as numbers. Track and part-of-set
// numbers compare as number, then total ("3/12"); an empty one counts as -1
// and comes first, and texts that are no such numbers come after every number,
// in text order. Time stamps compare by their ISO text. Every other column
// compares its texts without regard to case in the user's locale, right-
// aligned columns after left-padding with "0" so that 9 comes before 10.

// Negative when a sorts before b, 0 when equal, positive when after.
int CompareEntriesByColumn(const TEintragdaten& a, const TEintragdaten& b, int column);

// Sorts entries by sortColumn; ties are broken by tieColumns in order (the
// sort column itself is skipped there); direction < 0 reverses the order.
// Stable: entries equal in every compared column keep their order. Every key
// is computed once per sort.
void SortEntries(TEintragdatenList& entries, int sortColumn, int direction, const QList<int>& tieColumns);
