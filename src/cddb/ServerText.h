#pragma once

#include <QString>

// A text that a server sent, made fit for a message: a server may send any
// bytes, and a line of thousands of characters.
struct TServerText {
    // The text without blanks at its ends, on one line, at most
    // MaxShownChars characters and "…" where it was cut; control and other
    // unprintable characters replaced by U+FFFD, line breaks and tabs by
    // blanks.
    QString Shown;
    // The whole text for a message's details (line breaks kept, at most
    // MaxDetailChars characters); empty when Shown already is the whole text.
    QString Details;

    static constexpr qsizetype MaxShownChars = 300;
    static constexpr qsizetype MaxDetailChars = 16 * 1024;
    // The most characters (UTF-16 units) a value from a server keeps (an
    // artist, a title, a category): a server may send a million, which
    // would go into every tag.
    static constexpr qsizetype MaxValueChars = 1000;

    static TServerText Of(const QString& text);

    // A text of a server's reply as the program keeps it (a title, a
    // category, a site), cleaned once where the reply is read: a run of
    // control characters (NUL, ESC, BEL, tabs...) and line or paragraph
    // separators becomes one blank (with the blanks beside it); invisible
    // characters that can hide text or change its order go (bidirectional
    // embeddings, overrides and isolates, zero-width spaces, byte-order
    // marks, tag characters outside a flag). All other characters stay as
    // the server sent them, the format characters that scripts, emoji and
    // right-to-left texts are written with among them (joiners, the marks
    // LRM, RLM and ALM, the Arabic number signs, the tags of a flag).
    static QString Clean(const QString& text);
    // Cuts a value longer than MaxValueChars on a whole character (a letter
    // with its marks, an emoji with its joiners) and ends it with "…", so
    // that it says it was cut; true when it was cut.
    static bool Bound(QString& value);
};
