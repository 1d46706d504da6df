#pragma once

#include "platform/FileLayer.h"
#include "platform/Recovery.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TTrash;

// No copy goes deeper than this below a folder given: far beyond any music
// collection, well within what the system's paths and descriptors allow.
constexpr int MaxFolderDepth = 100;

// What to do when the name a file or folder is to take is already taken.
enum class TCollisionAnswer { Replace, Skip, KeepBoth, Cancel };

struct TCollisionChoice {
    TCollisionAnswer Answer = TCollisionAnswer::Cancel;
    bool ForAll = false; // the same answer for every later collision of this operation
};

// Why an item could not be copied, moved, deleted or renamed.
enum class TFileOpError {
    System,          // a system call failed; SystemError holds errno
    TargetNotFolder, // the target is not an existing folder
    IntoItself,      // a folder into itself or a folder below it
    SpecialFile,     // a device, pipe or socket: neither copied nor moved
    VerifyFailed,    // the copy did not read back as the original
    KindConflict,    // a file would replace a folder, or a folder a file
    NoTrash,         // no usable trash on the file's file system
    InvalidName,     // an empty name, ".", "..", or one holding "/"
    Changed,         // another program changed or replaced it while it was worked on
    NoFreeName,      // every numbered name for a copy is taken
    TooDeep,         // folders nested deeper than any copy goes
};

struct TFileOpFailure {
    QByteArray Path; // the item given (a folder when something inside it failed)
    TFileOpError Error = TFileOpError::System;
    int SystemError = 0;
    QByteArray Inner; // the file inside a folder that failed; empty for the item itself
};

// Where a given item went.
struct TFileOpDone {
    QByteArray From;
    QByteArray To;
    bool Replaced = false; // the item took the place of an existing file at To
};

struct TFileOpResult {
    std::vector<TFileOpDone> Done;
    std::vector<TFileOpFailure> Failed;
    // Items done that left a file behind: Inner names it (the replaced file
    // under its hidden name, or a moved file that stays at its source) and
    // the error why.
    std::vector<TFileOpFailure> LeftBehind;
    // What the recovery of runs that ended before their time did first.
    TLeftovers Leftovers;
    // Items left as they were: skipped by the user, or moved onto themselves.
    QList<QByteArray> Unchanged;
    // Those of them that are the very file they would replace (moved into
    // their own folder, a link onto the file it points to).
    QList<QByteArray> OntoItself;
    bool Cancelled = false;
};

struct TFileOpProgress {
    qint64 DoneItems = 0;
    qint64 TotalItems = 0;
    qint64 DoneBytes = 0;
    qint64 TotalBytes = 0;
    QByteArray Current; // the file being worked on
};

// Copies, moves, deletes and renames files and folders by their paths in the
// file system's encoding. No user file, source or target, is removed or
// replaced until the file that takes its place is complete and verified,
// and a failure or cancel leaves each item wholly done or wholly as it was:
// - a move on one file system is a rename that never replaces;
// - otherwise a file is copied to a hidden temporary name in the target
//   folder, each piece read back and compared, synced and checked against
//   the original's size and time, and renamed into place without
//   replacing; only then is a moved source removed;
// - a name is removed or set aside only while it still holds the very file
//   that was examined: a new version another program saved meanwhile makes
//   the item fail with Changed, and nothing is lost;
// - a file answered Replace is set aside under a hidden name in its own
//   folder, put back when its item fails and removed once it has succeeded;
// - a new folder is built under a hidden name and takes its own name once
//   whole; a folder moved to another file system keeps its sources until
//   then;
// - a source that is the very file it would replace (the same file, a link
//   to it, or the file seen through a second mount) is left as it is;
// - a copy never reaches into itself, also where a mount shows the target
//   inside the source, and goes no deeper than a bound;
// - every hidden name and every step a kill could leave half done is
//   announced in the record of the run first; the items of runs that ended
//   before their time are settled from their records before a copy or move
//   (RecoverEndedRuns), and nothing else is touched;
// - a source in a folder that is the target folder seen through a second
//   mount is left as it is;
// - folders are walked through open descriptors and never through a link,
//   also when one is swapped for a link meanwhile;
// - times and mode are kept, the owner where allowed, folders copied whole,
//   symbolic links copied as links;
// - copies into their own folder get a new name ("Name (2).mp3"), a move
//   onto itself does nothing.
// All system calls go through the file layer.
class TFileOps {
public:
    explicit TFileOps(std::shared_ptr<TFileLayer> layer = SystemFileLayer());
    ~TFileOps();
    TFileOps(const TFileOps&) = delete;
    TFileOps& operator=(const TFileOps&) = delete;

    // Asked when a name in the target is taken (target: the path taken);
    // without a handler every collision is skipped.
    std::function<TCollisionChoice(const QByteArray& source, const QByteArray& target, bool folder)> OnCollision;
    // Called before each item and after each piece of a copied file; false
    // cancels the operation.
    std::function<bool(const TFileOpProgress&)> OnProgress;

    TFileOpResult Copy(const QList<QByteArray>& sources, const QByteArray& targetFolder);
    TFileOpResult Move(const QList<QByteArray>& sources, const QByteArray& targetFolder);
    // Deletes for good, folders with everything in them (links are not
    // followed).
    TFileOpResult Delete(const QList<QByteArray>& paths);
    // Moves to the trash of each item's file system; an item without a
    // usable trash fails with NoTrash and stays where it is.
    TFileOpResult Trash(const QList<QByteArray>& paths);
    // Gives a file or folder a new name in its folder, never replacing
    // anything (platform/FileRename.h). newPath receives the new path.
    std::optional<TFileOpFailure> Rename(const QByteArray& path, const QByteArray& newName, QByteArray* newPath = nullptr);

    // "Name (2).ext", "Name (3).ext", ...: the first name not taken in the
    // folder (folders keep any dot in their name), short enough for a
    // folder entry; empty when every number is taken.
    QByteArray FreeName(const QByteArray& folder, const QByteArray& name, bool isFolder);

    // Settles what runs that ended before their time left (platform/Recovery.h).
    TLeftovers RecoverEndedRuns();

    // The trash used by Trash (created on first use).
    TTrash& TrashBin();
    // Test seam: the layer of every system call (nullptr: the real one).
    void SetFileLayer(std::shared_ptr<TFileLayer> layer);

private:
    // One operation under way (FileOps.cpp).
    struct TRun;
    TFileOpResult Transfer(const QList<QByteArray>& sources, const QByteArray& targetFolder, bool move);

    std::shared_ptr<TFileLayer> m_layer;
    std::unique_ptr<TTrash> m_trash;
    // A piece of the file being copied, and the same piece read back.
    std::vector<char> m_buffer;
    std::vector<char> m_compare;
};

// The last component of a path ("/a/b/" gives "b") and the folder part
// ("/a/b" gives "/a", "/b" gives "/").
QByteArray PathName(const QByteArray& path);
QByteArray PathFolder(const QByteArray& path);
// folder + "/" + name, without doubling a "/".
QByteArray JoinPath(const QByteArray& folder, const QByteArray& name);
