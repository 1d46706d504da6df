#pragma once

#include <QtGlobal>

#include <cerrno>

// Why reading or writing a file's tags failed, beside the English text of the
// reader's LastError(), so that the user can be told the reason in the
// program's language.
enum class TTagError : quint8 {
    None,               // no failure
    Other,              // any other failure: LastError() tells it
    FileMissing,        // the file (or its folder) no longer exists
    FileEmpty,          // the file holds no byte
    VersionUnsupported, // the ID3v2 tag is of a version that is not read (2.2, 2.5...)
    TagDamaged,         // the ID3v2 tag could not be read whole
    NoPermission,       // the file or its folder may not be read or written
    DiskFull,           // no room left on the disk (or over the quota)
    ChangedElsewhere,   // another program changed the file after its tags were read
    ReadOnlyDisk,       // the file lies on a file system mounted read-only
};

// The kind of failure a system error number stands for.
inline TTagError TagErrorOfErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return TTagError::FileMissing;
    case EACCES:
    case EPERM:
        return TTagError::NoPermission;
    case EROFS:
        return TTagError::ReadOnlyDisk;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return TTagError::DiskFull;
    default:
        return TTagError::Other;
    }
}
