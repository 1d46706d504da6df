#pragma once

#include <QString>
#include <QStringList>

// The letter-case modes of the case-conversion commands.
enum TCaseMode : int {
    cmWords = 1,     // Every Word Capitalised
    cmUpper = 2,     // ALL UPPER CASE
    cmLower = 3,     // all lower case
    cmFirstOnly = 4, // First letter upper case
};

// The text in the mode's case; any other mode returns it unchanged.
//
// Case is Unicode and the same whatever the user's language (tags mix
// languages, so no Turkish dotted i): full mappings on code points, so that
// "straße" upper is "STRASSE" and a final sigma stays final. Words (mode 1)
// begin after a blank, a line break or one of ! " & ( ) + , - . / : ; < = > ?;
// other characters that are no letters (digits, apostrophes, "_") neither end
// a word nor begin one, so "4ever" gives "4Ever" and "rock'n'roll"
// "Rock'n'roll". A word's first letter takes the title-case form of the
// letter itself, never of its lower case, so a capital that is right keeps
// its bytes ("İstanbul" stays as it is). A character the conversion changed
// is composed (NFC) with the marks that follow it, so that no letter is left
// as a base letter and a combining mark where the text had one letter ("İn"
// lower, then first letter upper, is "İn" again); every other character keeps
// its code points, even one that NFC would replace (U+212B, U+F9D1).
// Text already in the mode's case is returned unchanged.
QString ConvertCase(const QString& text, int mode);
// Each string converted on its own: in mode 1 and 4 every string begins
// anew, as every artist of a list begins with a capital.
QStringList ConvertCase(const QStringList& strings, int mode);
