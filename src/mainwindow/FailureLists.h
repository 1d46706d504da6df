#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TEintragdaten;
class TFQuillon;

// The question of commands on many files that offers again the files that
// failed (their names listed as MessageLists.h writes them).

// While failedPaths is not empty, asks the question of questionKey (Yes/No)
// with the file names, each followed by LF CR, and gives each entry another
// try with retry (true on success); entries no longer listed are dropped.
// Returns the paths of the entries that succeeded; failedPaths keeps those
// given up.
QStringList RetryFailedFiles(TFQuillon& window, QStringList& failedPaths, const char* questionKey,
                             const std::function<bool(TEintragdaten&)>& retry);
