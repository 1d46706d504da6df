#include "platform/FileRename.h"

#include "platform/FileLayer.h"
#include "platform/FileOps.h"
#include "platform/NativePath.h"
#include "platform/RecordedSteps.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>

namespace {

// Whether the folder holds an entry spelt exactly name.
bool Holds(TFileLayer& layer, int dirFd, const QByteArray& name, bool& listed)
{
    TFileHandle folder(layer, layer.OpenAt(dirFd, ".", O_RDONLY | O_DIRECTORY));
    std::vector<QByteArray> names;
    listed = folder.IsOpen() && layer.ReadDirAt(folder.Fd(), names) == 0;
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The new name answers for an entry spelt otherwise: the file system ignores
// case or normalises names, and that entry may be the one renamed. Its own
// answer decides, never a file's identity (a mount may show one entry under
// two numbers): once the entry has left its old name for a hidden one, the
// new name is free if it was the entry itself.
int RenameThroughHiddenName(TFileLayer& layer, TRecordItem& item, const TAt& from, const TAt& to)
{
    struct stat st {};
    if (layer.FStatAt(from.DirFd, from.Name, st, AT_SYMLINK_NOFOLLOW) != 0)
        return -1;
    TAt hidden{from.DirFd, from.Folder, {}};
    if (MakeHiddenAnnounced(
            to.Name, THiddenKind::Renaming, hidden.Name,
            [&](const QByteArray& name) {
                return item.Write(TRecordVerb::Case, {from.Folder, from.Name, name, to.Name}, TExaminedFile::Of(st),
                                  true);
            },
            [&](const QByteArray&) { return RenameAnnounced(layer, item, from, hidden); })
        != 0)
        return -1;
    if (RenameAnnounced(layer, item, hidden, to) == 0)
        return 0;
    const int error = errno;
    // Another entry holds the name: the entry takes its old one again, or is
    // left for recovery to give it back.
    if (RenameAnnounced(layer, item, hidden, from) != 0)
        item.Keep();
    errno = error;
    return -1;
}

}

int RenameInFolder(TFileLayer& layer, const QByteArray& path, const QByteArray& newName)
{
    const QByteArray folder = PathFolder(path);
    const TAt from{-1, folder, PathName(path)};
    if (from.Name == newName)
        return 0;
    TFileHandle open(layer, layer.Open(folder, O_PATH | O_DIRECTORY));
    if (!open.IsOpen())
        return -1;
    const TAt own{open.Fd(), folder, from.Name};
    const TAt to{open.Fd(), folder, newName};
    TRunRecord record(layer);
    TRecordItem item(record);
    const int renamed = RenameAnnounced(layer, item, own, to);
    if (renamed == 0 || errno != EEXIST)
        return renamed;
    bool listed = false;
    if (Holds(layer, open.Fd(), newName, listed)) {
        errno = EEXIST;
        return -1;
    }
    if (!listed)
        return -1;
    return RenameThroughHiddenName(layer, item, own, to);
}

bool RenameNoReplace(const QByteArray& oldPath, const QByteArray& newPath)
{
    if (oldPath.isEmpty() || newPath.isEmpty())
        return false;
    if (PathFolder(oldPath) == PathFolder(newPath))
        return RenameInFolder(*SystemFileLayer(), oldPath, PathName(newPath)) == 0;
    return SystemFileLayer()->RenameNoReplace(oldPath, newPath) == 0;
}

bool RenameNoReplace(const QString& oldPath, const QString& newPath)
{
    return RenameNoReplace(NativeFromPath(oldPath), NativeFromPath(newPath));
}
