#pragma once

#include <QByteArray>
#include <QString>

class TFileLayer;

// Gives the entry at path the name newName in its folder, never replacing
// another file or folder. Every rename of the program by name goes through
// here (a file by hand, from its tags, by case conversion or undo; a folder
// in the tree). On a file system that ignores case (exFAT and FAT sticks,
// car-stereo cards) or normalises names, a new name the file system takes for
// the old one is the entry itself: it changes its name through a hidden name
// of its own, announced in a record first, so that a kill between the two
// renames is settled later (platform/Recovery.h). A name held by another
// entry, also a second hard link of the same file, is taken: -1 with errno
// EEXIST. Paths in the file system's encoding; -1 with errno on failure.
int RenameInFolder(TFileLayer& layer, const QByteArray& path, const QByteArray& newName);

// RenameInFolder for a new path in the same folder (another folder: a rename
// that never replaces); false on failure, errno telling why.
bool RenameNoReplace(const QByteArray& oldPath, const QByteArray& newPath);
// The same for path texts (platform/NativePath.h).
bool RenameNoReplace(const QString& oldPath, const QString& newPath);
