#include "platform/FileIdentity.h"

#include "platform/NativePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

std::optional<TFileIdentity> FileIdentityOf(const QByteArray& path)
{
    struct statx st {};
    if (path.isEmpty() || ::statx(AT_FDCWD, path.constData(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_BTIME, &st) != 0)
        return std::nullopt;
    TFileIdentity identity;
    identity.Device = static_cast<quint64>(makedev(st.stx_dev_major, st.stx_dev_minor));
    identity.Inode = static_cast<quint64>(st.stx_ino);
    if (st.stx_mask & STATX_BTIME)
        identity.BirthNs = static_cast<qint64>(st.stx_btime.tv_sec) * 1000000000LL + st.stx_btime.tv_nsec;
    return identity;
}

std::optional<TFileIdentity> FileIdentityOf(const QString& path)
{
    return FileIdentityOf(NativeFromPath(path));
}
