#pragma once

#include <QString>

// What a path names once its links are followed: the kind of file there.

enum class TFileKind {
    Missing, // nothing there (also a link that leads nowhere)
    Regular,
    Folder,
    CharDevice,
    BlockDevice,
    Fifo,
    Socket,
    Unknown, // the path could not be looked at (no permission, a loop of links)
};

// error: set to the system's error number when the kind is Unknown.
TFileKind FileKindOf(const QString& path, int* error = nullptr);

// Whether a file may be replaced by a new one under its name: a regular
// file, or nothing yet. Anything else (a device, a pipe, a folder) is not
// ours to replace: a new regular file in its place would end it for every
// program that uses it.
bool IsReplaceable(TFileKind kind);
