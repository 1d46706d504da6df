#include "platform/FileRename.h"

#include "platform/FileIdentity.h"
#include "platform/FileLayer.h"
#include "platform/NativePath.h"

#include <stdio.h>

bool IsSameFile(const QByteArray& a, const QByteArray& b)
{
    const std::optional<TFileIdentity> identity = FileIdentityOf(a);
    return identity && identity == FileIdentityOf(b);
}

bool IsSameFile(const QString& a, const QString& b)
{
    return IsSameFile(NativeFromPath(a), NativeFromPath(b));
}

bool RenameNoReplace(const QString& oldPath, const QString& newPath)
{
    return RenameNoReplace(NativeFromPath(oldPath), NativeFromPath(newPath));
}

bool RenameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (from.isEmpty() || to.isEmpty())
        return false;
    if (from == to)
        return true;

    // The new name is held by the very same file: this is a case-only (or
    // hard-link) rename on a case-insensitive file system. Plain rename is safe.
    // Two hard links of one file are not a case change: refuse those.
    if (IsSameFile(from, to)) {
        if (PathFromNative(from).compare(PathFromNative(to), Qt::CaseInsensitive) != 0)
            return false;
        return ::rename(from.constData(), to.constData()) == 0;
    }

    return SystemFileLayer()->RenameNoReplace(from, to) == 0;
}
