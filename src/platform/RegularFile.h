#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a file the user named (a language file, a template), never waiting:
// the file is opened without blocking and read only when it is a regular
// file, so that a FIFO, a device or a socket of that name is refused at once
// instead of waiting for a writer that may never come.
//
// The bytes of the regular file at path (a path text, NativePath.h), links
// followed; nothing when it cannot be opened or read, is no regular file, or
// holds more than maxBytes. error (when given) then receives the system's
// error number: ENODEV for what is no regular file, EFBIG for a file that is
// too large.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes, int* error = nullptr);
