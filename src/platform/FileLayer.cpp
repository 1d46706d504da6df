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
    int fd;
    do
        fd = ::open(path.constData(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
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
#ifdef SYS_renameat2
    if (::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != ENOSYS && errno != EINVAL)
        return -1;
#endif
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0)
        return -1;
    if (S_ISDIR(st.st_mode)) {
        // A folder cannot be linked. mkdir() claims the name without
        // replacing anything, and rename() then replaces only that empty
        // placeholder of ours.
        if (::mkdir(to.constData(), 0700) != 0)
            return -1;
        if (::rename(from.constData(), to.constData()) != 0) {
            const int error = errno;
            ::rmdir(to.constData());
            errno = error;
            return -1;
        }
        return 0;
    }
    // link() never replaces.
    if (::link(from.constData(), to.constData()) != 0)
        return -1;
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        errno = error;
        return -1;
    }
    return 0;
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

int TFileLayer::Rmdir(const QByteArray& path)
{
    return ::rmdir(path.constData());
}

int TFileLayer::Symlink(const QByteArray& target, const QByteArray& linkPath)
{
    return ::symlink(target.constData(), linkPath.constData());
}

int TFileLayer::ReadLink(const QByteArray& path, QByteArray& target)
{
    QByteArray buffer(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t length = ::readlink(path.constData(), buffer.data(), static_cast<size_t>(buffer.size()));
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

int TFileLayer::ReadDir(const QByteArray& path, std::vector<QByteArray>& names)
{
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return -1;
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

int TFileLayer::Utimens(const QByteArray& path, const struct timespec times[2], int flags)
{
    return ::utimensat(AT_FDCWD, path.constData(), times, flags);
}

int TFileLayer::LChown(const QByteArray& path, uid_t owner, gid_t group)
{
    return ::lchown(path.constData(), owner, group);
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

bool TFileHandle::WriteAt(const void* buffer, qint64 count, qint64 offset)
{
    const auto* in = static_cast<const char*>(buffer);
    while (count > 0) {
        const size_t chunk = static_cast<size_t>(std::min<qint64>(count, SSIZE_MAX));
        const ssize_t done = m_layer->PWrite(m_fd, in, chunk, static_cast<off_t>(offset));
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

QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
