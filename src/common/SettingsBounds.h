#pragma once

#include "common/InputPages.h"
#include "common/LayoutArrays.h"
#include "common/ToolbarButtons.h"

#include <QList>
#include <QSet>
#include <QStringList>

// How much of each list the settings may hold: what the windows can show.
// Reading keeps that much and counts what it leaves out, so that a settings
// file edited by hand or damaged cannot make a start slow (each start writes
// back what it read, so it would slow every start after it); the windows
// that make these lists never make them longer.

// Every button once, and a separator between and around them.
inline constexpr int MaxToolbarSeparators = ToolbarButtonCount + 1;
inline constexpr int MaxInputPages = 32;
inline constexpr int MaxFavorites = 100;
inline constexpr int MaxFileNamePresets = 100;
// A stored folder longer than this (in bytes) is no path the system takes.
inline constexpr qsizetype MaxStoredPathBytes = 4095;

// What reading the settings left out, for the user to be told once.
struct TLeftOutSettings {
    int ToolbarEntries = 0; // buttons stored again, separators beyond the bound
    int Columns = 0;        // list columns stored again
    int InputPages = 0;
    int Favorites = 0;
    int FileNamePresets = 0;

    bool Any() const;
    // One line per list that lost something, in the current language.
    QStringList Lines() const;
};

// The tool-bar codes as the tool bar shows them: every known button once, at
// its first place, and at most MaxToolbarSeparators separators. Unknown codes
// go without a word (the tool bar never shows them); the rest that goes is
// added to *leftOut.
TStringArray BoundToolbarCodes(const TStringArray& codes, int* leftOut = nullptr);

// The places of the list columns that are shown: every column of the
// catalogue once, at its first place. Unknown IDs go without a word; IDs
// stored again are added to *leftOut.
QList<qsizetype> ShownColumnPlaces(const TStringArray& ids, int* leftOut = nullptr);

// The items at the places (ascending); places beyond the list are skipped.
template <typename T> QList<T> ItemsAtPlaces(const QList<T>& items, const QList<qsizetype>& places)
{
    QList<T> kept;
    for (const qsizetype place : places)
        if (place < items.size())
            kept.append(items.at(place));
    return kept;
}

// The frame IDs a page may show: those of the frame catalogue, every one
// once in the whole layout (seen holds those of the pages before).
QStringList PageFrameIDs(const QStringList& ids, QSet<QString>& seen);

// Whether a stored folder can be a path at all.
bool IsStorablePath(const QString& path);
