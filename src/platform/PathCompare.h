#pragma once

#include <QString>

// Paths compare exactly (with case), component by component: "/a//b/" is
// "/a/b", and "/a/bc" does not lie in "/a/b". Paths are path texts
// (platform/NativePath.h).

// The path with doubled and final "/" and "." components removed.
QString NormalPath(const QString& path);
bool SamePath(const QString& a, const QString& b);
// path is folder or lies somewhere below it.
bool IsSameOrBelow(const QString& path, const QString& folder);
// Both name one folder: the same path, or the same folder reached through a
// link or a bind mount (same device and inode).
bool IsSameFolder(const QString& a, const QString& b);
