#pragma once

#include <QByteArray>

#include <utility>

// The longest name a folder entry may have, in bytes.
constexpr qsizetype NameMax = 255;

// A file name split before its last dot: "Song.mp3" gives "Song" and ".mp3".
// A leading dot (a hidden file) starts no extension.
std::pair<QByteArray, QByteArray> SplitExtension(const QByteArray& name);

// At most room bytes of text, cut only between whole UTF-8 characters.
QByteArray CutAtCharacter(const QByteArray& text, qsizetype room);
