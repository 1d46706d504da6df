#pragma once

#include <QString>

// Paths and links of exported pages and playlists. Folders end in "/"; paths
// compare exactly, with case.

// The folder part of a path, up to and with its last "/" (empty when none).
QString FolderOf(const QString& path);
// The name after the last "/".
QString NameOf(const QString& path);
// A name without its extension (the text before the last ".").
QString StemOf(const QString& name);

// The path p as seen from folder f: the names both share from the start are
// dropped, one "../" stands for each name left of f, then come the names left
// of p's folder and p's file name. The same folder gives p's file name alone
// (empty for a folder).
QString RelativePath(const QString& folder, const QString& path);

// The page of group i (from 0) of an output file: its folder, its name
// without extension ("Group-Data" when that is empty), "-Files/", i + 1 and
// ".htm". "list.htm" and 0 give "list-Files/1.htm".
QString GroupFileName(const QString& outputFile, int index);

// A path text as the href of a link: every name percent-encoded as its
// file-system bytes (UTF-8, or the very bytes of a name that is not valid
// UTF-8), "/" kept between them, so that spaces, "#", "%", "?", quotes and
// backslashes in names reach the file.
QString MakeLink(const QString& path);

// Text as HTML text or attribute value: & < > " ' written as entities.
QString HtmlEscape(const QString& text);
