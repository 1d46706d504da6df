#pragma once

#include <QByteArray>
#include <QList>

#include <vector>

class TFileLayer;

// What recovery could not settle now, and why: it is tried again the next
// time.
struct TKeptLeftover {
    QByteArray Path; // the file as it lies now (perhaps under a hidden name), or its folder
    int Error = 0;   // errno of what failed; 0 with Changed
    bool Changed = false; // another program changed it since it was examined
};

// What the recovery of runs that ended before their time (killed, or the
// machine went down) did; all of it is told to the user.
struct TLeftovers {
    // Files that have their own names again, where the user had them.
    QList<QByteArray> Restored;
    // Items that had arrived under these names, finished: the files they
    // replaced, and the sources of moves, went.
    QList<QByteArray> Finished;
    // Unfinished copies, and names reserved for them, removed: the names
    // they were to take.
    QList<QByteArray> Removed;
    std::vector<TKeptLeftover> Kept;
    // Originals of a folder moved whole that another program changed since
    // they were copied: they stay where they are, and their items are done.
    std::vector<TKeptLeftover> LeftBehind;

    bool IsEmpty() const
    {
        return Restored.isEmpty() && Finished.isEmpty() && Removed.isEmpty() && Kept.empty() && LeftBehind.empty();
    }
    void Add(const TLeftovers& more);
};

// Settles each item of every run that ended without settling it (its
// record is not locked by a run that lives, in whatever process id space):
// wholly done or as it was, under the names the user sees, in the folders
// the user chose. Only what a record names is touched; a name that no record
// knows is left alone. Listing an empty record folder is all it costs when
// nothing ended before its time.
TLeftovers RecoverEndedRuns(TFileLayer& layer);
