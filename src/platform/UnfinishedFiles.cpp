#include "platform/UnfinishedFiles.h"

#include "platform/DirStream.h"
#include "platform/NativePath.h"

#include <QByteArray>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr char MarkName[] = "user.quillon.unfinished";
constexpr char MarkValue[] = "Quillon 3";
constexpr qsizetype RandomPartLength = 6;

// "name.XXXXXX": a name, a dot and six letters or digits, as a save file
// names its temporary file.
bool IsTemporaryName(const QByteArray& name)
{
    const qsizetype dot = name.size() - RandomPartLength - 1;
    if (dot < 1 || name.at(dot) != '.')
        return false;
    for (qsizetype i = dot + 1; i < name.size(); ++i) {
        const char c = name.at(i);
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

bool HasMark(int fd)
{
    char value[sizeof(MarkValue)] = {};
    const ssize_t size = ::fgetxattr(fd, MarkName, value, sizeof(value));
    return size == static_cast<ssize_t>(sizeof(MarkValue) - 1) && QByteArray(value, size) == QByteArray(MarkValue);
}

// Removes the entry when it is a leftover: the file held open is checked,
// and the name still names that very file when it goes.
bool RemoveIfLeftover(int folderFd, const QByteArray& name)
{
    const int fd = ::openat(folderFd, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool removed = false;
    struct stat opened {
    }, named{};
    // The lock is free only once the writer has ended; it is held here
    // until the name is gone, so no writer can take the file meanwhile.
    if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && HasMark(fd) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(folderFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == opened.st_dev &&
        named.st_ino == opened.st_ino)
        removed = ::unlinkat(folderFd, name.constData(), 0) == 0;
    ::close(fd);
    return removed;
}

}

bool MarkUnfinished(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    return ::fsetxattr(fd, MarkName, MarkValue, sizeof(MarkValue) - 1, 0) == 0;
}

bool UnmarkUnfinished(int fd)
{
    return ::fremovexattr(fd, MarkName) == 0 || errno == ENODATA;
}

QStringList RemoveUnfinishedFiles(const QString& folder)
{
    const QByteArray native = NativeFromPath(folder);
    const TDirStream dir = OpenDirStream(native.isEmpty() ? QByteArray(".") : native);
    if (!dir)
        return {};
    QStringList removed;
    const int folderFd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (IsTemporaryName(name) && RemoveIfLeftover(folderFd, name))
            removed << PathFromNative(native.endsWith('/') ? native + name : native + '/' + name);
    }
    return removed;
}
