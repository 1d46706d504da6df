#include "platform/FileKind.h"

#include "platform/NativePath.h"

#include <cerrno>

#include <sys/stat.h>

namespace {

TFileKind KindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return TFileKind::Regular;
    if (S_ISDIR(mode))
        return TFileKind::Folder;
    if (S_ISCHR(mode))
        return TFileKind::CharDevice;
    if (S_ISBLK(mode))
        return TFileKind::BlockDevice;
    if (S_ISFIFO(mode))
        return TFileKind::Fifo;
    if (S_ISSOCK(mode))
        return TFileKind::Socket;
    return TFileKind::Unknown;
}

bool StatOf(const QString& path, struct stat& st)
{
    return !path.isEmpty() && ::stat(NativeFromPath(path).constData(), &st) == 0;
}

}

TFileKind FileKindOf(const QString& path, int* error)
{
    struct stat st {};
    if (StatOf(path, st))
        return KindOfMode(st.st_mode);
    if (errno == ENOENT || errno == ENOTDIR)
        return TFileKind::Missing;
    if (error)
        *error = errno;
    return TFileKind::Unknown;
}

bool IsReplaceable(TFileKind kind)
{
    return kind == TFileKind::Regular || kind == TFileKind::Missing;
}
