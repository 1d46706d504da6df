#include "platform/FileLayer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

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

int TFileLayer::Unlink(const QByteArray& path)
{
    return ::unlink(path.constData());
}

bool TFileLayer::MayWrite(const QByteArray& path, const struct stat& st)
{
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
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

bool TFileHandle::ReadAt(void* buffer, qint64 count, qint64 offset)
{
    auto* out = static_cast<char*>(buffer);
    while (count > 0) {
        const size_t chunk = static_cast<size_t>(std::min<qint64>(count, SSIZE_MAX));
        const ssize_t got = m_layer->PRead(m_fd, out, chunk, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        count -= got;
        offset += got;
    }
    return true;
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
