#pragma once

#include <QByteArray>
#include <QList>

class QMimeData;

// File lists in the formats file managers exchange through drags and the
// clipboard. Paths are in the file system's encoding (bytes).
namespace FileMimeData {

inline constexpr char UriListFormat[] = "text/uri-list";
inline constexpr char PlainTextFormat[] = "text/plain";
inline constexpr char GnomeCopiedFilesFormat[] = "x-special/gnome-copied-files";
inline constexpr char KdeCutSelectionFormat[] = "application/x-kde-cutselection";

// "file:///..." with every byte but unreserved ones and "/" percent-encoded.
QByteArray FileUri(const QByteArray& path);
// The local path of a "file:" URI whose host is empty, "localhost" or this
// machine; nothing (empty) for any other URI.
QByteArray LocalPathOfUri(const QByteArray& uri);

// text/uri-list (CRLF after each URI) and text/plain (the paths, one a line);
// for the clipboard also x-special/gnome-copied-files ("copy" or "cut", then
// the URIs, LF between, no final LF) and application/x-kde-cutselection
// ("1" on a cut).
QMimeData* NewDragData(const QList<QByteArray>& paths);
QMimeData* NewClipboardData(const QList<QByteArray>& paths, bool cut);

// The local files of the data: text/uri-list from any program (LF or CRLF,
// "#" lines skipped, remote hosts ignored), else GNOME's copied-files
// formats, else the text/plain form GNOME Files 3.x puts on the clipboard.
QList<QByteArray> FilesOf(const QMimeData& data);
// The data stands for files that were cut (to be moved).
bool IsCut(const QMimeData& data);
// The data holds a format FilesOf reads.
bool HasFiles(const QMimeData& data);

}
