#include "platform/FileTimes.h"

#include "platform/NativePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool SetLastWriteTime(const QString& path, qint64 writeNs)
{
    const QByteArray name = NativeFromPath(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    constexpr qint64 NsPerSecond = 1000000000;
    qint64 seconds = writeNs / NsPerSecond;
    qint64 nanoseconds = writeNs % NsPerSecond;
    if (nanoseconds < 0) {
        --seconds;
        nanoseconds += NsPerSecond;
    }
    struct timespec times[2] = {};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = static_cast<long>(nanoseconds);
    const bool set = ::futimens(fd, times) == 0;
    const bool closed = ::close(fd) == 0;
    return set && closed;
}

qint64 ModificationNs(const struct stat& st)
{
    return static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::optional<qint64> LastWriteTime(const QString& path)
{
    struct stat st {};
    if (::stat(NativeFromPath(path).constData(), &st) != 0)
        return std::nullopt;
    return ModificationNs(st);
}
