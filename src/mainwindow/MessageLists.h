#pragma once

#include <QString>
#include <QStringList>

// Lists of files in the program's messages.

// The names, each followed by LF CR: a list of failures the user may retry.
QString NamesFollowedByBreak(const QStringList& names);
// The names, each preceded by LF CR: a list of files that were skipped.
QString NamesPrecededByBreak(const QStringList& names);
// The file name of a path (the part after the last "/").
QString NameOfPath(const QString& path);
// The file name of a path text (platform/NativePath.h) as the user sees it.
QString ShownNameOfPath(const QString& path);
