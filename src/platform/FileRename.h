#pragma once

#include <QByteArray>
#include <QString>

// Renames a file or folder without ever replacing an existing one
// (renameat2 with RENAME_NOREPLACE, falling back to link + unlink for files on
// file systems without it). A name that only differs in case is allowed when
// both names are the same file. Returns false and changes nothing when the
// new name is taken or the rename fails. Paths in the file system's encoding.
bool RenameNoReplace(const QByteArray& oldPath, const QByteArray& newPath);
// The same for path texts (platform/NativePath.h).
bool RenameNoReplace(const QString& oldPath, const QString& newPath);

// True when both paths name the same file on disk (same device and inode).
bool IsSameFile(const QByteArray& a, const QByteArray& b);
bool IsSameFile(const QString& a, const QString& b);
