#pragma once

#include "localisation/MultiLanguage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

// Built-in languages are Qt resources ":/Languages/<NAME>" ("GERMAN", the
// base language, and "ENGLISH"); external ones are files "*.qlnlang" beside
// the program or in the user's data folder.

// Thrown when the base language is missing.
class TLanguageLoadError : public std::runtime_error {
public:
    TLanguageLoadError() : std::runtime_error("Can not load language-ressources.") {}
};

// Language files larger than this are not language files and are not read.
inline constexpr qint64 MaxLanguageFileSize = 8 * 1024 * 1024;

// The names of the built-in languages as the resources spell them.
QStringList BuiltInLanguageNames();
// The bytes of a built-in language, its name compared ignoring case; nothing
// when there is no such language or it is empty.
std::optional<QByteArray> ReadBuiltInLanguage(const QString& name);
// The bytes of a language file; nothing when it cannot be read, is no regular
// file (a FIFO is refused without waiting for a writer) or is larger than
// MaxLanguageFileSize.
std::optional<QByteArray> ReadLanguageFile(const QString& path);
// True when lines have a "Language" and a "QLNVersion" value.
bool IsLanguageFile(const TLanguageLines& lines);

// The folders searched for "*.qlnlang" files: the program's folder and the
// user's data folder, unless others were set (tests; std::nullopt returns to
// those two).
QStringList LanguageFolders();
void SetLanguageFolders(const std::optional<QStringList>& folders);

// Loads the built-in German base language into both languages of LangStrings.
// Throws TLanguageLoadError when it is missing.
void LoadBaseLanguage();

// Loads the chosen language into LangStrings: the built-in language named
// resourceName when there is one, else the language file fileName. Whatever
// cannot be found or read (or is no language file) leaves the chosen language
// empty; IsLanguageLoaded() then says so. Never throws.
TMultiLanguage& LoadLanguage(const QString& resourceName, const QString& fileName);

// Checks the signature of the language in use: the chosen language, or the
// base language when none could be loaded. digest receives the computed
// signature, for the language warning.
bool CheckActiveLanguageSignature(QString& digest);

// Lets the tag engine show its texts (frame names, channel modes) in the
// chosen language.
void InstallEngineTextLookup();
