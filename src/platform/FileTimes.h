#pragma once

#include <QString>

// Sets a file's last-write time (nanoseconds since the epoch, UTC); its
// last-access time stays. Files without write permission are refused, like
// every write of the program. False when the time could not be set. The path
// is a path text (platform/NativePath.h).
bool SetLastWriteTime(const QString& path, qint64 writeNs);
