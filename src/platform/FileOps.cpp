#include "platform/FileOps.h"

#include "platform/Trash.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Pieces in which files are copied and compared; progress is reported after
// each.
constexpr qint64 ChunkSize = 256 * 1024;

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

bool IsValidName(const QByteArray& name)
{
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') && !name.contains('\0');
}

// "Song (2)" gives "Song" and 2; names without such a number give 1.
std::pair<QByteArray, int> SplitCopyNumber(const QByteArray& stem)
{
    if (!stem.endsWith(')'))
        return {stem, 1};
    const qsizetype open = stem.lastIndexOf(" (");
    if (open <= 0)
        return {stem, 1};
    const QByteArray digits = stem.mid(open + 2, stem.size() - open - 3);
    bool ok = false;
    const int number = digits.toInt(&ok);
    if (!ok || number < 2 || digits.startsWith('0') || digits.startsWith('+'))
        return {stem, 1};
    return {stem.left(open), number};
}

struct timespec TimesOf(const struct stat& st, int which)
{
    return which == 0 ? st.st_atim : st.st_mtim;
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

struct TFileOps::TRun {
    bool Moving = false;
    TFileOpProgress Progress;
    std::optional<TCollisionAnswer> Remembered;
    bool Cancelled = false;
    // The first failure of the item in progress.
    std::optional<TFileOpFailure> Failure;
    // Items the user skipped (inside folders too): a folder that still holds
    // one is not removed after a move.
    int Skips = 0;
    std::vector<TFileOpDone>* Done = nullptr;
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

bool TFileOps::Report(TRun& run)
{
    if (!run.Cancelled && OnProgress && !OnProgress(run.Progress))
        run.Cancelled = true;
    return !run.Cancelled;
}

bool TFileOps::Fail(TRun& run, const QByteArray& path, TFileOpError error, int systemError)
{
    if (!run.Failure)
        run.Failure = TFileOpFailure{QByteArray(), error, systemError, path};
    return false;
}

std::optional<TCollisionAnswer> TFileOps::AskCollision(TRun& run, const QByteArray& source,
                                                       const QByteArray& target, bool folder)
{
    if (run.Remembered)
        return run.Remembered;
    if (!OnCollision)
        return TCollisionAnswer::Skip;
    const TCollisionChoice choice = OnCollision(source, target, folder);
    if (choice.ForAll && choice.Answer != TCollisionAnswer::Cancel)
        run.Remembered = choice.Answer;
    return choice.Answer;
}

std::optional<std::pair<dev_t, ino_t>> TFileOps::FolderIdentity(const QByteArray& folder)
{
    const auto known = m_folderIds.constFind(folder);
    if (known != m_folderIds.constEnd())
        return *known;
    struct stat st {};
    if (m_layer->Stat(folder, st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt;
    const std::pair<dev_t, ino_t> id{st.st_dev, st.st_ino};
    m_folderIds.insert(folder, id);
    return id;
}

bool TFileOps::IsInsideFolder(const QByteArray& folder, const QByteArray& path)
{
    const auto folderId = FolderIdentity(folder);
    QByteArray walk = m_layer->RealPath(path);
    if (!folderId || walk.isEmpty())
        return false;
    for (;;) {
        if (FolderIdentity(walk) == folderId)
            return true;
        if (walk == "/")
            return false;
        walk = PathFolder(walk);
    }
}

QByteArray TFileOps::FreeName(const QByteArray& folder, const QByteArray& name, bool isFolder)
{
    QByteArray stem = name;
    QByteArray extension;
    const qsizetype dot = isFolder ? -1 : name.lastIndexOf('.');
    if (dot > 0) {
        stem = name.left(dot);
        extension = name.mid(dot);
    }
    const auto [base, number] = SplitCopyNumber(stem);
    for (int n = number + 1;; ++n) {
        const QByteArray candidate = base + " (" + QByteArray::number(n) + ")" + extension;
        struct stat st {};
        if (m_layer->LStat(JoinPath(folder, candidate), st) != 0 && errno == ENOENT)
            return candidate;
        if (n > 1000000)
            return candidate; // the create that follows reports the collision
    }
}

void TFileOps::Measure(TRun& run, const QByteArray& path, bool deep)
{
    ++run.Progress.TotalItems;
    if (!deep)
        return;
    // Counting a large tree takes a while too.
    run.Progress.Current = path;
    if (!Report(run))
        return;
    struct stat st {};
    if (m_layer->LStat(path, st) != 0)
        return;
    if (S_ISREG(st.st_mode))
        run.Progress.TotalBytes += st.st_size;
    if (!S_ISDIR(st.st_mode))
        return;
    std::vector<QByteArray> names;
    if (m_layer->ReadDir(path, names) != 0)
        return;
    for (const QByteArray& name : names)
        Measure(run, JoinPath(path, name), true);
}

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
    m_folderIds.clear();
    const QByteArray target = WithoutTrailingSlashes(targetFolder);
    const auto targetId = FolderIdentity(target);
    if (target.isEmpty() || !targetId) {
        const int error = errno;
        result.Failed.push_back(TFileOpFailure{target, TFileOpError::TargetNotFolder, error, {}});
        return result;
    }
    TRun run;
    run.Moving = move;
    run.Done = &result.Done;
    for (const QByteArray& source : sources) {
        struct stat st {};
        // Renames within one file system take no time; anything copied is
        // counted whole.
        const bool deep = !move || m_layer->LStat(source, st) != 0 || st.st_dev != targetId->first;
        Measure(run, WithoutTrailingSlashes(source), deep);
    }
    for (const QByteArray& source : sources) {
        if (!Report(run))
            break;
        const QByteArray path = WithoutTrailingSlashes(source);
        const size_t doneBefore = result.Done.size();
        run.Failure.reset();
        TransferTopLevel(run, path, target);
        if (run.Failure) {
            TFileOpFailure failure = *run.Failure;
            failure.Path = path;
            if (failure.Inner == path)
                failure.Inner.clear();
            result.Failed.push_back(failure);
        } else if (run.Cancelled) {
            break;
        } else if (result.Done.size() == doneBefore) {
            result.Unchanged << path;
        }
    }
    result.Cancelled = run.Cancelled;
    m_folderIds.clear();
    return result;
}

void TFileOps::TransferTopLevel(TRun& run, const QByteArray& source, const QByteArray& target)
{
    struct stat st {};
    if (m_layer->LStat(source, st) != 0) {
        Fail(run, source, TFileOpError::System, errno);
        return;
    }
    const QByteArray name = PathName(source);
    if (!IsValidName(name)) {
        Fail(run, source, TFileOpError::InvalidName, 0);
        return;
    }
    if (S_ISDIR(st.st_mode) && IsInsideFolder(source, target)) {
        Fail(run, source, TFileOpError::IntoItself, 0);
        return;
    }
    // The folder it lies in, perhaps reached through a link: copies get a
    // name of their own, a move leaves it where it is.
    const auto parentId = FolderIdentity(PathFolder(source));
    const bool ownFolder = parentId && parentId == FolderIdentity(target);
    if (ownFolder && run.Moving) {
        ++run.Skips;
        return;
    }
    TransferNamed(run, source, st, target, name, ownFolder);
}

bool TFileOps::TransferNamed(TRun& run, const QByteArray& source, const struct stat& st, const QByteArray& folder,
                             const QByteArray& name, bool renameOnCollision)
{
    QByteArray target = JoinPath(folder, name);
    struct stat existing {};
    bool replace = false;
    if (m_layer->LStat(target, existing) == 0) {
        const bool sameFile = SameIdentity(existing, st);
        if (sameFile && run.Moving) {
            ++run.Skips;
            return true;
        }
        if (renameOnCollision || sameFile) {
            target = JoinPath(folder, FreeName(folder, name, S_ISDIR(st.st_mode)));
        } else {
            const bool folders = S_ISDIR(st.st_mode) && S_ISDIR(existing.st_mode);
            switch (*AskCollision(run, source, target, folders)) {
            case TCollisionAnswer::Cancel:
                run.Cancelled = true;
                return false;
            case TCollisionAnswer::Skip:
                ++run.Skips;
                return true;
            case TCollisionAnswer::KeepBoth:
                target = JoinPath(folder, FreeName(folder, name, S_ISDIR(st.st_mode)));
                break;
            case TCollisionAnswer::Replace:
                if (S_ISDIR(st.st_mode) != S_ISDIR(existing.st_mode))
                    return Fail(run, source, TFileOpError::KindConflict, 0);
                replace = true;
                break;
            }
        }
    } else if (errno != ENOENT) {
        return Fail(run, target, TFileOpError::System, errno);
    }
    return TransferTo(run, source, st, target, replace);
}

bool TFileOps::TransferTo(TRun& run, const QByteArray& source, const struct stat& st, const QByteArray& target,
                          bool replace)
{
    run.Progress.Current = source;
    if (!Report(run))
        return false;
    const auto landing = FolderIdentity(PathFolder(target));
    if (run.Moving && landing && landing->first == st.st_dev && !(replace && S_ISDIR(st.st_mode))) {
        const int renamed = replace ? m_layer->Rename(source, target) : m_layer->RenameNoReplace(source, target);
        if (renamed == 0) {
            ++run.Progress.DoneItems;
            run.Done->push_back(TFileOpDone{source, target});
            return true;
        }
        if (errno != EXDEV)
            return Fail(run, source, TFileOpError::System, errno);
    }
    if (S_ISREG(st.st_mode))
        return CopyFile(run, source, target, replace);
    if (S_ISLNK(st.st_mode))
        return CopyLink(run, source, st, target, replace);
    if (S_ISDIR(st.st_mode))
        return CopyFolder(run, source, st, target, replace);
    return Fail(run, source, TFileOpError::SpecialFile, 0);
}

int TFileOps::CreateTemporary(const QByteArray& folder, const QByteArray& name, QByteArray& path)
{
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // Hidden, and short enough for any name the folder can hold.
    const QByteArray stem = "." + name.left(200) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray suffix(8, '0');
        for (char& c : suffix)
            c = Letters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof(Letters) - 1))];
        path = JoinPath(folder, stem + suffix + ".part");
        int fd = m_layer->Open(path, O_RDWR | O_CREAT | O_EXCL | O_NOATIME, 0600);
        if (fd < 0 && errno == EPERM)
            fd = m_layer->Open(path, O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool TFileOps::CopyData(TRun& run, int in, int out, qint64 size)
{
    m_buffer.resize(ChunkSize);
    m_compare.resize(ChunkSize);
    for (qint64 offset = 0; offset < size;) {
        const size_t want = static_cast<size_t>(std::min<qint64>(ChunkSize, size - offset));
        const ssize_t got = m_layer->PRead(in, m_buffer.data(), want, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Fail(run, run.Progress.Current, TFileOpError::System, errno);
        if (got == 0) // the file shrank while it was copied
            return Fail(run, run.Progress.Current, TFileOpError::VerifyFailed, 0);
        for (ssize_t written = 0; written < got;) {
            const ssize_t done =
                m_layer->PWrite(out, m_buffer.data() + written, static_cast<size_t>(got - written),
                                static_cast<off_t>(offset + written));
            if (done < 0 && errno == EINTR)
                continue;
            if (done <= 0)
                return Fail(run, run.Progress.Current, TFileOpError::System, done == 0 ? EIO : errno);
            written += done;
        }
        // Each piece is read back from the copy while the original's piece
        // is still at hand.
        if (!ReadExactlyAt(*m_layer, out, m_compare.data(), got, offset))
            return Fail(run, run.Progress.Current, TFileOpError::System, errno);
        if (std::memcmp(m_buffer.data(), m_compare.data(), static_cast<size_t>(got)) != 0)
            return Fail(run, run.Progress.Current, TFileOpError::VerifyFailed, 0);
        offset += got;
        run.Progress.DoneBytes += got;
        if (!Report(run))
            return false;
    }
    return true;
}

bool TFileOps::SameData(TRun& run, int in, int out, const struct stat& before)
{
    // After the sync: the copy holds as many bytes as the original, and the
    // original did not change while it was copied.
    struct stat inNow {}, outNow {};
    if (m_layer->FStat(in, inNow) != 0 || m_layer->FStat(out, outNow) != 0)
        return Fail(run, run.Progress.Current, TFileOpError::System, errno);
    if (outNow.st_size != before.st_size || inNow.st_size != before.st_size
        || inNow.st_mtim.tv_sec != before.st_mtim.tv_sec || inNow.st_mtim.tv_nsec != before.st_mtim.tv_nsec)
        return Fail(run, run.Progress.Current, TFileOpError::VerifyFailed, 0);
    return true;
}

bool TFileOps::CopyFile(TRun& run, const QByteArray& source, const QByteArray& target, bool replace)
{
    int inFd = m_layer->Open(source, O_RDONLY | O_NOFOLLOW | O_NOATIME);
    if (inFd < 0 && errno == EPERM)
        inFd = m_layer->Open(source, O_RDONLY | O_NOFOLLOW);
    if (inFd < 0)
        return Fail(run, source, TFileOpError::System, errno);
    TFileHandle in(*m_layer, inFd);
    struct stat st {};
    if (m_layer->FStat(in.Fd(), st) != 0)
        return Fail(run, source, TFileOpError::System, errno);
    if (!S_ISREG(st.st_mode))
        return Fail(run, source, TFileOpError::SpecialFile, 0);
    QByteArray temporary;
    const int outFd = CreateTemporary(PathFolder(target), PathName(target), temporary);
    if (outFd < 0)
        return Fail(run, target, TFileOpError::System, errno);
    TFileHandle out(*m_layer, outFd);
    const struct timespec times[2] = {TimesOf(st, 0), TimesOf(st, 1)};
    bool ok = CopyData(run, in.Fd(), out.Fd(), st.st_size);
    if (ok && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
        (void)m_layer->FChown(out.Fd(), st.st_uid, st.st_gid); // kept where allowed
    if (ok && m_layer->FChmod(out.Fd(), st.st_mode & 07777) != 0)
        ok = Fail(run, target, TFileOpError::System, errno);
    if (ok && m_layer->FUtimens(out.Fd(), times) != 0)
        ok = Fail(run, target, TFileOpError::System, errno);
    if (ok && m_layer->FSync(out.Fd()) != 0)
        ok = Fail(run, target, TFileOpError::System, errno);
    ok = ok && SameData(run, in.Fd(), out.Fd(), st);
    if (!out.Close() && ok)
        ok = Fail(run, target, TFileOpError::System, errno);
    if (!ok) {
        m_layer->Unlink(temporary);
        return false;
    }
    in.Close();
    return PlaceCopy(run, source, temporary, target, replace);
}

bool TFileOps::CopyLink(TRun& run, const QByteArray& source, const struct stat& st, const QByteArray& target,
                        bool replace)
{
    QByteArray linkTarget;
    if (m_layer->ReadLink(source, linkTarget) != 0)
        return Fail(run, source, TFileOpError::System, errno);
    // A temporary link, so that a confirmed Replace swaps it in at once.
    QByteArray temporary;
    const int fd = CreateTemporary(PathFolder(target), PathName(target), temporary);
    if (fd < 0)
        return Fail(run, target, TFileOpError::System, errno);
    m_layer->Close(fd);
    if (m_layer->Unlink(temporary) != 0 || m_layer->Symlink(linkTarget, temporary) != 0) {
        const int error = errno;
        m_layer->Unlink(temporary);
        return Fail(run, target, TFileOpError::System, error);
    }
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
        (void)m_layer->LChown(temporary, st.st_uid, st.st_gid);
    const struct timespec times[2] = {TimesOf(st, 0), TimesOf(st, 1)};
    if (m_layer->Utimens(temporary, times, AT_SYMLINK_NOFOLLOW) != 0 && errno != EOPNOTSUPP) {
        const int error = errno;
        m_layer->Unlink(temporary);
        return Fail(run, target, TFileOpError::System, error);
    }
    return PlaceCopy(run, source, temporary, target, replace);
}

bool TFileOps::PlaceCopy(TRun& run, const QByteArray& source, const QByteArray& temporary,
                         const QByteArray& target, bool replace)
{
    const int placed = replace ? m_layer->Rename(temporary, target) : m_layer->RenameNoReplace(temporary, target);
    if (placed != 0) {
        const int error = errno;
        m_layer->Unlink(temporary);
        return Fail(run, target, TFileOpError::System, error);
    }
    if (run.Moving && m_layer->Unlink(source) != 0) {
        // The source stays: take the copy back, so that the file is in one
        // place only.
        const int error = errno;
        m_layer->Unlink(target);
        return Fail(run, source, TFileOpError::System, error);
    }
    ++run.Progress.DoneItems;
    run.Done->push_back(TFileOpDone{source, target, replace});
    return true;
}

bool TFileOps::CopyFolder(TRun& run, const QByteArray& source, const struct stat& st, const QByteArray& target,
                          bool merge)
{
    std::vector<QByteArray> names;
    if (m_layer->ReadDir(source, names) != 0)
        return Fail(run, source, TFileOpError::System, errno);
    if (!merge && m_layer->Mkdir(target, 0700) != 0)
        return Fail(run, target, TFileOpError::System, errno);
    std::sort(names.begin(), names.end());
    const int skipsBefore = run.Skips;
    bool complete = true;
    for (const QByteArray& name : names) {
        if (run.Cancelled)
            break;
        const QByteArray child = JoinPath(source, name);
        struct stat childSt {};
        if (m_layer->LStat(child, childSt) != 0) {
            complete = Fail(run, child, TFileOpError::System, errno);
            continue;
        }
        const bool placed = merge ? TransferNamed(run, child, childSt, target, name, false)
                                  : TransferTo(run, child, childSt, JoinPath(target, name), false);
        complete = placed && complete;
    }
    if (!merge) {
        // Mode and times last: adding the files changed the folder's time,
        // and a read-only mode would have kept them out.
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            (void)m_layer->LChown(target, st.st_uid, st.st_gid);
        const struct timespec times[2] = {TimesOf(st, 0), TimesOf(st, 1)};
        if (m_layer->Chmod(target, st.st_mode & 07777) != 0 || m_layer->Utimens(target, times, 0) != 0)
            complete = Fail(run, target, TFileOpError::System, errno);
    }
    if (!complete || run.Cancelled || run.Skips != skipsBefore)
        return complete && !run.Cancelled;
    if (run.Moving && m_layer->Rmdir(source) != 0)
        return Fail(run, source, TFileOpError::System, errno);
    ++run.Progress.DoneItems;
    run.Done->push_back(TFileOpDone{source, target});
    return true;
}

bool TFileOps::RemoveTree(TRun& run, const QByteArray& path)
{
    run.Progress.Current = path;
    if (!Report(run))
        return false;
    struct stat st {};
    if (m_layer->LStat(path, st) != 0)
        return Fail(run, path, TFileOpError::System, errno);
    if (S_ISDIR(st.st_mode)) {
        std::vector<QByteArray> names;
        if (m_layer->ReadDir(path, names) != 0)
            return Fail(run, path, TFileOpError::System, errno);
        bool complete = true;
        for (const QByteArray& name : names)
            complete = RemoveTree(run, JoinPath(path, name)) && complete;
        if (!complete)
            return false;
        if (m_layer->Rmdir(path) != 0)
            return Fail(run, path, TFileOpError::System, errno);
    } else if (m_layer->Unlink(path) != 0) {
        return Fail(run, path, TFileOpError::System, errno);
    }
    ++run.Progress.DoneItems;
    return true;
}

TFileOpResult TFileOps::Delete(const QList<QByteArray>& paths)
{
    TFileOpResult result;
    TRun run;
    run.Done = &result.Done;
    for (const QByteArray& path : paths)
        Measure(run, WithoutTrailingSlashes(path), true);
    for (const QByteArray& given : paths) {
        const QByteArray path = WithoutTrailingSlashes(given);
        run.Failure.reset();
        if (RemoveTree(run, path)) {
            result.Done.push_back(TFileOpDone{path, {}});
        } else if (run.Failure) {
            TFileOpFailure failure = *run.Failure;
            failure.Path = path;
            if (failure.Inner == path)
                failure.Inner.clear();
            result.Failed.push_back(failure);
        }
        if (run.Cancelled)
            break;
    }
    result.Cancelled = run.Cancelled;
    return result;
}

TFileOpResult TFileOps::Trash(const QList<QByteArray>& paths)
{
    TFileOpResult result;
    TRun run;
    run.Progress.TotalItems = paths.size();
    TrashBin().ForgetFolders();
    for (const QByteArray& given : paths) {
        const QByteArray path = WithoutTrailingSlashes(given);
        run.Progress.Current = path;
        if (!Report(run))
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
    const QByteArray target = JoinPath(PathFolder(clean), newName);
    if (newPath)
        *newPath = target;
    if (target == clean)
        return std::nullopt;
    if (m_layer->RenameNoReplace(clean, target) != 0)
        return TFileOpFailure{clean, TFileOpError::System, errno, {}};
    return std::nullopt;
}
