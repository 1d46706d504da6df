#include "platform/Recovery.h"

#include "platform/FileLayer.h"
#include "platform/RecordedSteps.h"
#include "platform/RunRecord.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <set>

#include <fcntl.h>
#include <unistd.h>

void TLeftovers::Add(const TLeftovers& more)
{
    Restored += more.Restored;
    Finished += more.Finished;
    Removed += more.Removed;
    Kept.insert(Kept.end(), more.Kept.begin(), more.Kept.end());
    LeftBehind.insert(LeftBehind.end(), more.LeftBehind.begin(), more.LeftBehind.end());
}

namespace {

constexpr int FolderFlags = O_PATH | O_DIRECTORY;

// Removes the entry name of dirFd for good, a folder with all in it, walked
// through descriptors and never through a link.
int RemoveTree(TFileLayer& layer, int dirFd, const QByteArray& name, const struct stat& st)
{
    if (S_ISDIR(st.st_mode)) {
        TFileHandle folder(layer, layer.OpenAt(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW));
        std::vector<QByteArray> names;
        if (!folder.IsOpen() || layer.ReadDirAt(folder.Fd(), names) != 0)
            return -1;
        for (const QByteArray& entry : names) {
            struct stat entrySt {};
            if (layer.FStatAt(folder.Fd(), entry, entrySt, AT_SYMLINK_NOFOLLOW) != 0
                || RemoveTree(layer, folder.Fd(), entry, entrySt) != 0)
                return -1;
        }
    }
    return layer.UnlinkAt(dirFd, name, S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0);
}

// Lines appended to an ended run's record for one of its items.
class TRecoveredLog : public TItemLog {
public:
    TRecoveredLog(TRunRecord& record, int item) : m_record(record), m_item(item) {}
    bool Write(TRecordVerb verb, const QList<QByteArray>& names,
               const std::optional<TExaminedFile>& identity = std::nullopt, bool durable = false) override
    {
        return m_record.Write(TRecordLine{m_item, verb, names, identity}, durable);
    }

private:
    TRunRecord& m_record;
    int m_item;
};

// Brings one item of a run that ended to an end: forward where its arrival
// had taken its name (the file it replaced and a moved source go, while they
// are still what was examined), else back (copies and reservations go, files
// set aside take their names again, staged sources go back where they came
// from). What cannot be done now leaves the item open, and is told.
class TItemRecovery {
public:
    TItemRecovery(TFileLayer& layer, TRunRecord& record, int item, std::vector<TRecordLine> lines, TLeftovers& told)
        : m_layer(layer), m_log(record, item), m_lines(std::move(lines)), m_told(told)
    {
        for (const TRecordLine& line : m_lines) {
            const int hidden = HiddenNameIndex(line.Verb);
            if (hidden >= 0 && hidden < line.Names.size())
                m_hidden.insert(line.Names[hidden]);
        }
    }
    ~TItemRecovery()
    {
        for (const auto& [path, open] : m_folders)
            if (open.first >= 0)
                (void)m_layer.Close(open.first);
    }
    TItemRecovery(const TItemRecovery&) = delete;
    TItemRecovery& operator=(const TItemRecovery&) = delete;

    // Whether the item is settled.
    bool Run();

private:
    // Where a verb's line names the hidden name it made; -1 for none.
    static int HiddenNameIndex(TRecordVerb verb);
    const TRecordLine* Last(TRecordVerb verb) const;
    std::ptrdiff_t IndexOf(const TRecordLine* line) const { return line ? line - m_lines.data() : -1; }
    // missingIsGone: a folder that is not there holds nothing (a folder
    // inside one that is there).
    std::optional<TAt> At(const QByteArray& folder, const QByteArray& name, bool missingIsGone = false);
    bool Exists(const TAt& at, struct stat& st);
    void Keep(const QByteArray& path, int error, bool changed = false);

