#pragma once

#include <QByteArray>
#include <QString>

// File names are bytes, nearly always UTF-8. A name that is not (a Latin-1
// byte, a lone continuation byte, an overlong sequence...) does not survive
// QFile::decodeName and QFile::encodeName: the text shows U+FFFD where the
// bytes could not be decoded, and that text names another file, or none.
//
// Paths therefore come in three forms here:
// - native: the bytes the system calls take;
// - shown: QFile::decodeName of the native path, for every text the user
//   sees or a tag may take (replacement characters where bytes did not decode);
// - path text (a "path key"): a QString that names exactly one native path.
//   For a native path that survives the round trip it is the shown text
//   itself; otherwise every byte that does not decode as UTF-8 is carried as
//   the lone surrogate U+DC80..U+DCFF (as Python's "surrogateescape"). Path
//   texts are what the program keeps, compares and hands around as paths
//   (the undo journal, the tag reader's file name, the listed folder), and
//   NativeFromPath turns one into its bytes at the system call.
//
// For valid names all three forms are what QFile gives, and NativeFromPath
// costs what QFile::encodeName costs.

// True when QFile::encodeName(QFile::decodeName(native)) gives native back.
bool IsPlainNativeName(const QByteArray& native);
// The path text of a native path.
QString PathFromNative(const QByteArray& native);
// The native path of a path text; QFile::encodeName for any text without
// escaped bytes.
QByteArray NativeFromPath(const QString& path);
// What the user is shown for a path text: escaped bytes as U+FFFD.
QString ShownPath(const QString& path);
// True when the path text carries bytes that are not valid UTF-8.
bool HasEscapedBytes(const QString& path);

// The path text of a path given as shown text (a stored setting, a
// favourite): the text itself when it names something or holds no U+FFFD;
// otherwise each component holding U+FFFD is looked up among the names of
// its parent folder whose shown text it is (the first by byte order when
// several are). A path that cannot be resolved comes back as it is.
QString ResolveShownPath(const QString& shown);
// The path text names a folder (links followed).
bool IsFolderPath(const QString& path);
