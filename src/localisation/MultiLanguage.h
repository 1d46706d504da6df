#pragma once

#include "localisation/LangFormat.h"
#include "localisation/LanguageLines.h"

#include <QString>

// The language object: the built-in German base language and the language the
// user chose. Every text the user sees is looked up here by its key; a key the
// chosen language lacks (or lists with an empty value) falls back to the base.
//
// Use the free functions below for the common case:
//     Lang("ErrorRenameFile")
//     LangFmt("ErrorRenameFile", {fileName})
// Write the key as a string literal right inside the call, plain or wrapped in
// QStringLiteral / QLatin1String, in one of these forms or as
// LangStrings.GetLangString("Key") / LangStrings.FormatLangString("Key", ...).
// A test checks that every key looked up that way in the sources, and every
// string literal that is a whole caption key ("%Key"), exists in both built-in
// language files. Keys built at run time ("COL" + column ID) are not checked.
//
// Loading (LoadBaseLanguage, LoadLanguage) is in LanguageLoader.h, the
// signature in LanguageSignature.h, the translation of windows in
// ui/ComponentTranslation.h.
class TMultiLanguage {
public:
    // The base language (built-in German), set once at start.
    const TLanguageLines& CustomLangStrings() const { return m_custom; }
    void SetCustomLangStrings(const TLanguageLines& lines) { m_custom = lines; }

    // The chosen language; empty until a language is loaded.
    const TLanguageLines& CurrentLangStrings() const { return m_current; }
    void SetCurrentLangStrings(const TLanguageLines& lines) { m_current = lines; }

    // True when the chosen language holds at least one line.
    bool IsLanguageLoaded() const;

    // The text of key with its escapes resolved ("\n" is a line break, "\x"
    // is x); empty for an empty or unknown key. Keys ignore case.
    QString GetLangString(const QString& key) const;

    // The text of key in the base language alone, escapes resolved.
    QString GetBaseLangString(const QString& key) const;

    // GetLangString, then the positional arguments filled in ("%0:s",
    // "%1:d", ...). A chosen text that cannot be filled in, or that leaves
    // out an argument the base text shows, gives way to the base text (a
    // broken translation must not hide a file name); when neither fits, the
    // text is returned as it stands. Nothing is ever thrown.
    QString FormatLangString(const QString& key, const TLangArgs& args) const;

    // Replaces a caption of the form "%Key" by its text and "%%word" by
    // "%word"; returns true when text was of either form. Anything else stays.
    bool TranslateText(QString& text) const;

private:
    TLanguageLines m_custom;
    TLanguageLines m_current;
};

// The program's one language object.
extern TMultiLanguage LangStrings;

// LangStrings.GetLangString(key).
QString Lang(const QString& key);
// LangStrings.FormatLangString(key, args).
QString LangFmt(const QString& key, const TLangArgs& args);
