#include "platform/FileOps.h"

#include "platform/CopyNames.h"
#include "platform/FileRename.h"
#include "platform/RecordedSteps.h"
#include "platform/Recovery.h"
#include "platform/RunRecord.h"
#include "platform/Trash.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include <fcntl.h>
#include <unistd.h>

// The rule of every copy and move below, and of every deletion as far as a
// deletion can keep it:
//
//     No user file, source or target, is removed or replaced until the file
//     that takes its place is complete and verified, and every failure or
//     cancel leaves each item either wholly done or wholly as it was.
//
// An item is a file, a link or a folder; a folder is done when all in it
// is. The rule is kept so:
// - Every hidden name is announced in the record of the run before it is
//   made (platform/RunRecord.h), and so is every step that a kill could
//   leave half done; recovery settles the items of runs that ended before
//   their time from their records, and touches nothing else
//   (platform/Recovery.h).
// - A copy is written under a hidden name in the target folder
//   (".name.XXXXXXXX.part", platform/HiddenNames.h), from the very
//   file that was examined, each piece read back and compared, synced and
//   checked against the original before it takes a name (CopyFile,
//   CopyLink). A copy that fails or is cancelled is removed.
// - A name is taken only by a rename that never replaces. A file the user
//   answered Replace for is first set aside under a hidden name in its own
//   folder (".name.XXXXXXXX.replaced"), put back when its item fails,
//   and removed only once the item has succeeded (Place).
// - A name is removed or renamed away only while it still holds the very
//   file that was examined (the same inode, size and times): a source after
//   its copy, a file answered Replace; and it goes to a hidden name first,
//   where it is checked once more, so that a new version renamed over the
//   name meanwhile is never what goes. When another program saved a new
//   version, the item is undone and fails with Changed (Unchanged,
//   RemoveSource, SetAside).
// - A moved source is removed only once its copy holds the new name; when
//   it cannot be removed the copy goes and the replaced file comes back
//   (Place). A move within one file system that replaces a file first
//   renames the source to a hidden name beside its target
//   (".name.XXXXXXXX.moving"), so that a rename refused there (EXDEV:
//   two mounts of one file system) has changed nothing yet (MoveReplacing).
// - A new folder is built under a hidden name and takes its own name only
//   once all of it has arrived; when it fails or is cancelled, it goes again
//   with all that was copied into it. A folder moved to another file system
//   keeps its sources until its copy has its name (BuildFolder,
//   RemoveMoved). A folder merged into one that was there keeps each entry
//   that arrived, and the result names them.
// - A copy never reaches into itself: a walk that meets the target folder
//   or a folder this run made (a mount can show either inside the source)
//   stops, and no walk goes deeper than MaxFolderDepth (CopyFolder).
// - Whether two folders on two file systems are one (two mounts of one
//   folder) is asked of the file systems themselves, never of cached
//   identities: an entry made in one is looked up through the other
//   (OneFolder).
// - Each step that changed something is undone, last first, when a later
//   one fails. An undo that fails too leaves a file where the user has to
//   look for it: that is what the failure then names (Undo).
// - Folders are walked through open descriptors: each entry is named
//   relative to its open folder and no folder is opened through a link, so
//   no path is resolved twice and a folder swapped for a link meanwhile is
//   never followed (OpenEntry).

