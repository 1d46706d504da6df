#pragma once

#include "localisation/LanguageLines.h"
#include "localisation/LocaleLanguage.h"

#include <QString>

#include <vector>

// The header of one available language: a built-in one (ResName set) or an
// external file (FileName set).
class TLanguageRes {
public:
    TLanguageRes(const TLanguageLines& lines, const QString& resName, const QString& fileName);

    bool IsBuiltIn() const { return !ResName.isEmpty(); }
    // True when the file was made for this program version.
    bool IsCurrentVersion() const;

    TLanguageLines Strings;
    QString ResName;  // "GERMAN", "ENGLISH"; empty for a file
    QString FileName; // full path; empty for a built-in language
    QString Language;
    QString LanguageInt;
    QString Author;
    QString QLNVersion;
    int PrimaryLanguageID = -1; // -1 when missing or not a number
    int SubLanguageID = -1;
};

using TLanguageResList = std::vector<TLanguageRes>;

// Every available language: the built-in ones and the "*.qlnlang" files of
// LanguageFolders() that have a "Language" and a "QLNVersion", sorted by
// Language ignoring case. Files that cannot be read are left out.
TLanguageResList FindLanguages();

// The row to select: the built-in language named name (byFile false) or the
// file with exactly the path name (byFile true); without one, the first row
// whose primary and sublanguage match the user's, else the first row of the
// user's primary language, else the built-in German. -1 when none fits.
int BestLanguageRow(const TLanguageResList& rows, const QString& name, bool byFile, TWindowsLanguage user);
