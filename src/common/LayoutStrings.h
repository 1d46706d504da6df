#pragma once

#include "common/LayoutArrays.h"

#include <QByteArray>
#include <QString>

// Tool-bar layouts, list columns and input-page fields are stored as plain
// concatenations of four-character codes; column widths as one unsigned
// 16-bit little-endian value per column.

constexpr int LayoutCodeLength = 4;

// The codes of a stored string: one per four characters, in order. A
// remainder shorter than a code cannot name anything and is dropped.
TStringArray SplitLayoutCodes(const QString& joined);

// The stored string of a code sequence. Elements that are not exactly four
// characters long (an empty code for a button no row describes) are left out,
// so that they can never shift the codes after them.
QString JoinLayoutCodes(const TStringArray& codes);

// The widths of a stored value: one per two bytes. A trailing odd byte is
// ignored, never read past.
TWordArray WidthsFromBytes(const QByteArray& bytes);

// The stored value of a width array: two bytes per width, little-endian.
QByteArray WidthsToBytes(const TWordArray& widths);
