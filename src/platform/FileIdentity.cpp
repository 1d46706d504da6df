#include "platform/FileIdentity.h"

#include "platform/NativePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

std::optional<TFileIdentity> IdentityOf(const QByteArray& path, int flags)
{
    struct statx st {};
    if (path.isEmpty() || ::statx(AT_FDCWD, path.constData(), flags, STATX_INO | STATX_BTIME, &st) != 0)
        return std::nullopt;
    TFileIdentity identity;
    identity.Device = static_cast<quint64>(makedev(st.stx_dev_major, st.stx_dev_minor));
    identity.Inode = static_cast<quint64>(st.stx_ino);
    if (st.stx_mask & STATX_BTIME)
        identity.BirthNs = static_cast<qint64>(st.stx_btime.tv_sec) * 1000000000LL + st.stx_btime.tv_nsec;
    return identity;
}

}

std::optional<TFileIdentity> FileIdentityOf(const QByteArray& path)
{
    return IdentityOf(path, AT_SYMLINK_NOFOLLOW);
}

std::optional<TFileIdentity> FileIdentityOf(const QString& path)
{
    return FileIdentityOf(NativeFromPath(path));
}

bool NameTheSameFile(const QString& a, const QString& b)
{
    const std::optional<TFileIdentity> first = IdentityOf(NativeFromPath(a), 0);
    return first && first == IdentityOf(NativeFromPath(b), 0);
}
