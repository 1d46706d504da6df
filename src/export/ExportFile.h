#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QSaveFile;

// Pages, playlists and saved templates are written whole through a save file:
// the new content goes to a temporary file beside the target, which replaces
// the target only once everything was written. A failure keeps the old file.

// Writes bytes to path, creating missing folders. Throws TExportError, naming
// the path and the reason, when that fails.
void WriteExportFile(const QString& path, const QByteArray& bytes);

// Text as the lines of an 8-bit file: UTF-8, every line (CR LF, CR or LF
// ended) followed by CR LF; an empty text gives no bytes. withBom puts the
// UTF-8 byte-order mark first (pages: browsers then ignore a template's
// other charset declaration).
QByteArray TextFileBytes(const QString& text, bool withBom);

// The writing step, replaceable for tests that make writes fail: writes the
// bytes into the open save file and answers whether all were written.
using TExportFileWriter = std::function<bool(QSaveFile& file, const QByteArray& bytes)>;
// Installs a writer (empty: the plain one) and returns the previous one.
TExportFileWriter SetExportFileWriter(TExportFileWriter writer);