namespace {

// Pieces in which files are copied and compared; progress is reported after
// each.
constexpr qint64 ChunkSize = 256 * 1024;
// A folder the user named: links in its path are followed, and it is held
// only to name its entries from (no permission to read it is needed).
constexpr int GivenFolderFlags = O_PATH | O_DIRECTORY;
// A folder reached by a walk, to be listed or changed.
constexpr int WalkedFolderFlags = O_RDONLY;


QByteArray WithoutTrailingSlashes(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

bool SameIdentity(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameTime(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The file that was examined, as it was: the same inode, size and
// modification time. A new version saved by another program is another
// inode (renamed over the name) or has another time or size (written in
// place). Renames of ours change the status-change time, so it is compared
// only where with (a name nobody here renamed).
bool Unchanged(const struct stat& now, const struct stat& examined, bool statusTimeToo = true)
{
    return SameIdentity(now, examined) && now.st_size == examined.st_size && SameTime(now.st_mtim, examined.st_mtim)
           && (!statusTimeToo || SameTime(now.st_ctim, examined.st_ctim));
}

using TIdentity = std::pair<dev_t, ino_t>;

TIdentity IdentityOf(const struct stat& st)
{
    return {st.st_dev, st.st_ino};
}

// Whether path is folder or lies inside it.
bool Below(const QByteArray& path, const QByteArray& folder)
{
    return path == folder || path.startsWith(folder + '/');
}

bool IsValidName(const QByteArray& name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') && !name.contains('\0');
}

// Why a step failed: the reason, errno of the call that failed (0 when none
// did) and the file or folder it concerned.
struct TFailure {
    TFileOpError Reason = TFileOpError::System;
    int Error = 0;
    QByteArray Path;
    // Path is a file left where it was not to stay (under a hidden name, or
    // a copy whose source stays): the user has to look there.
    bool LeftBehind = false;
};

// A step: nothing when it worked.
using TStep = std::optional<TFailure>;

// The failure of the system call just made.
TFailure SystemFailure(const QByteArray& path)
{
    return TFailure{TFileOpError::System, errno, path};
}

// What became of an item. A folder takes on the furthest of these that any
// of its entries came to.
enum class TFate { Done, Unchanged, Failed, Cancelled };

struct TOutcome {
    TFate Fate = TFate::Done;
    // Why it failed; cancelled, a file an undo left behind.
    TStep Failure;
    // Files that what was done left behind (a replaced file that could not
    // be removed, a moved source that had to stay), and why.
    std::vector<TFailure> Left;
};

TOutcome Failed(const TFailure& failure)
{
    return TOutcome{TFate::Failed, failure, {}};
}

// A folder's outcome after one more of its entries: the furthest fate, the
// first failure, unless a later one left a file behind, and all that was
// left behind.
void Add(TOutcome& folder, const TOutcome& entry)
{
    folder.Fate = std::max(folder.Fate, entry.Fate);
    if (!folder.Failure || (entry.Failure && entry.Failure->LeftBehind && !folder.Failure->LeftBehind))
        folder.Failure = entry.Failure;
    folder.Left.insert(folder.Left.end(), entry.Left.begin(), entry.Left.end());
}

// A file left behind because removing or renaming it failed just now.
TFailure LeftBehind(const QByteArray& path)
{
    TFailure failure = SystemFailure(path);
    failure.LeftBehind = true;
    return failure;
}

// One step of taking back what an item changed. When that fails too, the
// failure names what it left behind.
void Undo(int result, const QByteArray& path, TStep& failure)
{
    if (result != 0)
        failure = LeftBehind(path);
}

// A folder held open while its entries are worked on. Path names it in
// reports only; it is never resolved again.
struct TFolder {
    TFolder(TFileLayer& layer, QByteArray path) : Layer(layer), Path(std::move(path)) {}
    ~TFolder()
    {
        // Nothing was written through it: closing cannot lose anything.
        if (Fd >= 0)
            (void)Layer.Close(Fd);
    }
    TFolder(const TFolder&) = delete;
    TFolder& operator=(const TFolder&) = delete;

    TFileLayer& Layer;
    QByteArray Path;
    int Fd = -1;
    struct stat St {};
};

// An entry of an open folder.
struct TEntry {
    const TFolder& Folder;
    QByteArray Name;
    QByteArray Path() const { return JoinPath(Folder.Path, Name); }
};

// An item to copy or move, as lstat found it.
struct TSource : TEntry {
    struct stat St {};
};

// The name an item is to take; Replaces: it takes the place of what holds
// that name (a folder merges into the folder there), Existing as the user
// was asked about it.
struct TTarget : TEntry {
    bool Replaces = false;
    struct stat Existing {};
};

// The files, links and folders a folder being moved had copied into it, as
// they were examined: once the copy has its name, these sources go.
struct TCopied {
    QByteArray Name;
    struct stat St {};
    std::vector<TCopied> Entries;
};

// What is to take a target's name, and how it goes back when its item
// fails: a copy made for the source (removed), the source itself under a
// hidden name beside the target (renamed back), or the source itself where
// it is (nothing to do). Item records its steps; Made is a copy as made.
struct TArrival {
    enum TKind { Copy, StagedSource, Source };
    const TEntry& Entry;
    TKind Kind;
    TRecordItem& Item;
    std::optional<TExaminedFile> Made = std::nullopt;
    // The hidden name announced already for the file it replaces.
    QByteArray Aside = {};
};

TAt AtOf(const TEntry& entry)
{
    return TAt{entry.Folder.Fd, entry.Folder.Path, entry.Name};
}

// Opens a folder the user named, as the place its entries are named from.
TStep OpenGiven(TFolder& folder)
{
    folder.Fd = folder.Layer.Open(folder.Path, GivenFolderFlags);
    if (folder.Fd < 0 || folder.Layer.FStat(folder.Fd, folder.St) != 0)
        return SystemFailure(folder.Path);
    return std::nullopt;
}

// Opens the entry name of parent as a folder, never through a link; with
// expected, only while it is the folder that was examined.
TStep OpenEntry(const TFolder& parent, const QByteArray& name, int flags, TFolder& folder,
                const struct stat* expected)
{
    folder.Fd = folder.Layer.OpenAt(parent.Fd, name, flags | O_DIRECTORY | O_NOFOLLOW);
    if (folder.Fd < 0 || folder.Layer.FStat(folder.Fd, folder.St) != 0)
        return SystemFailure(folder.Path);
    if (expected && !SameIdentity(*expected, folder.St))
        return TFailure{TFileOpError::System, ENOENT, folder.Path};
    return std::nullopt;
}

// Whether the entry name of folder still is the file that was examined.
TStep StillAsExamined(const TFolder& folder, const QByteArray& name, const struct stat& examined,
                      bool statusTimeToo = true)
{
    struct stat now {};
    if (folder.Layer.FStatAt(folder.Fd, name, now, AT_SYMLINK_NOFOLLOW) != 0)
        return SystemFailure(JoinPath(folder.Path, name));
    if (!Unchanged(now, examined, statusTimeToo))
        return TFailure{TFileOpError::Changed, 0, JoinPath(folder.Path, name)};
    return std::nullopt;
}

// The names in an open folder, sorted, so that questions come in order.
TStep List(const TFolder& folder, std::vector<QByteArray>& names)
{
    if (folder.Layer.ReadDirAt(folder.Fd, names) != 0)
        return SystemFailure(folder.Path);
    std::sort(names.begin(), names.end());
    return std::nullopt;
}

}

QByteArray PathName(const QByteArray& path)
{
    const QByteArray clean = WithoutTrailingSlashes(path);
    return clean.mid(clean.lastIndexOf('/') + 1);
}

QByteArray PathFolder(const QByteArray& path)
{
    const QByteArray clean = WithoutTrailingSlashes(path);
    const qsizetype slash = clean.lastIndexOf('/');
    if (slash < 0)
        return QByteArray(".");
    return slash == 0 ? QByteArray("/") : clean.left(slash);
}

QByteArray JoinPath(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// How an item takes its name in a folder: asking the user when the name is
// taken, with a name of its own (a copy into its own folder), or at once (a
// folder just made holds nothing to collide with).
enum class TCollisions { Ask, NewName, None };

struct TFileOps::TRun {
    TRun(TFileOps& ops, TFileOpResult& result, bool moving)
        : Ops(ops), Layer(*ops.m_layer), Result(result), Moving(moving), RunRecord(Layer)
    {
    }

    TFileOps& Ops;
    TFileLayer& Layer;
    TFileOpResult& Result;
    const bool Moving;
    // Announces each step before it is taken; goes when the run ends.
    TRunRecord RunRecord;
    // How many folders being built enclose the item worked on: what is
    // copied into them is not recorded, for the folder goes as a whole.
    int Building = 0;
    // The hidden names of the folders this run is building.
    std::set<QByteArray> BuildingNames;
    // Pairs of folders on two file systems found to be one, or two.
    std::map<std::pair<TIdentity, TIdentity>, bool> FoldersCompared;
    TFileOpProgress Progress;
    // Answers for all further questions, about files and about folders.
    std::optional<TCollisionAnswer> RememberedForFiles, RememberedForFolders;
    bool Cancelled = false;
    // The folder of the last item given, open for the next from there.
    std::shared_ptr<TFolder> LastGiven;
    // The target folder given, the folders this run made, and how deep the
    // walk is below the item given: a copy must meet none of the first two
    // and stay within MaxFolderDepth.
    const TFolder* Target = nullptr;
    std::set<TIdentity> Made;
    int Depth = 0;
    // While a folder being moved is filled: what was copied into it, to be
    // removed from the source once it has its name (nothing else removes a
    // source then).
    TCopied* Copied = nullptr;

    bool Report(const QByteArray& current);
    std::shared_ptr<TFolder> GivenFolderOf(const QByteArray& path, TStep& failure);
    TStep FindGiven(const QByteArray& path, std::shared_ptr<TFolder>& parent, struct stat& st);
    void MeasureGiven(const QByteArray& path, const TFolder* target);
    void Measure(const TFolder& parent, const QByteArray& name, const struct stat& st, bool deep);
    void Record(const QByteArray& path, const TOutcome& outcome);
    TOutcome LeftAsItWas(const QByteArray& path, bool ontoItself = false);
    void Arrived(const TSource& source, const TTarget& target);

    void TransferAll(const QList<QByteArray>& sources, const QByteArray& targetFolder);
    TOutcome TransferGiven(const QByteArray& path, const TFolder& target);
    TStep IntoItself(const TSource& source, const TFolder& target);
    TOutcome TransferNamed(const TSource& source, const TFolder& folder, TCollisions collisions);
    TOutcome TransferEntry(const TFolder& from, const QByteArray& name, const struct stat& st, const TFolder& into,
                           TCollisions collisions);
    bool OntoItself(const TSource& source, const struct stat& existing, TStep& failure);
    bool OneFolder(const TFolder& from, const TFolder& into, TStep& failure);
    // Whether items record their steps: not inside a folder being built.
    bool Recording() const { return Building == 0; }
    TCollisionAnswer Ask(const TSource& source, const TTarget& target, bool folders);
    TOutcome TransferTo(const TSource& source, const TTarget& target);
    TOutcome MoveReplacing(const TSource& source, const TTarget& target);
    TOutcome CopyFile(const TSource& source, const TTarget& target);
    template <typename TMake>
    int MakeCopyName(const TSource& source, const TTarget& target, TRecordItem& item, QByteArray& hidden, TMake make);
    TStep FillCopy(TFileHandle& in, TFileHandle& out, const struct stat& st, const QByteArray& from,
                   const QByteArray& to, struct stat& made);
    TStep CopyData(int in, int out, qint64 size, const QByteArray& from, const QByteArray& to);
    TStep SameData(int in, int out, const struct stat& before, const QByteArray& from, const QByteArray& to,
                   struct stat& made);
    TOutcome CopyLink(const TSource& source, const TTarget& target);
    TOutcome CopyFolder(const TSource& source, const TTarget& target);
    TOutcome MergeFolder(const TSource& source, const TFolder& from, const TTarget& target);
    TOutcome BuildFolder(const TSource& source, const TFolder& from, const TTarget& target);
    void Discard(const TFolder& parent, const QByteArray& name, const QByteArray& shownAs, TOutcome& outcome);
    bool RecordTree(TRecordItem& item, const QByteArray& relative, const TCopied& copied);
    void RemoveMoved(const TFolder& folder, const TCopied& copied, TOutcome& outcome, TRecordItem& item);
    TStep RemoveSource(const TFolder& folder, const QByteArray& name, const struct stat& examined, TRecordItem& item);
    TStep KeepFolderAttributes(const TFolder& folder, const struct stat& st);
    void KeepOwner(int dirFd, const QByteArray& name, const struct stat& st);
    TOutcome Place(const TSource& source, const TTarget& target, const TArrival& arrival);
    TStep SetAside(const TTarget& target, TRecordItem& item, QByteArray& aside);
    TStep RemoveSetAside(const TTarget& target, const QByteArray& aside);
    void PutBack(const TTarget& target, const QByteArray& aside, TRecordItem& item, TStep& failure);
    void TakeBack(const TSource& source, const TArrival& arrival, TStep& failure);

    // Adds to outcome what act(name, lstat of it) gives for each of names
    // in the open folder, in order, until a cancel (if cancellable).
    template <typename TAct>
    void EachEntry(const TFolder& folder, const std::vector<QByteArray>& names, TOutcome& outcome, TAct act,
                   bool cancellable = true)
    {
        for (const QByteArray& name : names) {
            if (Cancelled && cancellable) {
                Add(outcome, TOutcome{TFate::Cancelled, std::nullopt, {}});
                return;
            }
            struct stat st {};
            if (Layer.FStatAt(folder.Fd, name, st, AT_SYMLINK_NOFOLLOW) != 0)
                Add(outcome, Failed(SystemFailure(JoinPath(folder.Path, name))));
            else
                Add(outcome, act(name, st));
        }
    }

    void DeleteAll(const QList<QByteArray>& paths);
    TOutcome DeleteGiven(const QByteArray& path);
    TOutcome Remove(const TFolder& parent, const QByteArray& name, const struct stat& st, bool counted = true);
};

TFileOps::TFileOps(std::shared_ptr<TFileLayer> layer) : m_layer(layer ? std::move(layer) : SystemFileLayer()) {}

TFileOps::~TFileOps() = default;

void TFileOps::SetFileLayer(std::shared_ptr<TFileLayer> layer)
{
    m_layer = layer ? std::move(layer) : SystemFileLayer();
    m_trash.reset();
}

TTrash& TFileOps::TrashBin()
{
    if (!m_trash)
        m_trash = std::make_unique<TTrash>(m_layer);
    return *m_trash;
}

QByteArray TFileOps::FreeName(const QByteArray& folder, const QByteArray& name, bool isFolder)
{
    TFolder open(*m_layer, folder);
    // A folder that cannot be opened leaves the first name, whose create
    // then fails for the same reason.
    (void)OpenGiven(open);
    return FreeCopyName(*m_layer, open.Fd, name, isFolder);
}

// --- What every operation shares

bool TFileOps::TRun::Report(const QByteArray& current)
{
    Progress.Current = current;
    if (!Cancelled && Ops.OnProgress && !Ops.OnProgress(Progress))
        Cancelled = true;
    return !Cancelled;
}

// The folder a given item lies in, as the user named it (links in its path
// followed), opened once for the items given from it in a row.
std::shared_ptr<TFolder> TFileOps::TRun::GivenFolderOf(const QByteArray& path, TStep& failure)
{
    const QByteArray folderPath = PathFolder(path);
    if (LastGiven && LastGiven->Path == folderPath)
        return LastGiven;
    auto folder = std::make_shared<TFolder>(Layer, folderPath);
    failure = OpenGiven(*folder);
    if (failure)
        return nullptr;
    LastGiven = folder;
    return folder;
}

// A given item: a valid name in its folder (opened), as lstat finds it.
TStep TFileOps::TRun::FindGiven(const QByteArray& path, std::shared_ptr<TFolder>& parent, struct stat& st)
{
    if (!IsValidName(PathName(path)))
        return TFailure{TFileOpError::InvalidName, 0, path};
    TStep failure;
    parent = GivenFolderOf(path, failure);
    if (!parent)
        return failure;
    if (Layer.FStatAt(parent->Fd, PathName(path), st, AT_SYMLINK_NOFOLLOW) != 0)
        return SystemFailure(path);
    return std::nullopt;
}

// Counts a given item for the progress: all in it and its bytes too, unless
// it is moved by a rename on one file system. Only an estimate: what cannot
// be examined here is met again, and reported, when the item is worked on.
void TFileOps::TRun::MeasureGiven(const QByteArray& path, const TFolder* target)
{
    std::shared_ptr<TFolder> parent;
    struct stat st {};
    if (FindGiven(path, parent, st)) {
        ++Progress.TotalItems;
        return;
    }
    Measure(*parent, PathName(path), st, !target || !Moving || st.st_dev != target->St.st_dev);
}

void TFileOps::TRun::Measure(const TFolder& parent, const QByteArray& name, const struct stat& st, bool deep)
{
    ++Progress.TotalItems;
    if (!deep)
        return;
    if (S_ISREG(st.st_mode))
        Progress.TotalBytes += st.st_size;
    if (!S_ISDIR(st.st_mode))
        return;
    TFolder folder(Layer, JoinPath(parent.Path, name));
    std::vector<QByteArray> names;
    // Counting a large tree takes a while too.
    if (!Report(folder.Path) || OpenEntry(parent, name, WalkedFolderFlags, folder, &st) || List(folder, names))
        return;
    for (const QByteArray& entry : names) {
        struct stat entrySt {};
        if (Layer.FStatAt(folder.Fd, entry, entrySt, AT_SYMLINK_NOFOLLOW) == 0)
            Measure(folder, entry, entrySt, true);
        else
            ++Progress.TotalItems;
    }
}

// The failure of a given item, if any, for the result. What was done and
// what was left as it was is recorded where it happens (Arrived,
// LeftAsItWas).
void TFileOps::TRun::Record(const QByteArray& path, const TOutcome& outcome)
{
    const auto named = [&path](const TFailure& failure) {
        return TFileOpFailure{path, failure.Reason, failure.Error, failure.Path == path ? QByteArray() : failure.Path};
    };
    if (outcome.Failure)
        Result.Failed.push_back(named(*outcome.Failure));
    for (const TFailure& left : outcome.Left)
        Result.LeftBehind.push_back(named(left));
}

TOutcome TFileOps::TRun::LeftAsItWas(const QByteArray& path, bool ontoItself)
{
    Result.Unchanged << path;
    if (ontoItself)
        Result.OntoItself << path;
    return TOutcome{TFate::Unchanged, std::nullopt, {}};
}

// A source that has wholly arrived (a folder: with all that was in it).
void TFileOps::TRun::Arrived(const TSource& source, const TTarget& target)
{
    ++Progress.DoneItems;
    Result.Done.push_back(
        TFileOpDone{source.Path(), target.Path(), target.Replaces && !S_ISDIR(source.St.st_mode)});
}

// --- Copy and move

TFileOpResult TFileOps::Copy(const QList<QByteArray>& sources, const QByteArray& targetFolder)
{
    return Transfer(sources, targetFolder, false);
}

TFileOpResult TFileOps::Move(const QList<QByteArray>& sources, const QByteArray& targetFolder)
{
    return Transfer(sources, targetFolder, true);
}

TFileOpResult TFileOps::Transfer(const QList<QByteArray>& sources, const QByteArray& targetFolder, bool move)
{
    TFileOpResult result;
    TRun run(*this, result, move);
    run.TransferAll(sources, targetFolder);
    return result;
}

void TFileOps::TRun::TransferAll(const QList<QByteArray>& sources, const QByteArray& targetFolder)
{
    TFolder target(Layer, WithoutTrailingSlashes(targetFolder));
    const TStep unusable = target.Path.isEmpty() ? TFailure{TFileOpError::System, ENOENT, {}} : OpenGiven(target);
    if (unusable) {
        Result.Failed.push_back(TFileOpFailure{target.Path, TFileOpError::TargetNotFolder, unusable->Error, {}});
        return;
    }
    Target = &target;
    Result.Leftovers = ::RecoverEndedRuns(Layer);
    for (const QByteArray& source : sources)
        MeasureGiven(WithoutTrailingSlashes(source), &target);
    LastGiven.reset(); // measuring saw the folders as they were before
    for (const QByteArray& source : sources) {
        const QByteArray path = WithoutTrailingSlashes(source);
        if (!Report(path))
            break;
        Record(path, TransferGiven(path, target));
        if (Cancelled)
            break;
    }
    Result.Cancelled = Cancelled;
}

// A given item into the target folder. A folder never goes into itself;
// into its own folder a move does nothing and a copy gets a name of its own.
TOutcome TFileOps::TRun::TransferGiven(const QByteArray& path, const TFolder& target)
{
    std::shared_ptr<TFolder> parent;
    struct stat st {};
    TStep failure = FindGiven(path, parent, st);
    if (failure)
        return Failed(*failure);
    const TSource source{{*parent, PathName(path)}, st};
    if (S_ISDIR(st.st_mode) && (failure = IntoItself(source, target)))
        return Failed(*failure);
    // Its own folder, perhaps reached through a link.
    const bool ownFolder = SameIdentity(parent->St, target.St);
    if (ownFolder && Moving)
        return LeftAsItWas(path, true);
    return TransferNamed(source, target, ownFolder ? TCollisions::NewName : TCollisions::Ask);
}

// Fails when the target folder is the source folder or lies below it: going
// up from the target to the root (the folder that is its own parent) meets
// the source.
TStep TFileOps::TRun::IntoItself(const TSource& source, const TFolder& target)
{
    const TFailure intoItself{TFileOpError::IntoItself, 0, source.Path()};
    if (SameIdentity(target.St, source.St))
        return intoItself;
    std::unique_ptr<TFolder> above;
    const TFolder* folder = &target;
    for (;;) {
        auto up = std::make_unique<TFolder>(Layer, JoinPath(folder->Path, ".."));
        up->Fd = Layer.OpenAt(folder->Fd, "..", GivenFolderFlags);
        if (up->Fd < 0 || Layer.FStat(up->Fd, up->St) != 0)
            return SystemFailure(up->Path);
        if (SameIdentity(up->St, source.St))
            return intoItself;
        if (SameIdentity(up->St, folder->St))
            return std::nullopt;
        above = std::move(up);
        folder = above.get();
    }
}

TOutcome TFileOps::TRun::TransferNamed(const TSource& source, const TFolder& folder, TCollisions collisions)
{
    TTarget target{{folder, source.Name}};
    if (collisions == TCollisions::None)
        return TransferTo(source, target);
    struct stat existing {};
    if (Layer.FStatAt(folder.Fd, source.Name, existing, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            return Failed(SystemFailure(target.Path()));
        return TransferTo(source, target);
    }
    const bool isFolder = S_ISDIR(source.St.st_mode);
    const auto numbered = [&] {
        target.Name = FreeCopyName(Layer, folder.Fd, source.Name, isFolder);
        return target.Name.isEmpty() ? Failed({TFileOpError::NoFreeName, 0, source.Path()})
                                     : TransferTo(source, target);
    };
    if (collisions == TCollisions::NewName)
        return numbered();
    TStep failure;
    if (OntoItself(source, existing, failure) || (!failure && OneFolder(source.Folder, folder, failure)))
        return LeftAsItWas(source.Path(), true);
    if (failure)
        return Failed(*failure);
    switch (Ask(source, target, isFolder && S_ISDIR(existing.st_mode))) {
    case TCollisionAnswer::Cancel:
        Cancelled = true;
        return TOutcome{TFate::Cancelled, std::nullopt, {}};
    case TCollisionAnswer::Skip:
        return LeftAsItWas(source.Path());
    case TCollisionAnswer::KeepBoth:
        return numbered();
    case TCollisionAnswer::Replace:
        break;
    }
    if (isFolder != S_ISDIR(existing.st_mode))
        return Failed({TFileOpError::KindConflict, 0, source.Path()});
    target.Replaces = true;
    target.Existing = existing;
    return TransferTo(source, target);
}

// Whether the source is the very file that holds the target's name: the
// same file, or a link to it through any chain of links. Replacing it would
// destroy it.
bool TFileOps::TRun::OntoItself(const TSource& source, const struct stat& existing, TStep& failure)
{
    if (SameIdentity(source.St, existing))
        return true;
    if (!S_ISLNK(source.St.st_mode))
        return false;
    struct stat resolved {};
    if (Layer.FStatAt(source.Folder.Fd, source.Name, resolved, 0) == 0)
        return SameIdentity(resolved, existing);
    // A link that leads nowhere does not lead to the target either; any
    // other answer leaves it unknown, and unknown is not safe to replace.
    if (errno != ENOENT && errno != ENOTDIR && errno != ELOOP)
        failure = SystemFailure(source.Path());
    return false;
}

// Whether the folder a source lies in and the folder it is to go into are
// one, seen through two mounts (a second view of a folder, a network share
// mounted twice): then the name taken is the source itself. On one file
// system their identities tell. Across two, neither identities nor what the
// system keeps of them for a while can be trusted: an entry of a name never
// seen is made in one and looked up through the other.
bool TFileOps::TRun::OneFolder(const TFolder& from, const TFolder& into, TStep& failure)
{
    if (from.St.st_dev == into.St.st_dev)
        return SameIdentity(from.St, into.St);
    const auto pair = std::make_pair(IdentityOf(from.St), IdentityOf(into.St));
    if (const auto known = FoldersCompared.find(pair); known != FoldersCompared.end())
        return known->second;
    TRecordItem item(RunRecord, Recording());
    bool one = false;
    if (ProbeOneFolder(Layer, item, from.Fd, {into.Fd, into.Path, {}}, one) != 0)
        failure = SystemFailure(into.Path);
    else
        FoldersCompared[pair] = one;
    return one;
}

// An answer "for all" holds for further questions of its kind: a folder
// answered Replace for all still has each file of the same name asked about.
TCollisionAnswer TFileOps::TRun::Ask(const TSource& source, const TTarget& target, bool folders)
{
    std::optional<TCollisionAnswer>& remembered = folders ? RememberedForFolders : RememberedForFiles;
    if (remembered)
        return *remembered;
    if (!Ops.OnCollision)
        return TCollisionAnswer::Skip;
    const TCollisionChoice choice = Ops.OnCollision(source.Path(), target.Path(), folders);
    if (choice.ForAll && choice.Answer != TCollisionAnswer::Cancel)
        remembered = choice.Answer;
    return choice.Answer;
}

TOutcome TFileOps::TRun::TransferTo(const TSource& source, const TTarget& target)
{
    if (!Report(source.Path()))
        return TOutcome{TFate::Cancelled, std::nullopt, {}};
    const bool isFolder = S_ISDIR(source.St.st_mode);
    // Into a folder being moved, everything is copied: its sources go only
    // once it has arrived whole.
    if (Moving && !Copied && source.St.st_dev == target.Folder.St.st_dev && !(isFolder && target.Replaces)) {
        // On one file system a move renames the item itself; EXDEV (two
        // mounts of one file system) leaves it to be copied after all.
        TRecordItem item(RunRecord, Recording());
        const TOutcome renamed =
            target.Replaces ? MoveReplacing(source, target) : Place(source, target, {source, TArrival::Source, item});
        if (renamed.Fate != TFate::Failed || renamed.Failure->Error != EXDEV)
            return renamed;
    }
    if (S_ISREG(source.St.st_mode))
        return CopyFile(source, target);
    if (S_ISLNK(source.St.st_mode))
        return CopyLink(source, target);
    if (isFolder)
        return CopyFolder(source, target);
    return Failed({TFileOpError::SpecialFile, 0, source.Path()});
}

// A move within one file system that replaces a file: the source goes to a
// hidden name beside its target first, and is placed from there.
TOutcome TFileOps::TRun::MoveReplacing(const TSource& source, const TTarget& target)
{
    TRecordItem item(RunRecord, Recording());
    TEntry staged{target.Folder, {}};
    // Where the file it replaces goes is announced with it: one line for the
    // two to wait for on the disk.
    const QByteArray aside = HiddenName(target.Name, THiddenKind::SetAside);
    if (MakeHiddenAnnounced(
            target.Name, THiddenKind::Moving, staged.Name,
            [&](const QByteArray& hidden) {
                return item.Write(TRecordVerb::Stage,
                                  {source.Folder.Path, source.Name, target.Folder.Path, hidden, target.Name},
                                  TExaminedFile::Of(source.St))
                       && item.Write(TRecordVerb::Aside, {target.Folder.Path, target.Name, aside},
                                     TExaminedFile::Of(target.Existing), true);
            },
            [&](const QByteArray&) { return RenameAnnounced(Layer, item, AtOf(source), AtOf(staged)); })
        != 0)
        return Failed(SystemFailure(source.Path()));
    return Place(source, target, {staged, TArrival::StagedSource, item, std::nullopt, aside});
}

// A regular file: the file examined, written under a hidden name in the
// target folder and checked (FillCopy), then placed.
TOutcome TFileOps::TRun::CopyFile(const TSource& source, const TTarget& target)
{
    // Not blocking: a pipe put in the file's place must not hold the run.
    constexpr int ReadFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK;
    int inFd = Layer.OpenAt(source.Folder.Fd, source.Name, ReadFlags | O_NOATIME);
    if (inFd < 0 && errno == EPERM) // O_NOATIME only for the file's owner
        inFd = Layer.OpenAt(source.Folder.Fd, source.Name, ReadFlags);
    TFileHandle in(Layer, inFd);
    struct stat st {};
    if (!in.IsOpen() || Layer.FStat(in.Fd(), st) != 0)
        return Failed(SystemFailure(source.Path()));
    // Another program saved a new version since the file was examined: what
    // was asked about, and what a move would remove, is not what was opened.
    if (!Unchanged(st, source.St))
        return Failed({TFileOpError::Changed, 0, source.Path()});
    TRecordItem item(RunRecord, Recording());
    TEntry copy{target.Folder, {}};
    TFileHandle out(Layer, MakeCopyName(source, target, item, copy.Name, [&](const QByteArray& name) {
                        const int fd = Layer.OpenAt(target.Folder.Fd, name, O_RDWR | O_CREAT | O_EXCL | O_NOATIME, 0600);
                        if (fd < 0 && errno == EPERM)
                            return Layer.OpenAt(target.Folder.Fd, name, O_RDWR | O_CREAT | O_EXCL, 0600);
                        return fd;
                    }));
    if (!out.IsOpen())
        return Failed(SystemFailure(target.Path()));
    TArrival arrival{copy, TArrival::Copy, item};
    struct stat made {};
    TStep failure = FillCopy(in, out, st, source.Path(), target.Path(), made);
    if (failure || Cancelled) {
        TakeBack(source, arrival, failure);
        return TOutcome{failure ? TFate::Failed : TFate::Cancelled, failure, {}};
    }
    arrival.Made = TExaminedFile::Of(made);
    return Place(source, target, arrival);
}

// Makes a copy for source under a hidden name beside target (make(hidden)
// creates it), announced first: with the source that goes once the copy has
// its name, when it is moved (in a folder being moved, that folder's source
// goes instead).
template <typename TMake>
int TFileOps::TRun::MakeCopyName(const TSource& source, const TTarget& target, TRecordItem& item, QByteArray& hidden,
                                 TMake make)
{
    if (Moving && !Copied
        && !item.Write(TRecordVerb::Source, {source.Folder.Path, source.Name}, TExaminedFile::Of(source.St)))
        return -1;
    return MakeHiddenAnnounced(
        target.Name, THiddenKind::Copy, hidden,
        [&](const QByteArray& name) { return item.Write(TRecordVerb::Copy, {target.Folder.Path, name, target.Name}); },
        make);
}

// The copy's data (each piece read back and compared), owner, mode and
// times, synced and closed; then the copy holds as many bytes as the
// original, which did not change meanwhile. Nothing when cancelled.
TStep TFileOps::TRun::FillCopy(TFileHandle& in, TFileHandle& out, const struct stat& st, const QByteArray& from,
                               const QByteArray& to, struct stat& made)
{
    if (TStep failure = CopyData(in.Fd(), out.Fd(), st.st_size, from, to); failure || Cancelled)
        return failure;
    KeepOwner(out.Fd(), {}, st);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (Layer.FChmod(out.Fd(), st.st_mode & 07777) != 0 || Layer.FUtimens(out.Fd(), times) != 0
        || Layer.FSync(out.Fd()) != 0)
        return SystemFailure(to);
    if (TStep changed = SameData(in.Fd(), out.Fd(), st, from, to, made))
        return changed;
    if (!out.Close())
        return SystemFailure(to);
    return std::nullopt;
}

TStep TFileOps::TRun::CopyData(int in, int out, qint64 size, const QByteArray& from, const QByteArray& to)
{
    std::vector<char>& buffer = Ops.m_buffer;
    std::vector<char>& compare = Ops.m_compare;
    buffer.resize(ChunkSize);
    compare.resize(ChunkSize);
    for (qint64 offset = 0; offset < size;) {
        const size_t want = static_cast<size_t>(std::min<qint64>(ChunkSize, size - offset));
        const ssize_t got = Layer.PRead(in, buffer.data(), want, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return SystemFailure(from);
        if (got == 0) // the file shrank while it was copied
            return TFailure{TFileOpError::VerifyFailed, 0, from};
        for (ssize_t written = 0; written < got;) {
            const ssize_t done = Layer.PWrite(out, buffer.data() + written, static_cast<size_t>(got - written),
                                              static_cast<off_t>(offset + written));
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                return TFailure{TFileOpError::System, done == 0 ? EIO : errno, to};
            written += done;
        }
        // Each piece is read back from the copy while the original's piece
        // is still at hand.
        if (!ReadExactlyAt(Layer, out, compare.data(), got, offset))
            return SystemFailure(to);
        if (std::memcmp(buffer.data(), compare.data(), static_cast<size_t>(got)) != 0)
            return TFailure{TFileOpError::VerifyFailed, 0, from};
        offset += got;
        Progress.DoneBytes += got;
        if (!Report(from))
            return std::nullopt;
    }
    return std::nullopt;
}

TStep TFileOps::TRun::SameData(int in, int out, const struct stat& before, const QByteArray& from,
                               const QByteArray& to, struct stat& outNow)
{
    struct stat inNow {};
    if (Layer.FStat(in, inNow) != 0)
        return SystemFailure(from);
    if (Layer.FStat(out, outNow) != 0)
        return SystemFailure(to);
    if (outNow.st_size != before.st_size || inNow.st_size != before.st_size
        || inNow.st_mtim.tv_sec != before.st_mtim.tv_sec || inNow.st_mtim.tv_nsec != before.st_mtim.tv_nsec)
        return TFailure{TFileOpError::VerifyFailed, 0, from};
    return std::nullopt;
}

// A symbolic link: made anew under a hidden name with the same target and
// times, then placed.
TOutcome TFileOps::TRun::CopyLink(const TSource& source, const TTarget& target)
{
    QByteArray pointsTo;
    if (Layer.ReadLinkAt(source.Folder.Fd, source.Name, pointsTo) != 0)
        return Failed(SystemFailure(source.Path()));
    TRecordItem item(RunRecord, Recording());
    TEntry copy{target.Folder, {}};
    if (MakeCopyName(source, target, item, copy.Name,
                     [&](const QByteArray& name) { return Layer.SymlinkAt(pointsTo, target.Folder.Fd, name); })
        != 0)
        return Failed(SystemFailure(target.Path()));
    TArrival arrival{copy, TArrival::Copy, item};
    KeepOwner(target.Folder.Fd, copy.Name, source.St);
    const struct timespec times[2] = {source.St.st_atim, source.St.st_mtim};
    struct stat made {};
    // Some file systems keep no times of links.
    if ((Layer.UtimensAt(target.Folder.Fd, copy.Name, times, AT_SYMLINK_NOFOLLOW) != 0 && errno != EOPNOTSUPP)
        || Layer.FStatAt(target.Folder.Fd, copy.Name, made, AT_SYMLINK_NOFOLLOW) != 0) {
        TStep failure = SystemFailure(target.Path());
        TakeBack(source, arrival, failure);
        return Failed(*failure);
    }
    arrival.Made = TExaminedFile::Of(made);
    return Place(source, target, arrival);
}

// A folder: made anew under the target name (BuildFolder), or, answered
// Replace, merged into the folder there (MergeFolder). The walk stops where
// it would reach into what it copies.
TOutcome TFileOps::TRun::CopyFolder(const TSource& source, const TTarget& target)
{
    TFolder from(Layer, source.Path());
    if (TStep failure = OpenEntry(source.Folder, source.Name, WalkedFolderFlags, from, &source.St))
        return Failed(*failure);
    // A mount can show the target, or a folder made here, inside the
    // source: copied on, the copy would go on without end.
    if (SameIdentity(from.St, Target->St) || Made.count(IdentityOf(from.St)))
        return Failed({TFileOpError::IntoItself, 0, source.Path()});
    if (Depth >= MaxFolderDepth)
        return Failed({TFileOpError::TooDeep, 0, source.Path()});
    ++Depth;
    TOutcome outcome = target.Replaces ? MergeFolder(source, from, target) : BuildFolder(source, from, target);
    --Depth;
    return outcome;
}

// An entry of a folder being copied. A folder this run is building, met
// inside what it copies, shows that a mount makes the target part of the
// source, also where the mount gives it another identity (FUSE).
TOutcome TFileOps::TRun::TransferEntry(const TFolder& from, const QByteArray& name, const struct stat& st,
                                       const TFolder& into, TCollisions collisions)
{
    if (S_ISDIR(st.st_mode) && BuildingNames.count(name))
        return Failed({TFileOpError::IntoItself, 0, from.Path});
    return TransferNamed(TSource{{from, name}, st}, into, collisions);
}

// Into the folder there, each entry on its own, asking about names taken.
// Moving, the source folder goes once all of it went.
TOutcome TFileOps::TRun::MergeFolder(const TSource& source, const TFolder& from, const TTarget& target)
{
    TFolder into(Layer, target.Path());
    std::vector<QByteArray> names;
    TOutcome outcome;
    // Moving, the folder goes once all of it went, also after a kill.
    TRecordItem item(RunRecord, Recording());
    if (TStep failure = OpenEntry(target.Folder, target.Name, O_PATH, into, nullptr))
        outcome = Failed(*failure);
    else if ((failure = List(from, names)))
        outcome = Failed(*failure);
    else if (Moving
             && !item.Write(TRecordVerb::Merge,
                            {source.Folder.Path, source.Name, target.Folder.Path, target.Name},
                            TExaminedFile::Of(source.St)))
        outcome = Failed(SystemFailure(source.Path()));
    EachEntry(from, names, outcome, [&](const QByteArray& name, const struct stat& st) {
        return TransferEntry(from, name, st, into, TCollisions::Ask);
    });
    if (outcome.Fate == TFate::Done && Moving && Layer.UnlinkAt(source.Folder.Fd, source.Name, AT_REMOVEDIR) != 0)
        Add(outcome, Failed(SystemFailure(source.Path())));
    if (outcome.Fate == TFate::Done)
        Arrived(source, target);
    return outcome;
}

// A new folder, built under a hidden name beside its target name and given
// that name once all of it has arrived; until then a failure or cancel takes
// it away with all that was copied into it. Moving, the sources stay until
// the folder has its name (then RemoveMoved, or the folder being moved
// around this one).
TOutcome TFileOps::TRun::BuildFolder(const TSource& source, const TFolder& from, const TTarget& target)
{
    TRecordItem item(RunRecord, Recording());
    QByteArray building;
    if (MakeCopyName(source, target, item, building,
                     [&](const QByteArray& name) { return Layer.MkdirAt(target.Folder.Fd, name, 0700); })
        != 0)
        return Failed(SystemFailure(target.Path()));
    BuildingNames.insert(building);
    // Named as it will be, so that what arrives is reported where it will be.
    TFolder into(Layer, target.Path());
    const size_t arrivedBefore = Result.Done.size();
    TCopied copied{source.Name, source.St, {}};
    std::vector<QByteArray> names;
    TOutcome outcome;
    if (TStep failure = OpenEntry(target.Folder, building, WalkedFolderFlags, into, nullptr))
        outcome = Failed(*failure);
    else if ((failure = List(from, names)))
        outcome = Failed(*failure);
    else
        Made.insert(IdentityOf(into.St));
    TCopied* const around = Copied;
    if (Moving)
        Copied = &copied;
    ++Building;
    EachEntry(from, names, outcome, [&](const QByteArray& name, const struct stat& st) {
        return TransferEntry(from, name, st, into, TCollisions::None);
    });
    --Building;
    Copied = around;
    // Mode and times last: adding the entries changed the folder's time, and
    // a read-only mode would have kept them out. Moving, the record names
    // every source before the folder takes its name: they go once it has.
    if (outcome.Fate == TFate::Done) {
        if (TStep failure = KeepFolderAttributes(into, source.St))
            Add(outcome, Failed(*failure));
        else if ((Moving && !around && !RecordTree(item, source.Name, copied))
                 || !item.Write(TRecordVerb::Commit, {}, TExaminedFile::Of(into.St))
                 || RenameAnnounced(Layer, item, {target.Folder.Fd, target.Folder.Path, building}, AtOf(target)) != 0)
            Add(outcome, Failed(SystemFailure(target.Path())));
    }
    if (outcome.Fate != TFate::Done) {
        Result.Done.resize(arrivedBefore);
        Discard(target.Folder, building, into.Path, outcome);
        return outcome;
    }
    if (around)
        around->Entries.push_back(std::move(copied));
    else if (Moving)
        RemoveMoved(source.Folder, copied, outcome, item);
    Arrived(source, target);
    return outcome;
}

// The record's lines of a folder moved by copying: the folder at relative
// (below the source's folder) and all that was copied from it.
bool TFileOps::TRun::RecordTree(TRecordItem& item, const QByteArray& relative, const TCopied& copied)
{
    if (!item.Write(TRecordVerb::Tree, {relative}, TExaminedFile::Of(copied.St)))
        return false;
    return std::all_of(copied.Entries.begin(), copied.Entries.end(), [&](const TCopied& entry) {
        return RecordTree(item, relative + '/' + entry.Name, entry);
    });
}

// Removes a folder this run built under the hidden name, and all in it: it
// holds only copies. Failures inside it named it as shownAs, the name it
// was to take; what cannot be removed is named where it lies.
void TFileOps::TRun::Discard(const TFolder& parent, const QByteArray& name, const QByteArray& shownAs,
                             TOutcome& outcome)
{
    struct stat st {};
    TOutcome removed = Layer.FStatAt(parent.Fd, name, st, AT_SYMLINK_NOFOLLOW) == 0
                           ? Remove(parent, name, st, false)
                           : Failed(SystemFailure(JoinPath(parent.Path, name)));
    if (removed.Fate == TFate::Done) {
        // What an undo inside could not remove has gone with the folder.
        if (outcome.Failure && outcome.Failure->LeftBehind && Below(outcome.Failure->Path, shownAs))
            outcome.Failure->LeftBehind = false;
        return;
    }
    TFailure left = removed.Failure ? *removed.Failure : SystemFailure(JoinPath(parent.Path, name));
    left.Path = JoinPath(parent.Path, name);
    left.LeftBehind = true;
    outcome.Failure = left;
}

// Once a folder moved by copying has its name: each source that was copied
// goes, while it is still what was copied, and then its folder, once empty.
// What stays is told: the folder has arrived all the same.
void TFileOps::TRun::RemoveMoved(const TFolder& folder, const TCopied& copied, TOutcome& outcome,
                                 TRecordItem& item)
{
    const size_t leftBefore = outcome.Left.size();
    TFolder inner(Layer, JoinPath(folder.Path, copied.Name));
    if (TStep failure = OpenEntry(folder, copied.Name, WalkedFolderFlags, inner, &copied.St)) {
        outcome.Left.push_back(*failure);
        return;
    }
    for (const TCopied& entry : copied.Entries) {
        if (S_ISDIR(entry.St.st_mode))
            RemoveMoved(inner, entry, outcome, item);
        else if (TStep left = RemoveSource(inner, entry.Name, entry.St, item))
            outcome.Left.push_back(*left);
    }
    // A folder that keeps something already told of needs no word of its own.
    if (Layer.UnlinkAt(folder.Fd, copied.Name, AT_REMOVEDIR) != 0 && outcome.Left.size() == leftBefore)
        outcome.Left.push_back(SystemFailure(inner.Path));
}

// Removes a source that was copied, while its name still holds the very
// file that was copied; a new version saved meanwhile stays (RemoveExamined).
TStep TFileOps::TRun::RemoveSource(const TFolder& folder, const QByteArray& name, const struct stat& examined,
                                   TRecordItem& item)
{
    QByteArray leftAt;
    switch (RemoveExamined(Layer, item, {folder.Fd, folder.Path, name}, TExaminedFile::Of(examined), true, &leftAt)) {
    case TRemoval::Removed:
        return std::nullopt;
    case TRemoval::Changed:
        return TFailure{TFileOpError::Changed, 0, JoinPath(folder.Path, name)};
    case TRemoval::Failed:
        break;
    }
    TFailure failure = SystemFailure(leftAt.isEmpty() ? JoinPath(folder.Path, name) : leftAt);
    failure.LeftBehind = !leftAt.isEmpty();
    return failure;
}

TStep TFileOps::TRun::KeepFolderAttributes(const TFolder& folder, const struct stat& st)
{
    KeepOwner(folder.Fd, {}, st);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (Layer.FChmod(folder.Fd, st.st_mode & 07777) != 0 || Layer.FUtimens(folder.Fd, times) != 0)
        return SystemFailure(folder.Path);
    return std::nullopt;
}

// The owner of a copy (the entry name of dirFd; no name: dirFd itself) is
// the original's where allowed: only root may give a file away, and what a
// user copies belongs to the user, as with "cp -p". So the result does not
// count.
void TFileOps::TRun::KeepOwner(int dirFd, const QByteArray& name, const struct stat& st)
{
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
        (void)Layer.FChownAt(dirFd, name, st.st_uid, st.st_gid,
                             AT_SYMLINK_NOFOLLOW | (name.isEmpty() ? AT_EMPTY_PATH : 0));
}

// Gives the arrival its name at target. From here on it is Place's to take
// back when the item fails. In this order, each step undone when a later
// one fails, and each announced in the record before it is taken:
//   1. the file answered Replace, still as the user was asked about it, is
//      set aside under a hidden name;
//   2. the arrival takes the name, by a rename that never replaces (the
//      commit: recovery goes forward from here);
//   3. moving, the source of a copy is removed, while it still is the file
//      that was copied (in a folder being moved, its folder does that);
//   4. the item has succeeded: the set-aside file is removed, while it
//      still is the one set aside.
TOutcome TFileOps::TRun::Place(const TSource& source, const TTarget& target, const TArrival& arrival)
{
    const bool copied = arrival.Kind == TArrival::Copy;
    TRecordItem& item = arrival.Item;
    TStep failure;
    QByteArray aside = arrival.Aside;
    if (target.Replaces && (failure = SetAside(target, item, aside))) {
        TakeBack(source, arrival, failure);
        return Failed(*failure);
    }
    if ((arrival.Kind != TArrival::Source && !item.Write(TRecordVerb::Commit, {}, arrival.Made))
        || RenameAnnounced(Layer, item, AtOf(arrival.Entry), AtOf(target)) != 0) {
        failure = SystemFailure(target.Path());
        TakeBack(source, arrival, failure);
        PutBack(target, aside, item, failure);
        return Failed(*failure);
    }
    if (copied && Moving && !Copied && (failure = RemoveSource(source.Folder, source.Name, source.St, item))) {
        // The source stays, so its copy goes: the file is in one place only.
        // The record names the copy as it is now, for recovery to remove
        // nothing else (should the line be missing, recovery finds the source
        // stays too).
        struct stat placed {};
        const bool examined = Layer.FStatAt(target.Folder.Fd, target.Name, placed, AT_SYMLINK_NOFOLLOW) == 0;
        (void)item.Write(TRecordVerb::Undo, {}, examined ? std::optional(TExaminedFile::Of(placed)) : std::nullopt);
        Undo(Layer.UnlinkAt(target.Folder.Fd, target.Name, 0), target.Path(), failure);
        PutBack(target, aside, item, failure);
        return Failed(*failure);
    }
    if (copied && Copied)
        Copied->Entries.push_back(TCopied{source.Name, source.St, {}});
    Arrived(source, target);
    TOutcome done;
    if (!aside.isEmpty()) {
        if (TStep left = RemoveSetAside(target, aside))
            done.Left.push_back(*left);
    }
    return done;
}

// Step 1 of Place: the file that holds the target's name, while it is the
// one the user was asked about, goes to a hidden name in its own folder
// (aside: one announced already, else none).
TStep TFileOps::TRun::SetAside(const TTarget& target, TRecordItem& item, QByteArray& aside)
{
    if (TStep changed = StillAsExamined(target.Folder, target.Name, target.Existing))
        return changed;
    TAt hidden{target.Folder.Fd, target.Folder.Path, aside};
    int renamed = aside.isEmpty() ? -1 : RenameAnnounced(Layer, item, AtOf(target), hidden);
    if (aside.isEmpty() || (renamed != 0 && errno == EEXIST))
        renamed = MakeHiddenAnnounced(
            target.Name, THiddenKind::SetAside, hidden.Name,
            [&](const QByteArray& name) {
                return item.Write(TRecordVerb::Aside, {target.Folder.Path, target.Name, name},
                                  TExaminedFile::Of(target.Existing), true);
            },
            [&](const QByteArray&) { return RenameAnnounced(Layer, item, AtOf(target), hidden); });
    aside.clear();
    if (renamed != 0)
        return SystemFailure(target.Path());
    aside = hidden.Name;
    // Another program's file that took the name just before the rename goes
    // back at once.
    TStep changed = StillAsExamined(target.Folder, aside, target.Existing, false);
    if (changed) {
        changed->Path = target.Path();
        PutBack(target, aside, item, changed);
        aside.clear();
    }
    return changed;
}

// Step 4 of Place: the set-aside file goes, unless it is no longer the file
// set aside. When it stays, the failure names it.
TStep TFileOps::TRun::RemoveSetAside(const TTarget& target, const QByteArray& aside)
{
    TStep left = StillAsExamined(target.Folder, aside, target.Existing, false);
    if (!left && Layer.UnlinkAt(target.Folder.Fd, aside, 0) != 0)
        left = SystemFailure(JoinPath(target.Folder.Path, aside));
    return left;
}

// Undoes step 1 of Place: the set-aside file takes its name again. Done
// last of every undo, so that a failure names the user's file.
void TFileOps::TRun::PutBack(const TTarget& target, const QByteArray& aside, TRecordItem& item, TStep& failure)
{
    if (!aside.isEmpty())
        Undo(RenameAnnounced(Layer, item, {target.Folder.Fd, target.Folder.Path, aside}, AtOf(target)),
             JoinPath(target.Folder.Path, aside), failure);
}

// Takes back what was to arrive, while it still has a name of its own: a
// copy is removed, a staged source renamed back.
void TFileOps::TRun::TakeBack(const TSource& source, const TArrival& arrival, TStep& failure)
{
    const TEntry& entry = arrival.Entry;
    if (arrival.Kind == TArrival::Copy)
        Undo(Layer.UnlinkAt(entry.Folder.Fd, entry.Name, 0), entry.Path(), failure);
    else if (arrival.Kind == TArrival::StagedSource)
        Undo(RenameAnnounced(Layer, arrival.Item, AtOf(entry), AtOf(source)), entry.Path(), failure);
}

// --- Delete for good

TFileOpResult TFileOps::Delete(const QList<QByteArray>& paths)
{
    TFileOpResult result;
    TRun run(*this, result, false);
    run.DeleteAll(paths);
    return result;
}

void TFileOps::TRun::DeleteAll(const QList<QByteArray>& paths)
{
    for (const QByteArray& path : paths)
        MeasureGiven(WithoutTrailingSlashes(path), nullptr);
    LastGiven.reset();
    for (const QByteArray& given : paths) {
        const QByteArray path = WithoutTrailingSlashes(given);
        const TOutcome outcome = DeleteGiven(path);
        if (outcome.Fate == TFate::Done)
            Result.Done.push_back(TFileOpDone{path, {}});
        Record(path, outcome);
        if (Cancelled)
            break;
    }
    Result.Cancelled = Cancelled;
}

TOutcome TFileOps::TRun::DeleteGiven(const QByteArray& path)
{
    std::shared_ptr<TFolder> parent;
    struct stat st {};
    if (const TStep failure = FindGiven(path, parent, st))
        return Failed(*failure);
    return Remove(*parent, PathName(path), st);
}

// Deletes the entry name of parent for good; a folder with all in it,
// walked through open descriptors, so that a link is never followed, not
// even one swapped in for a folder meanwhile (the folder's own removal then
// fails: it is a link now).
// Uncounted, it removes what this run made: no progress, no cancel.
TOutcome TFileOps::TRun::Remove(const TFolder& parent, const QByteArray& name, const struct stat& st, bool counted)
{
    TFolder folder(Layer, JoinPath(parent.Path, name));
    if (counted && !Report(folder.Path))
        return TOutcome{TFate::Cancelled, std::nullopt, {}};
    const bool isFolder = S_ISDIR(st.st_mode);
    if (isFolder) {
        std::vector<QByteArray> names;
        TStep failure = OpenEntry(parent, name, WalkedFolderFlags, folder, &st);
        if (failure || (failure = List(folder, names)))
            return Failed(*failure);
        TOutcome outcome;
        EachEntry(
            folder, names, outcome,
            [&](const QByteArray& entry, const struct stat& entrySt) { return Remove(folder, entry, entrySt, counted); },
            counted);
        if (outcome.Fate != TFate::Done)
            return outcome;
    }
    if (Layer.UnlinkAt(parent.Fd, name, isFolder ? AT_REMOVEDIR : 0) != 0)
        return Failed(SystemFailure(folder.Path));
    if (counted)
        ++Progress.DoneItems;
    return TOutcome{};
}

TLeftovers TFileOps::RecoverEndedRuns()
{
    return ::RecoverEndedRuns(*m_layer);
}

// --- Trash and rename

TFileOpResult TFileOps::Trash(const QList<QByteArray>& paths)
{
    TFileOpResult result;
    TRun run(*this, result, false);
    run.Progress.TotalItems = paths.size();
    TrashBin().ForgetFolders();
    for (const QByteArray& given : paths) {
        const QByteArray path = WithoutTrailingSlashes(given);
        if (!run.Report(path))
            break;
        QByteArray trashed;
        int error = 0;
        if (TrashBin().Put(path, &trashed, &error))
            result.Done.push_back(TFileOpDone{path, trashed});
        else
            result.Failed.push_back(
                TFileOpFailure{path, error == 0 ? TFileOpError::NoTrash : TFileOpError::System, error, {}});
        ++run.Progress.DoneItems;
    }
    result.Cancelled = run.Cancelled;
    return result;
}

std::optional<TFileOpFailure> TFileOps::Rename(const QByteArray& path, const QByteArray& newName, QByteArray* newPath)
{
    const QByteArray clean = WithoutTrailingSlashes(path);
    if (!IsValidName(newName) || !IsValidName(PathName(clean)))
        return TFileOpFailure{clean, TFileOpError::InvalidName, 0, {}};
    if (newPath)
        *newPath = JoinPath(PathFolder(clean), newName);
    if (RenameInFolder(*m_layer, clean, newName) != 0)
        return TFileOpFailure{clean, TFileOpError::System, errno, {}};
    return std::nullopt;
}
