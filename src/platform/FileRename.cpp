#include "platform/FileRename.h"

#include "platform/NativePath.h"


#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

int RenameAt2NoReplace(const char* from, const char* to)
{
#ifdef SYS_renameat2
    return static_cast<int>(syscall(SYS_renameat2, AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE));
#else
    errno = ENOSYS;
    return -1;
#endif
}

}

bool IsSameFile(const QByteArray& a, const QByteArray& b)
{
    struct stat sa {}, sb {};
    if (::lstat(a.constData(), &sa) != 0)
        return false;
    if (::lstat(b.constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsSameFile(const QString& a, const QString& b)
{
    return IsSameFile(NativeFromPath(a), NativeFromPath(b));
}

bool RenameNoReplace(const QString& oldPath, const QString& newPath)
{
    return RenameNoReplace(NativeFromPath(oldPath), NativeFromPath(newPath));
}

bool RenameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (from.isEmpty() || to.isEmpty())
        return false;
    if (from == to)
        return true;

    // The new name is held by the very same file: this is a case-only (or
    // hard-link) rename on a case-insensitive file system. Plain rename is safe.
    // Two hard links of one file are not a case change: refuse those.
    if (IsSameFile(from, to)) {
        if (PathFromNative(from).compare(PathFromNative(to), Qt::CaseInsensitive) != 0)
            return false;
        return ::rename(from.constData(), to.constData()) == 0;
    }

    if (RenameAt2NoReplace(from.constData(), to.constData()) == 0)
        return true;
    if (errno != ENOSYS && errno != EINVAL)
        return false;

    // File systems without RENAME_NOREPLACE: link() never replaces.
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    if (::unlink(from.constData()) != 0) {
        ::unlink(to.constData());
        return false;
    }
    return true;
}
