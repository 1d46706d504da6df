#include "support/NativeFiles.h"

#include "support/RunProgram.h"


#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const ListScript = R"PY(
import os, sys
for name in sorted(os.listdir(bytes.fromhex(sys.argv[1]))):
    print(name.hex())
)PY";

int RemoveOne(const char* path, const struct stat*, int type, struct FTW* where)
{
    if (where->level == 0)
        return 0;
    if (type == FTW_DP)
        ::rmdir(path);
    else
        ::unlink(path);
    return 0;
}

}

bool WriteNativeFile(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), static_cast<size_t>(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

QByteArray ReadNativeFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray content;
    char buffer[65536];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, got);
    ::close(fd);
    return got < 0 ? QByteArray() : content;
}

bool MakeNativeFolder(const QByteArray& path)
{
    return ::mkdir(path.constData(), 0755) == 0;
}

QList<QByteArray> ListWithPython(const QByteArray& folder)
{
    const TProgramRun python = RunPython(ListScript, {QString::fromLatin1(folder.toHex())});
    if (python.ExitCode != 0)
        return {};
    QList<QByteArray> names;
    for (const QByteArray& line : python.Out.split('\n'))
        if (!line.isEmpty())
            names << QByteArray::fromHex(line);
    return names;
}

void RemoveNativeContents(const QByteArray& folder)
{
    ::nftw(folder.constData(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
}
