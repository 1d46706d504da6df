#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TEintragdaten;
class TFQuillon;

// The lists of files that commands on many files report, and the question
// that offers again those that failed.

// While failedPaths is not empty, asks the question of questionKey (Yes/No)
// with the file names, each followed by LF CR, and gives each entry another
// try with retry (true on success); entries no longer listed are dropped.
// Returns the paths of the entries that succeeded; failedPaths keeps those
// given up.
QStringList RetryFailedFiles(TFQuillon& window, QStringList& failedPaths, const char* questionKey,
                             const std::function<bool(TEintragdaten&)>& retry);

// The names, each followed by LF CR (a list the user may retry).
QString NamesFollowedByBreak(const QStringList& names);
// The names, each preceded by LF CR (a list of skipped files).
QString NamesPrecededByBreak(const QStringList& names);
// The last part of a path.
QString NameOfPath(const QString& path);
