#include "platform/PathCompare.h"

#include "platform/NativePath.h"

#include <QDir>

#include <sys/stat.h>

QString NormalPath(const QString& path)
{
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

bool SamePath(const QString& a, const QString& b)
{
    return NormalPath(a) == NormalPath(b);
}

bool IsSameOrBelow(const QString& path, const QString& folder)
{
    const QString p = NormalPath(path);
    const QString f = NormalPath(folder);
    if (p.isEmpty() || f.isEmpty())
        return false;
    if (p == f)
        return true;
    return p.startsWith(f.endsWith(QLatin1Char('/')) ? f : f + QLatin1Char('/'));
}

bool IsSameFolder(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (SamePath(a, b))
        return true;
    struct stat sa {}, sb {};
    return ::stat(NativeFromPath(a).constData(), &sa) == 0 && ::stat(NativeFromPath(b).constData(), &sb) == 0
           && S_ISDIR(sa.st_mode) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
