#pragma once

#include <QString>

// A file name split before its last ".": "song.MP3" gives "song" and ".MP3";
// a name without a dot has no extension.
struct TFileNameParts {
    QString Stem;
    QString Extension;
};

TFileNameParts SplitFileName(const QString& name);

// Whether a name the program built from a stem (by replacing text, converting
// case, from tags) and the old extension can name a file of its own in the
// same folder: the stem not empty, "." or "..", neither holding a character
// forbidden in names (IsForbiddenInNames, platform/FileNames.h: "/", control
// and reordering characters), and the whole name not longer than the file
// system allows (255 bytes).
bool IsUsableNewName(const QString& stem, const QString& extension);

// The stem, shortened at its end (whole characters, trailing blanks dropped)
// so that stem and extension together fit the file system's limit for one
// name (255 bytes); unchanged when it fits.
QString StemThatFits(const QString& stem, const QString& extension);
