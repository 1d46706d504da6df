#include "platform/FileLayer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

int TFileLayer::Open(const QByteArray& path, int flags, mode_t mode)
{
    return TFileLayer::OpenAt(AT_FDCWD, path, flags, mode);
}

int TFileLayer::Close(int fd)
{
    return ::close(fd);
}

ssize_t TFileLayer::PRead(int fd, void* buffer, size_t count, off_t offset)
{
    return ::pread(fd, buffer, count, offset);
}

ssize_t TFileLayer::PWrite(int fd, const void* buffer, size_t count, off_t offset)
{
    return ::pwrite(fd, buffer, count, offset);
}

int TFileLayer::FStat(int fd, struct stat& st)
{
    return ::fstat(fd, &st);
}

int TFileLayer::FSync(int fd)
{
    return ::fsync(fd);
}

int TFileLayer::FTruncate(int fd, off_t length)
{
    return ::ftruncate(fd, length);
}

int TFileLayer::FChmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

int TFileLayer::Chmod(const QByteArray& path, mode_t mode)
{
    return ::chmod(path.constData(), mode);
}

int TFileLayer::FChown(int fd, uid_t owner, gid_t group)
{
    return ::fchown(fd, owner, group);
}

int TFileLayer::FUtimens(int fd, const struct timespec times[2])
{
    return ::futimens(fd, times);
}

int TFileLayer::Rename(const QByteArray& from, const QByteArray& to)
{
    return ::rename(from.constData(), to.constData());
}

int TFileLayer::RenameNoReplace(const QByteArray& from, const QByteArray& to)
{
    return RenameNoReplaceAt(AT_FDCWD, from, AT_FDCWD, to);
}

int TFileLayer::Unlink(const QByteArray& path)
{
    return ::unlink(path.constData());
}

int TFileLayer::Stat(const QByteArray& path, struct stat& st)
{
    return ::stat(path.constData(), &st);
}

int TFileLayer::LStat(const QByteArray& path, struct stat& st)
{
    return ::lstat(path.constData(), &st);
}

int TFileLayer::Mkdir(const QByteArray& path, mode_t mode)
{
    return ::mkdir(path.constData(), mode);
}

bool TFileLayer::MayWrite(const QByteArray& path, const struct stat& st)
{
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        errno = EACCES;
        return false;
    }
    return ::access(path.constData(), W_OK) == 0;
}

QByteArray TFileLayer::RealPath(const QByteArray& path)
{
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved)
        return {};
    QByteArray result(resolved);
    std::free(resolved);
    return result;
}