    void SettleRenames();
    void SettleRename(const TRecordLine& line);
    bool IsReservation(const TAt& at, const struct stat& st);
    void Arrival();
    void Forward();
    void Backward();
    bool RemoveSource(const TRecordLine& source);
    void RemoveTreeSources(const TRecordLine& source);
    bool SettleRemovals(bool forward);
    void RemoveIfExamined(const TAt& at, const TExaminedFile& examined);
    bool Rename(const TAt& from, const TAt& to, QList<QByteArray>& told);
    void Case(const TRecordLine& line);
    QByteArray OwnFolder() const;
    QByteArray OwnName() const;
    QByteArray OwnPath() const;
    bool TakeBackArrived();
    std::optional<TAt> Below(const QByteArray& folder, const QByteArray& relative);
    void Probe(const TRecordLine& line);
    void Merge(const TRecordLine& line);

    TFileLayer& m_layer;
    TRecoveredLog m_log;
    std::vector<TRecordLine> m_lines;
    TLeftovers& m_told;
    // Folders opened, by path, or why they could not be.
    std::map<QByteArray, std::pair<int, int>> m_folders;
    std::set<QByteArray> m_hidden;
    std::set<QByteArray> m_kept;
    bool m_unsettled = false;
    bool m_finished = false;
};

int TItemRecovery::HiddenNameIndex(TRecordVerb verb)
{
    switch (verb) {
    case TRecordVerb::Copy:
    case TRecordVerb::Probe:
        return 1;
    case TRecordVerb::Aside:
    case TRecordVerb::Remove:
    case TRecordVerb::Case:
        return 2;
    case TRecordVerb::Stage:
        return 3;
    default:
        return -1;
    }
}

const TRecordLine* TItemRecovery::Last(TRecordVerb verb) const
{
    for (auto line = m_lines.rbegin(); line != m_lines.rend(); ++line)
        if (line->Verb == verb)
            return &*line;
    return nullptr;
}

// The entry name of the folder at path, opened once for the item; nothing
// when the folder cannot be reached now (a stick not plugged in): then the
// item stays open, and that is told.
std::optional<TAt> TItemRecovery::At(const QByteArray& folder, const QByteArray& name, bool missingIsGone)
{
    auto open = m_folders.find(folder);
    if (open == m_folders.end()) {
        const int fd = m_layer.Open(folder, FolderFlags);
        open = m_folders.emplace(folder, std::make_pair(fd, fd < 0 ? errno : 0)).first;
    }
    const auto [fd, error] = open->second;
    if (fd >= 0)
        return TAt{fd, folder, name};
    if (!(missingIsGone && error == ENOENT))
        Keep(folder, error);
    return std::nullopt;
}

// Whether the entry is there; an entry that cannot be examined is kept.
bool TItemRecovery::Exists(const TAt& at, struct stat& st)
{
    if (m_layer.FStatAt(at.DirFd, at.Name, st, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    if (errno != ENOENT)
        Keep(at.Path(), errno);
    return false;
}

void TItemRecovery::Keep(const QByteArray& path, int error, bool changed)
{
    m_unsettled = true;
    if (m_kept.insert(path).second)
        m_told.Kept.push_back(TKeptLeftover{path, changed ? 0 : error, changed});
}

bool TItemRecovery::Run()
{
    SettleRenames();
    if (const TRecordLine* line = Last(TRecordVerb::Case))
        Case(*line);
    else if (const TRecordLine* probe = Last(TRecordVerb::Probe))
        Probe(*probe);
    else if (const TRecordLine* merge = Last(TRecordVerb::Merge))
        Merge(*merge);
    else if (Last(TRecordVerb::Copy) || Last(TRecordVerb::Stage))
        Arrival();
    return !m_unsettled && m_log.Write(TRecordVerb::Done, {});
}

// Renames that a kill stopped half way through their steps: where both
// names are there, the second link goes, or the reservation or placeholder
// under the new name (an empty file or folder of ours that is not the file
// renamed). A rename announced and then reported as failed changed nothing.
void TItemRecovery::SettleRenames()
{
    std::vector<const TRecordLine*> pending;
    for (const TRecordLine& line : m_lines) {
        if (line.Verb != TRecordVerb::Rename)
            continue;
        if (line.Identity) {
            pending.push_back(&line);
            continue;
        }
        const auto failed = std::find_if(pending.rbegin(), pending.rend(),
                                         [&](const TRecordLine* announced) { return announced->Names == line.Names; });
        if (failed != pending.rend())
            pending.erase(std::next(failed).base());
    }
    for (const TRecordLine* line : pending)
        SettleRename(*line);
}

void TItemRecovery::SettleRename(const TRecordLine& line)
{
    const std::optional<TAt> from = At(line.Names[0], line.Names[1], true);
    const std::optional<TAt> to = At(line.Names[2], line.Names[3], true);
    struct stat fromSt {}, toSt {};
    if (!from || !to || !Exists(*from, fromSt) || !Exists(*to, toSt))
        return;
    const bool secondLink = fromSt.st_dev == toSt.st_dev && fromSt.st_ino == toSt.st_ino;
    if (!secondLink && (line.Identity->Matches(toSt) || !IsReservation(*to, toSt)))
        return;
    if (RemoveTree(m_layer, to->DirFd, to->Name, toSt) != 0) {
        Keep(to->Path(), errno);
        return;
    }
    if (!secondLink && !m_hidden.count(to->Name))
        m_told.Removed << to->Path();
}

// An empty file or folder of this user's.
bool TItemRecovery::IsReservation(const TAt& at, const struct stat& st)
{
    if (st.st_uid != ::geteuid())
        return false;
    if (S_ISREG(st.st_mode))
        return st.st_size == 0;
    if (!S_ISDIR(st.st_mode))
        return false;
    TFileHandle folder(m_layer, m_layer.OpenAt(at.DirFd, at.Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW));
    std::vector<QByteArray> names;
    return folder.IsOpen() && m_layer.ReadDirAt(folder.Fd(), names) == 0 && names.empty();
}

// A copy or a staged source that was to take a name: forward only where it
// was about to take it, nothing was being taken back since, and the name
// holds the very arrival (a rename that failed, and its arrival taken back,
// leave another file there, or none).
void TItemRecovery::Arrival()
{
    const TRecordLine* copy = Last(TRecordVerb::Copy);
    const TRecordLine* stage = Last(TRecordVerb::Stage);
    const TRecordLine* commit = Last(TRecordVerb::Commit);
    const TRecordLine* arrival = IndexOf(stage) > IndexOf(copy) ? stage : copy;
    const int hidden = HiddenNameIndex(arrival->Verb);
    // What the arrival is: a copy as made, a staged source as examined.
    const TRecordLine* madeBy = arrival == stage ? stage : commit;
    const TExaminedFile* made = madeBy && madeBy->Identity ? &*madeBy->Identity : nullptr;
    const std::optional<TAt> at = At(arrival->Names[hidden - 1], arrival->Names[hidden]);
    const std::optional<TAt> own = At(OwnFolder(), OwnName());
    struct stat st {};
    const bool arrived = commit && IndexOf(commit) > IndexOf(Last(TRecordVerb::Undo)) && made && at && own
                         && !Exists(*at, st) && Exists(*own, st) && made->SameFile(st) && !m_unsettled;
    if (arrived)
        Forward();
    else
        Backward();
}

void TItemRecovery::Forward()
{
    const TRecordLine* source = Last(TRecordVerb::Source);
    const bool folder = source && source->Identity && S_ISDIR(source->Identity->Type);
    bool changed = !SettleRemovals(true);
    if (folder)
        RemoveTreeSources(*source);
    else if (source && !changed)
        changed = !RemoveSource(*source);
    // A moved file that is not what was copied stays, so its copy goes: the
    // file is in one place only.
    if (changed && !folder) {
        if (TakeBackArrived())
            Backward();
        return;
    }
    if (const TRecordLine* aside = Last(TRecordVerb::Aside)) {
        if (const std::optional<TAt> at = At(aside->Names[0], aside->Names[2]))
            RemoveIfExamined(*at, *aside->Identity);
    }
    if (m_finished)
        m_told.Finished << OwnPath();
}

// A copy that took its name is to go again: the record says so first, with
// the copy as it is now (what was made, not a file alike), so that nothing
// else is ever removed in its place.
bool TItemRecovery::TakeBackArrived()
{
    const TRecordLine* commit = Last(TRecordVerb::Commit);
    const std::optional<TAt> named = At(OwnFolder(), OwnName());
    struct stat st {};
    std::optional<TExaminedFile> copy;
    if (commit && commit->Identity && named && Exists(*named, st) && commit->Identity->SameFile(st)
        && commit->Identity->Matches(st))
        copy = TExaminedFile::Of(st);
    if (m_log.Write(TRecordVerb::Undo, {}, copy))
        return true;
    Keep(OwnPath(), errno);
    return false;
}

// The name the item's arrival was to take.
QByteArray TItemRecovery::OwnFolder() const
{
    if (const TRecordLine* copy = Last(TRecordVerb::Copy))
        return copy->Names[0];
    return Last(TRecordVerb::Stage)->Names[2];
}

QByteArray TItemRecovery::OwnName() const
{
    if (const TRecordLine* copy = Last(TRecordVerb::Copy))
        return copy->Names[2];
    return Last(TRecordVerb::Stage)->Names[4];
}

QByteArray TItemRecovery::OwnPath() const
{
    return TAt{-1, OwnFolder(), OwnName()}.Path();
}

// The entry relative (a path below folder) opened through its folder; a
// folder that is not there holds nothing.
std::optional<TAt> TItemRecovery::Below(const QByteArray& folder, const QByteArray& relative)
{
    const qsizetype slash = relative.lastIndexOf('/');
    if (slash < 0)
        return At(folder, relative, true);
    return At(TAt{-1, folder, relative.left(slash)}.Path(), relative.mid(slash + 1), true);
}

void TItemRecovery::Backward()
{
    if (const TRecordLine* copy = Last(TRecordVerb::Copy)) {
        const TAt own{-1, copy->Names[0], copy->Names[2]};
        bool made = false;
        bool removed = false;
        struct stat st {};
        if (const std::optional<TAt> at = At(copy->Names[0], copy->Names[1]); at && Exists(*at, st)) {
            made = true;
            removed = RemoveTree(m_layer, at->DirFd, at->Name, st) == 0;
            if (!removed)
                Keep(at->Path(), errno);
        }
        // The copy had taken its name when its item was taken back: it goes
        // while it is still the copy as the record names it.
        const TRecordLine* undo = Last(TRecordVerb::Undo);
        const std::optional<TAt> named = At(own.Folder, own.Name);
        if (!made && undo && undo->Identity && IndexOf(undo) > IndexOf(Last(TRecordVerb::Commit)) && named
            && Exists(*named, st) && undo->Identity->SameFile(st) && undo->Identity->Matches(st, true)) {
            removed = m_layer.UnlinkAt(named->DirFd, named->Name, 0) == 0;
            if (!removed)
                Keep(named->Path(), errno);
        }
        if (removed)
            m_told.Removed << own.Path();
    }
    if (const TRecordLine* stage = Last(TRecordVerb::Stage)) {
        const std::optional<TAt> staged = At(stage->Names[2], stage->Names[3]);
        struct stat st {};
        if (staged && Exists(*staged, st)) {
            if (const std::optional<TAt> source = At(stage->Names[0], stage->Names[1]))
                Rename(*staged, *source, m_told.Restored);
        }
    }
    (void)SettleRemovals(false);
    if (const TRecordLine* aside = Last(TRecordVerb::Aside)) {
        const std::optional<TAt> hidden = At(aside->Names[0], aside->Names[2]);
        const std::optional<TAt> own = At(aside->Names[0], aside->Names[1]);
        struct stat st {};
        if (hidden && own && Exists(*hidden, st))
            Rename(*hidden, *own, m_told.Restored);
    }
}

// The moved file of a copy that took its name goes, while it is still what
// was copied; false when it is not. Where its folder is gone, so is it.
bool TItemRecovery::RemoveSource(const TRecordLine& source)
{
    const std::optional<TAt> at = At(source.Names[0], source.Names[1], true);
    struct stat st {};
    if (!at || !Exists(*at, st))
        return true;
    QByteArray leftAt;
    switch (RemoveExamined(m_layer, m_log, *at, *source.Identity, true, &leftAt)) {
    case TRemoval::Removed:
        m_finished = true;
        return true;
    case TRemoval::Changed:
        return false;
    case TRemoval::Failed:
        Keep(leftAt.isEmpty() ? at->Path() : leftAt, errno);
        break;
    }
    return true;
}

// A folder moved by copying, whose copy took its name: each entry that was
// copied goes while it is still what was copied, then each folder, once
// empty. What another program changed stays, and is told.
void TItemRecovery::RemoveTreeSources(const TRecordLine& source)
{
    std::vector<const TRecordLine*> folders;
    for (const TRecordLine& line : m_lines) {
        if (line.Verb != TRecordVerb::Tree)
            continue;
        if (S_ISDIR(line.Identity->Type)) {
            folders.push_back(&line);
            continue;
        }
        const std::optional<TAt> at = Below(source.Names[0], line.Names[0]);
        struct stat st {};
        if (!at || !Exists(*at, st))
            continue;
        QByteArray leftAt;
        switch (RemoveExamined(m_layer, m_log, *at, *line.Identity, true, &leftAt)) {
        case TRemoval::Removed:
            m_finished = true;
            break;
        case TRemoval::Changed:
            // The user's newer version under its own name: it stays, once
            // told, and the folder that arrived is done all the same.
            m_told.LeftBehind.push_back(TKeptLeftover{at->Path(), 0, true});
            break;
        case TRemoval::Failed:
            Keep(leftAt.isEmpty() ? at->Path() : leftAt, errno);
            break;
        }
    }
    // Deepest first: they were recorded from the top down.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        const std::optional<TAt> at = Below(source.Names[0], (*folder)->Names[0]);
        struct stat st {};
        if (!at || !Exists(*at, st))
            continue;
        if (m_layer.UnlinkAt(at->DirFd, at->Name, AT_REMOVEDIR) == 0)
            m_finished = true;
        else if (errno != ENOTEMPTY && errno != EEXIST)
            Keep(at->Path(), errno);
    }
}

// Moved files set aside to go, which a kill stopped before they went: where
// the item goes forward and the file is what was examined, it goes; else it
// takes its name again. False when one was not what was examined.
bool TItemRecovery::SettleRemovals(bool forward)
{
    std::map<std::pair<QByteArray, QByteArray>, const TRecordLine*> last;
    for (const TRecordLine& line : m_lines)
        if (line.Verb == TRecordVerb::Remove)
            last[{line.Names[0], line.Names[1]}] = &line;
    bool asExamined = true;
    for (const auto& [name, line] : last) {
        const std::optional<TAt> hidden = At(line->Names[0], line->Names[2], true);
        const std::optional<TAt> own = At(line->Names[0], line->Names[1], true);
        struct stat st {};
        if (!hidden || !own || !Exists(*hidden, st))
            continue;
        const bool examined = line->Identity->Matches(st);
        asExamined = asExamined && examined;
        if (forward && examined) {
            if (m_layer.UnlinkAt(hidden->DirFd, hidden->Name, 0) == 0)
                m_finished = true;
            else
                Keep(hidden->Path(), errno);
        } else {
            Rename(*hidden, *own, m_told.Restored);
        }
    }
    return asExamined;
}

// A file set aside or left behind by an item that is done goes, while it is
// still the file examined; else it stays, and is told.
void TItemRecovery::RemoveIfExamined(const TAt& at, const TExaminedFile& examined)
{
    struct stat st {};
    if (!Exists(at, st))
        return;
    if (!examined.Matches(st)) {
        Keep(at.Path(), 0, true);
        return;
    }
    if (m_layer.UnlinkAt(at.DirFd, at.Name, 0) == 0)
        m_finished = true;
    else
        Keep(at.Path(), errno);
}

// A file under a hidden name takes its own name again, never replacing
// anything: told among told, or kept where the name is taken.
bool TItemRecovery::Rename(const TAt& from, const TAt& to, QList<QByteArray>& told)
{
    if (RenameAnnounced(m_layer, m_log, from, to) != 0) {
        Keep(from.Path(), errno);
        return false;
    }
    told << to.Path();
    return true;
}

// A change of case, stopped between its two renames: the file takes its old
// name again.
void TItemRecovery::Case(const TRecordLine& line)
{
    const std::optional<TAt> hidden = At(line.Names[0], line.Names[2]);
    const std::optional<TAt> own = At(line.Names[0], line.Names[1]);
    struct stat st {};
    if (hidden && own && Exists(*hidden, st))
        Rename(*hidden, *own, m_told.Restored);
}

void TItemRecovery::Probe(const TRecordLine& line)
{
    const std::optional<TAt> at = At(line.Names[0], line.Names[1]);
    struct stat st {};
    if (at && Exists(*at, st) && S_ISREG(st.st_mode) && m_layer.UnlinkAt(at->DirFd, at->Name, 0) != 0)
        Keep(at->Path(), errno);
}

// A folder merged into another by moving: its entries that arrived are
// done; the folder goes once nothing is left in it.
void TItemRecovery::Merge(const TRecordLine& line)
{
    const std::optional<TAt> at = At(line.Names[0], line.Names[1]);
    struct stat st {};
    if (at && Exists(*at, st) && S_ISDIR(st.st_mode) && IsReservation(*at, st)
        && m_layer.UnlinkAt(at->DirFd, at->Name, AT_REMOVEDIR) == 0)
        m_told.Finished << TAt{-1, line.Names[2], line.Names[3]}.Path();
}

// The lines of a record by item, in order.
std::map<int, std::vector<TRecordLine>> ByItem(const std::vector<TRecordLine>& lines)
{
    std::map<int, std::vector<TRecordLine>> items;
    for (const TRecordLine& line : lines)
        items[line.Item].push_back(line);
    return items;
}

QByteArray ReadWhole(TFileLayer& layer, int fd, bool& ok)
{
    struct stat st {};
    ok = layer.FStat(fd, st) == 0;
    QByteArray content(ok ? st.st_size : 0, Qt::Uninitialized);
    ok = ok && ReadExactlyAt(layer, fd, content.data(), content.size(), 0);
    return content;
}

// Recovers the record name of the record folder, when its run has ended.
void RecoverRecord(TFileLayer& layer, int folderFd, const QByteArray& name, TLeftovers& told)
{
    const int fd = layer.OpenAt(folderFd, name, O_RDWR | O_NOFOLLOW);
    if (fd < 0)
        return;
    struct stat st {};
    bool read = false;
    QByteArray content;
    // Locked: its run still runs, or another recovery is at it. Gone
    // meanwhile: another recovery finished it.
    if (layer.LockFile(fd) != 0 || layer.FStat(fd, st) != 0 || st.st_nlink == 0
        || (content = ReadWhole(layer, fd, read), !read)) {
        (void)layer.Close(fd);
        return;
    }
    const std::map<int, std::vector<TRecordLine>> items = ByItem(DecodeRecordLines(content));
    std::set<int> open;
    for (const auto& [item, lines] : items)
        if (std::none_of(lines.begin(), lines.end(),
                         [](const TRecordLine& line) { return line.Verb == TRecordVerb::Done; }))
            open.insert(item);
    TRunRecord record(layer, fd, RunRecordFolder() + '/' + name, content.size(), open);
    // The last first: an item begun inside another (an entry of a folder
    // being merged) is settled before the one around it.
    for (auto item = open.rbegin(); item != open.rend(); ++item)
        TItemRecovery(layer, record, *item, items.at(*item), told).Run();
}

}

TLeftovers RecoverEndedRuns(TFileLayer& layer)
{
    TLeftovers told;
    TFileHandle folder(layer, layer.Open(RunRecordFolder(), O_RDONLY | O_DIRECTORY));
    std::vector<QByteArray> names;
    if (!folder.IsOpen() || layer.ReadDirAt(folder.Fd(), names) != 0)
        return told;
    std::sort(names.begin(), names.end());
    for (const QByteArray& name : names)
        if (name.startsWith("run-") && name.endsWith(".record"))
            RecoverRecord(layer, folder.Fd(), name, told);
    return told;
}
