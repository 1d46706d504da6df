#include "platform/FileRename.h"

#include "platform/FileLayer.h"

#include <QFile>

#include <stdio.h>
#include <sys/stat.h>

bool IsSameFile(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    if (::lstat(QFile::encodeName(a).constData(), &sa) != 0)
        return false;
    if (::lstat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool RenameNoReplace(const QString& oldPath, const QString& newPath)
{
    if (oldPath.isEmpty() || newPath.isEmpty())
        return false;
    if (oldPath == newPath)
        return true;
    const QByteArray from = QFile::encodeName(oldPath);
    const QByteArray to = QFile::encodeName(newPath);

    // The new name is held by the very same file: this is a case-only (or
    // hard-link) rename on a case-insensitive file system. Plain rename is safe.
    // Two hard links of one file are not a case change: refuse those.
    if (IsSameFile(oldPath, newPath)) {
        if (oldPath.compare(newPath, Qt::CaseInsensitive) != 0)
            return false;
        return ::rename(from.constData(), to.constData()) == 0;
    }

    return SystemFileLayer()->RenameNoReplace(from, to) == 0;
}
