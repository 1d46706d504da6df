#pragma once

#include <QLocale>
#include <QtGlobal>

#include <optional>

// Language files name their language by the numbers of a Windows language
// identifier: the primary language (low 10 bits) and the sublanguage (the
// bits above). These map a locale to those numbers.
struct TWindowsLanguage {
    int primary = 0;
    int sub = 0;
};

// The Windows language identifier of a locale. A territory the table does not
// know gives the language's primary number with the neutral sublanguage 0; a
// language it does not know gives 0. The "C" locale counts as English (United
// States).
quint16 WindowsLanguageId(const QLocale& locale);
TWindowsLanguage WindowsLanguage(const QLocale& locale);
// The locale of a language file's numbers: the exact identifier, else the
// first locale of the primary language; the "C" locale when none is known.
QLocale LocaleOfWindowsLanguage(int primary, int sub);

// The user's locale for choosing a language: the system's, unless one was set
// (tests set one; std::nullopt returns to the system's).
QLocale UserLocale();
void SetUserLocale(const std::optional<QLocale>& locale);
