#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TEintragdaten;
class TFQuillon;

// Renames of the batch commands (case conversion, replacing text) and the
// lists of files they report.

// How renaming an entry to a name built from its old one ended.
enum class TNameChange { Unchanged, Renamed, Failed, Unusable };

// Renames the entry to newStem + its old extension through the window's
// RenameEntry (one undo step), unless the name stays as it is or would name
// no file of its own (IsUsableNewName).
TNameChange RenameToStem(TFQuillon& window, TEintragdaten& entry, const QString& newStem);

// While renames of the entries at failedPaths fail, asks "ErrorRenameFileMany"
// (Yes/No) and gives each another try with retry (true on success). Returns
// the paths (as before the rename) of the entries that succeeded; failedPaths
// keeps those given up.
QStringList RetryRenames(TFQuillon& window, QStringList& failedPaths,
                               const std::function<bool(TEintragdaten&)>& retry);

// Tells once which files were not renamed because their new name would not
// be a valid file name.
void ReportUnusableNames(TFQuillon& window, const QStringList& names);

// The names, each followed by LF CR (a list the user may retry).
QString NamesFollowedByBreak(const QStringList& names);
// The names, each preceded by LF CR (a list of skipped files).
QString NamesPrecededByBreak(const QStringList& names);
// The last part of a path.
QString NameOfPath(const QString& path);
