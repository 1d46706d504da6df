#pragma once

#include <QString>
#include <QStringList>

class TEintragdaten;
class TFQuillon;

// Renames of the commands that build names (case conversion and replacing
// text from the old names, names from tags).

// How renaming an entry to a name built from its old one ended.
enum class TNameChange { Unchanged, Renamed, Failed, Unusable };

// Renames the entry to newStem + its old extension through the window's
// RenameEntry (one undo step), unless the name stays as it is, would name no
// file of its own (IsUsableNewName) or would hide a file that was not hidden
// (a leading ".").
TNameChange RenameToStem(TFQuillon& window, TEintragdaten& entry, const QString& newStem);

// Tells once which files were not renamed because their new name would not
// be a valid file name.
void ReportUnusableNames(TFQuillon& window, const QStringList& names);
