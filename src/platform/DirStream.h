#pragma once

#include <QByteArray>

#include <memory>

#include <dirent.h>

// An open directory stream, closed when it goes out of scope.
struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using TDirStream = std::unique_ptr<DIR, TDirCloser>;

// Opens the folder at a path in the file system's encoding; null on failure
// (errno tells why).
inline TDirStream OpenDirStream(const QByteArray& path)
{
    return TDirStream(opendir(path.constData()));
}
