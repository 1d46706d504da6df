#pragma once

#include "common/LayoutArrays.h"

#include <QString>

#include <array>

// One column the file list, the export and the CD lookup can show.
struct TSpalte {
    // Four characters. IDs beginning with "*" are file data, every other ID
    // is an ID3v2 frame ID; GetColumnText gives an entry's text for either.
    const char* ID;
    // A free-text column (title, artist...). Carried for completeness.
    bool IsText;
    // Language key of the caption: always "COL" + ID.
    const char* CaptionKey;
    int DefaultWidth; // pixels
    // Right-aligned in the list; the list's sort compares such texts after
    // left-padding the shorter one with "0".
    bool RightAligned;
};

constexpr int ColumnCount = 53;

// A row's position (0..52) is the column's number wherever a column is stored
// by number (the list column's tag, the stored sort column).
extern const std::array<TSpalte, ColumnCount> ColumnCatalogue;

// Position of the first row with this ID (exact comparison), -1 when none.
int FindColumnIndex(const QString& id);
// The first row with this ID, nullptr when none.
const TSpalte* FindColumn(const QString& id);
// The caption of a row in the current language.
QString ColumnCaption(const TSpalte& column);

// The file list's columns when none are stored (10 IDs); their widths are
// the catalogue's default widths.
const TStringArray& DefaultColumns();
