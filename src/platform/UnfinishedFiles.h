#pragma once

#include <QString>
#include <QStringList>

// A file saved through a temporary name ("name.XXXXXX" beside its target,
// renamed into place once whole) is marked as unfinished while it is
// written: its writer holds a lock on it (flock) and it carries an extended
// attribute of this program. One left behind by a writer that ended (killed,
// or the machine went down) keeps the mark but no longer the lock, and is
// recognised by both together: never by its name, so a user's file that only
// looks like one is left alone.

// Locks the open file, then marks it. False when either failed; the file
// then carries no mark and is never taken for a leftover.
bool MarkUnfinished(int fd);
// Takes the mark off before the file gets its name (the lock goes when the
// file is closed). False when the mark stays: the file must not get a name
// then, or it would later be taken for a leftover.
bool UnmarkUnfinished(int fd);

// Removes from the folder the unfinished files whose writers ended: named
// as a temporary file of a save ("name.XXXXXX"), regular, marked, and not
// locked. Gives back the paths removed.
QStringList RemoveUnfinishedFiles(const QString& folder);
