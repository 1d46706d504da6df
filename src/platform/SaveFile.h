#pragma once

#include <QString>

#include <optional>

class QSaveFile;

// Puts what was written to a QSaveFile in place of the old file. Qt's own
// commit() flushes its buffer without looking at the result: on a full disk
// it reports success and leaves an empty or cut file where the old one was.
// Here the buffer is flushed first; when that fails, the temporary file goes,
// the old file stays as it was and the reason is given back.
std::optional<QString> CommitSaveFile(QSaveFile& file);
