#include "platform/RegularFile.h"

#include "platform/NativePath.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::optional<QByteArray> Failed(int code, int* error)
{
    if (error)
        *error = code;
    return std::nullopt;
}

// Up to limit bytes of an open descriptor, to its end.
std::optional<QByteArray> ReadUpTo(int fd, qint64 limit, int* error)
{
    QByteArray bytes;
    char block[65536];
    while (bytes.size() < limit) {
        const qint64 wanted = std::min<qint64>(sizeof(block), limit - bytes.size());
        const ssize_t got = ::read(fd, block, static_cast<size_t>(wanted));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Failed(errno, error);
        if (got == 0)
            break;
        bytes.append(block, got);
    }
    return bytes;
}

}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 maxBytes, int* error)
{
    // O_NONBLOCK: opening a FIFO for reading otherwise waits for a writer.
    const int fd = ::open(NativeFromPath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return Failed(errno, error);
    struct stat st {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &st) != 0)
        bytes = Failed(errno, error);
    else if (!S_ISREG(st.st_mode))
        bytes = Failed(ENODEV, error);
    else if (st.st_size > maxBytes)
        bytes = Failed(EFBIG, error);
    else if ((bytes = ReadUpTo(fd, maxBytes + 1, error)) && bytes->size() > maxBytes)
        bytes = Failed(EFBIG, error); // it grew while being read
    ::close(fd);
    return bytes;
}