int TFileLayer::OpenAt(int dirFd, const QByteArray& name, int flags, mode_t mode)
{
    int fd;
    do
        fd = ::openat(dirFd, name.constData(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

int TFileLayer::FStatAt(int dirFd, const QByteArray& name, struct stat& st, int flags)
{
    return ::fstatat(dirFd, name.constData(), &st, flags);
}

int TFileLayer::MkdirAt(int dirFd, const QByteArray& name, mode_t mode)
{
    return ::mkdirat(dirFd, name.constData(), mode);
}

int TFileLayer::UnlinkAt(int dirFd, const QByteArray& name, int flags)
{
    return ::unlinkat(dirFd, name.constData(), flags);
}

// renameat2 with RENAME_NOREPLACE. Where the file system lacks it (EINVAL,
// or ENOSYS from an old kernel), a folder's new name is claimed with mkdir
// before rename replaces that empty placeholder; a file is linked (link
// never replaces) and its old name removed, or, where the file system has
// no hard links either (exFAT, phones, many network mounts), its new name is
// reserved with an empty file that rename then replaces.
int TFileLayer::RenameNoReplaceAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to,
                                  const TStepsNote& beforeSteps)
{
    if (RenameAt2NoReplace(fromDirFd, from, toDirFd, to) == 0)
        return 0;
    if (errno != ENOSYS && errno != EINVAL)
        return -1;
    struct stat st {};
    if (FStatAt(fromDirFd, from, st, AT_SYMLINK_NOFOLLOW) != 0)
        return -1;
    if (beforeSteps && !beforeSteps(st))
        return -1;
    if (S_ISDIR(st.st_mode))
        return RenameOverFolderPlaceholder(fromDirFd, from, toDirFd, to);
    if (LinkAt(fromDirFd, from, toDirFd, to) == 0) {
        if (UnlinkAt(fromDirFd, from, 0) == 0)
            return 0;
        const int error = errno;
        (void)UnlinkAt(toDirFd, to, 0);
        errno = error;
        return -1;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return -1;
    return RenameOverReservation(fromDirFd, from, toDirFd, to);
}

int TFileLayer::RenameOverFolderPlaceholder(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to)
{
    if (MkdirAt(toDirFd, to, 0700) != 0)
        return -1;
    // rename replaces only an empty folder: one that another program filled
    // meanwhile makes it fail.
    if (RenameAt(fromDirFd, from, toDirFd, to) == 0)
        return 0;
    const int error = errno;
    (void)UnlinkAt(toDirFd, to, AT_REMOVEDIR);
    errno = error;
    return -1;
}

namespace {

bool SameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}

int TFileLayer::RenameOverReservation(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to)
{
    const int fd = OpenAt(toDirFd, to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    struct stat reserved {};
    const bool examined = FStat(fd, reserved) == 0;
    int error = errno;
    (void)Close(fd); // nothing was written through it
    // The reservation is replaced or removed only while it is still ours:
    // the very file made above (where that could not be examined, an empty
    // file of this user's), and empty.
    const auto stillOurs = [&] {
        struct stat now {};
        if (FStatAt(toDirFd, to, now, AT_SYMLINK_NOFOLLOW) != 0)
            return false;
        const bool ours = S_ISREG(now.st_mode) && now.st_size == 0
                          && (examined ? SameInode(now, reserved) : now.st_uid == ::geteuid());
        if (!ours)
            errno = EEXIST;
        return ours;
    };
    if (examined) {
        if (stillOurs() && RenameAt(fromDirFd, from, toDirFd, to) == 0)
            return 0;
        error = errno;
    }
    if (stillOurs())
        (void)UnlinkAt(toDirFd, to, 0);
    errno = error;
    return -1;
}

int TFileLayer::RenameAt2NoReplace(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to)
{
#ifdef SYS_renameat2
    return static_cast<int>(
        ::syscall(SYS_renameat2, fromDirFd, from.constData(), toDirFd, to.constData(), RENAME_NOREPLACE));
#else
    errno = ENOSYS;
    return -1;
#endif
}

int TFileLayer::LinkAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to)
{
    return ::linkat(fromDirFd, from.constData(), toDirFd, to.constData(), 0);
}

int TFileLayer::RenameAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to)
{
    return ::renameat(fromDirFd, from.constData(), toDirFd, to.constData());
}

int TFileLayer::SymlinkAt(const QByteArray& target, int dirFd, const QByteArray& name)
{
    return ::symlinkat(target.constData(), dirFd, name.constData());
}

int TFileLayer::ReadLinkAt(int dirFd, const QByteArray& name, QByteArray& target)
{
    QByteArray buffer(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlinkat(dirFd, name.constData(), buffer.data(), static_cast<size_t>(buffer.size()));
        if (length < 0)
            return -1;
        if (length < buffer.size()) {
            buffer.truncate(length);
            target = buffer;
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
}

int TFileLayer::ReadDirAt(int dirFd, std::vector<QByteArray>& names)
{
    // The stream takes a descriptor of its own; the caller's stays open.
    const int own = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return -1;
    DIR* dir = ::fdopendir(own);
    if (!dir) {
        const int error = errno;
        ::close(own);
        errno = error;
        return -1;
    }
    // The copy shares the read position with the caller's descriptor.
    ::rewinddir(dir);
    names.clear();
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        names.emplace_back(name);
    }
    ::closedir(dir);
    errno = error;
    return error == 0 ? 0 : -1;
}

int TFileLayer::UtimensAt(int dirFd, const QByteArray& name, const struct timespec times[2], int flags)
{
    return ::utimensat(dirFd, name.constData(), times, flags);
}

int TFileLayer::FChownAt(int dirFd, const QByteArray& name, uid_t owner, gid_t group, int flags)
{
    return ::fchownat(dirFd, name.constData(), owner, group, flags);
}

int TFileLayer::LockFile(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    if (errno == EACCES)
        errno = EAGAIN;
    return -1;
}

std::shared_ptr<TFileLayer> SystemFileLayer()
{
    static const auto layer = std::make_shared<TFileLayer>();
    return layer;
}

bool TFileHandle::Close()
{
    if (m_fd < 0)
        return true;
    const int result = m_layer->Close(m_fd);
    m_fd = -1;
    return result == 0;
}

bool ReadExactlyAt(TFileLayer& layer, int fd, void* buffer, qint64 count, qint64 offset)
{
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        const size_t chunk = static_cast<size_t>(std::min<qint64>(count, SSIZE_MAX));
        const ssize_t got = layer.PRead(fd, out, chunk, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = EIO;
            return false;
        }
        out += got;
        count -= got;
        offset += got;
    }
    return true;
}

bool TFileHandle::ReadAt(void* buffer, qint64 count, qint64 offset)
{
    return ReadExactlyAt(*m_layer, m_fd, buffer, count, offset);
}

QByteArray TFileHandle::ReadAt(qint64 offset, qint64 count, bool* ok)
{
    QByteArray data;
    bool success = count >= 0;
    if (success && count > 0) {
        data.resize(count);
        success = ReadAt(data.data(), count, offset);
        if (!success)
            data.clear();
    }
    if (ok)
        *ok = success;
    return data;
}

bool WriteExactlyAt(TFileLayer& layer, int fd, const void* buffer, qint64 count, qint64 offset)
{
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        const size_t chunk = static_cast<size_t>(std::min<qint64>(count, SSIZE_MAX));
        const ssize_t done = layer.PWrite(fd, in, chunk, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = EIO;
            return false;
        }
        in += done;
        count -= done;
        offset += done;
    }
    return true;
}

bool TFileHandle::WriteAt(const void* buffer, qint64 count, qint64 offset)
{
    return WriteExactlyAt(*m_layer, m_fd, buffer, count, offset);
}

QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
