#pragma once

#include <QString>

#include <optional>

struct stat;

// Sets a file's last-write time (nanoseconds since the epoch, UTC); its
// last-access time stays. Files without write permission are refused, like
// every write of the program. False when the time could not be set. The path
// is a path text (platform/NativePath.h).
bool SetLastWriteTime(const QString& path, qint64 writeNs);

// A stat's last-write time, in nanoseconds since the epoch (UTC).
qint64 ModificationNs(const struct stat& st);
// The file's last-write time as its file system keeps it (some keep whole
// seconds only, or even two), or none when the file cannot be looked at.
std::optional<qint64> LastWriteTime(const QString& path);
