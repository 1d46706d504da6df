#pragma once

#include <QByteArray>
#include <QString>

#include <utility>

// The longest name a folder entry may have, in bytes.
constexpr qsizetype NameMax = 255;

// A file name split before its last dot: "Song.mp3" gives "Song" and ".mp3".
// A leading dot (a hidden file) starts no extension.
std::pair<QByteArray, QByteArray> SplitExtension(const QByteArray& name);

// At most room bytes of text, cut only between whole UTF-8 characters.
QByteArray CutAtCharacter(const QByteArray& text, qsizetype room);

// Whether c stays out of every name the program makes: "/", the control
// characters, and the marks that reorder shown text (the bidi embeddings,
// overrides and isolates U+202A-U+202E and U+2066-U+2069), with which a name
// would show other than it is: "abc" U+202E "gnp.exe.mp3" shows as
// "abc3pm.exe.png".
bool IsForbiddenInNames(QChar c);

// text made fit to be a file name (or its part before the extension): without
// the characters forbidden in names, and without the dots and blanks at its
// start (a name starting with "." is a hidden file, and "." and ".." name no
// file of their own) and the blanks at its end.
QString CleanFileName(const QString& text);
