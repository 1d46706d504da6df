#include "tagengine/FileRewrite.h"

#include "platform/FileLayer.h"
#include "platform/NativePath.h"
#include "tagengine/ID3v1Block.h"


#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>

namespace {

constexpr int MaxTemporaryNames = 30;
constexpr int TemporaryNameLength = 30;
constexpr qint64 CopyBufferSize = 1024 * 1024;

bool RegionsFit(const TTagRegions& old, qint64 size)
{
    const qint64 keptEnd = size - (old.HasID3v1 ? ID3v1BlockSize : 0);
    if (keptEnd < 0)
        return false;
    return !old.HasID3v2
           || (old.ID3v2Offset >= 0 && old.ID3v2Size > 0 && old.ID3v2Offset + old.ID3v2Size <= keptEnd);
}

// The file is still in the state its scan found: the same file, size and
// write time, and not touched since (a program that writes and then gives
// the file its write time back still changes the status-change time). When
// this rewrite lifted the write protection itself, that changed the
// status-change time, which is then not compared.
bool IsAsScanned(const struct stat& st, const TRewriteJob& job, bool modeChangedHere = false)
{
    const TFileInformation now = FileInformationFromStat(st, job.FileName);
    return modeChangedHere ? now.SameState(job.Old.File) : now.Untouched(job.Old.File);
}

void SetTimes(struct timespec (&times)[2], const TFileInformation& info)
{
    times[0] = NsToTimespec(info.LastAccessNs);
    times[1] = NsToTimespec(info.LastWriteNs);
}

// Gives a file its mode back after write permission was added for a write.
class TModeRestore {
public:
    TModeRestore(TFileLayer& layer, QByteArray path, mode_t mode) : m_layer(layer), m_path(std::move(path)), m_mode(mode) {}
    ~TModeRestore() { m_layer.Chmod(m_path, m_mode); }

private:
    TFileLayer& m_layer;
    QByteArray m_path;
    mode_t m_mode;
};

} // namespace

// A piece of the new file: a range of the old file, or bytes of a new tag.
struct TFileRewrite::TPiece {
    qint64 From = 0;
    qint64 To = 0;
    const QByteArray* Bytes = nullptr;
};

// Removes the temporary file unless the rewrite got through.
class TFileRewrite::TTemporaryFile {
public:
    TTemporaryFile(TFileLayer& layer, QByteArray path, int fd) : m_layer(layer), m_path(std::move(path)), m_handle(layer, fd) {}
    ~TTemporaryFile()
    {
        m_handle.Close();
        if (!m_kept)
            m_layer.Unlink(m_path);
    }
    TFileHandle& Handle() { return m_handle; }
    const QByteArray& Path() const { return m_path; }
    void Keep() { m_kept = true; }

private:
    TFileLayer& m_layer;
    QByteArray m_path;
    TFileHandle m_handle;
    bool m_kept = false;
};

// The new file as pieces: the old file without its old tags, the new ID3v2
// tag at its place, the new ID3v1 block at the end. Not valid when the place
// of the new tag lies inside the old one.
std::vector<TFileRewrite::TPiece> TFileRewrite::PlanPieces(const TRewriteJob& job, qint64 size, bool& valid)
{
    const qint64 keptEnd = size - (job.Old.HasID3v1 ? ID3v1BlockSize : 0);
    std::vector<std::pair<qint64, qint64>> kept;
    if (job.Old.HasID3v2) {
        kept.emplace_back(0, job.Old.ID3v2Offset);
        kept.emplace_back(job.Old.ID3v2Offset + job.Old.ID3v2Size, keptEnd);
    } else {
        kept.emplace_back(0, keptEnd);
    }
    std::vector<TPiece> pieces;
    const auto AddRange = [&pieces](qint64 from, qint64 to) {
        if (to > from)
            pieces.push_back({from, to, nullptr});
    };
    bool inserted = !job.NewID3v2;
    for (const auto& [from, to] : kept) {
        if (!inserted && job.NewID3v2At >= from && job.NewID3v2At <= to) {
            AddRange(from, job.NewID3v2At);
            pieces.push_back({0, 0, &*job.NewID3v2});
            AddRange(job.NewID3v2At, to);
            inserted = true;
        } else {
            AddRange(from, to);
        }
    }
    if (job.NewID3v1)
        pieces.push_back({0, 0, &*job.NewID3v1});
    valid = inserted;
    return pieces;
}

QByteArray TFileRewrite::TemporaryName(const QByteArray& path, int attempt)
{
    const qsizetype slash = path.lastIndexOf('/');
    // The path text keeps a byte that is not UTF-8 as one character of its own.
    QString name = PathFromNative(path.mid(slash + 1)).left(TemporaryNameLength);
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    const QByteArray number = attempt == 0 ? QByteArray() : QByteArray::number(attempt - 1);
    return path.left(slash + 1) + NativeFromPath(name) + number + QByteArrayLiteral(".tmp");
}

bool TFileRewrite::Fail(const QString& error, TTagError kind)
{
    m_error = error;
    m_errorKind = kind;
    return false;
}

bool TFileRewrite::FailErrno(const QString& what)
{
    const int error = errno;
    return Fail(what + QStringLiteral(": ") + SystemErrorText(error), TagErrorOfErrno(error));
}

bool TFileRewrite::Run(const TRewriteJob& job)
{
    m_error.clear();
    m_errorKind = TTagError::None;
    m_newSize = 0;
    if (job.NewID3v1 && job.NewID3v1->size() != ID3v1BlockSize)
        return Fail(QStringLiteral("An ID3v1 block must have 128 bytes."));
    const QByteArray path = m_layer.RealPath(NativeFromPath(job.FileName));
    if (path.isEmpty())
        return FailErrno(QStringLiteral("The file could not be found"));

    struct stat st {};
    {
        TFileHandle probe(m_layer, m_layer.Open(path, O_RDONLY | O_NONBLOCK));
        if (!probe.IsOpen())
            return FailErrno(QStringLiteral("The file could not be opened"));
        if (m_layer.FStat(probe.Fd(), st) != 0)
            return FailErrno(QStringLiteral("The file could not be examined"));
    }
    if (!IsAsScanned(st, job))
        return Fail(QStringLiteral("The file was changed since it was read."));
    if (!RegionsFit(job.Old, st.st_size))
        return Fail(QStringLiteral("The tags of the file do not lie where they were found."));
    if (!job.IgnoreWriteProtect && !m_layer.MayWrite(path, st)) {
        if (errno == EROFS)
            return Fail(QStringLiteral("The file lies on a disk mounted read-only."), TTagError::ReadOnlyDisk);
        return Fail(QStringLiteral("The file is write-protected."), TTagError::NoPermission);
    }

    const bool sameTagPlace = job.Old.HasID3v2 && job.NewID3v2 && job.NewID3v2->size() == job.Old.ID3v2Size
                              && job.NewID3v2At == job.Old.ID3v2Offset;
    const bool noTags = !job.Old.HasID3v2 && !job.NewID3v2;
    return sameTagPlace || noTags ? InPlace(job, path, st) : ThroughCopy(job, path, st);
}

bool TFileRewrite::InPlace(const TRewriteJob& job, const QByteArray& path, const struct stat& st)
{
    // Declared before the handle: the mode comes back after the file is closed.
    std::optional<TModeRestore> modeRestore;
    int fd = m_layer.Open(path, O_RDWR);
    if (fd < 0 && errno == EACCES && job.IgnoreWriteProtect) {
        if (m_layer.Chmod(path, (st.st_mode & 07777) | S_IWUSR) != 0)
            return FailErrno(QStringLiteral("The write protection could not be lifted"));
        modeRestore.emplace(m_layer, path, st.st_mode & 07777);
        fd = m_layer.Open(path, O_RDWR);
    }
    TFileHandle file(m_layer, fd);
    if (!file.IsOpen())
        return FailErrno(QStringLiteral("The file could not be opened for writing"));
    struct stat now {};
    if (m_layer.FStat(file.Fd(), now) != 0 || !IsAsScanned(now, job, modeRestore.has_value()))
        return Fail(QStringLiteral("The file was changed since it was read."));

    const qint64 size = st.st_size;
    const qint64 blockAt = size - ID3v1BlockSize;
    bool ok = true;
    const QByteArray oldTag = job.NewID3v2 ? file.ReadAt(job.Old.ID3v2Offset, job.Old.ID3v2Size, &ok) : QByteArray();
    if (!ok)
        return FailErrno(QStringLiteral("The old tag could not be read"));
    const QByteArray oldBlock = job.Old.HasID3v1 ? file.ReadAt(blockAt, ID3v1BlockSize, &ok) : QByteArray();
    if (!ok)
        return FailErrno(QStringLiteral("The old ID3v1 block could not be read"));

    bool tagTouched = false;
    bool blockTouched = false;
    // Puts the old bytes back after a failed step.
    const auto failAndRestore = [&](const QString& what) {
        const int error = errno;
        if (blockTouched) {
            if (job.Old.HasID3v1)
                file.WriteAt(oldBlock, blockAt);
            else
                m_layer.FTruncate(file.Fd(), size);
        }
        if (tagTouched)
            file.WriteAt(oldTag, job.Old.ID3v2Offset);
        struct timespec times[2];
        SetTimes(times, job.Old.File);
        m_layer.FUtimens(file.Fd(), times);
        m_layer.FSync(file.Fd());
        errno = error;
        return FailErrno(what);
    };

    if (job.NewID3v2) {
        tagTouched = true;
        if (!file.WriteAt(*job.NewID3v2, job.Old.ID3v2Offset))
            return failAndRestore(QStringLiteral("The tag could not be written"));
    }
    m_newSize = size;
    if (job.NewID3v1) {
        blockTouched = true;
        const qint64 at = job.Old.HasID3v1 ? blockAt : size;
        if (!file.WriteAt(*job.NewID3v1, at))
            return failAndRestore(QStringLiteral("The ID3v1 block could not be written"));
        m_newSize = at + ID3v1BlockSize;
    } else if (job.Old.HasID3v1) {
        blockTouched = true;
        if (m_layer.FTruncate(file.Fd(), blockAt) != 0)
            return failAndRestore(QStringLiteral("The ID3v1 block could not be removed"));
        m_newSize = blockAt;
    }
    if (job.TimesToKeep) {
        struct timespec times[2];
        SetTimes(times, *job.TimesToKeep);
        if (m_layer.FUtimens(file.Fd(), times) != 0)
            return failAndRestore(QStringLiteral("The file times could not be kept"));
    }
    if (m_layer.FSync(file.Fd()) != 0)
        return failAndRestore(QStringLiteral("The file could not be written to disk"));
    if (!file.Close())
        return FailErrno(QStringLiteral("The file could not be closed"));
    return true;
}

std::optional<TFileRewrite::TTemporaryFile> TFileRewrite::CreateTemporary(const QByteArray& path)
{
    for (int attempt = 0; attempt < MaxTemporaryNames; ++attempt) {
        const QByteArray name = TemporaryName(path, attempt);
        const int fd = m_layer.Open(name, O_WRONLY | O_CREAT | O_EXCL, S_IRUSR | S_IWUSR);
        if (fd >= 0)
            return std::optional<TTemporaryFile>(std::in_place, m_layer, name, fd);
        if (errno != EEXIST) {
            FailErrno(QStringLiteral("The temporary file could not be created"));
            return std::nullopt;
        }
    }
    Fail(QStringLiteral("Every name for a temporary file is in use."));
    return std::nullopt;
}

bool TFileRewrite::KeepOwnerAndMode(TFileHandle& target, const struct stat& st)
{
    struct stat created {};
    if (m_layer.FStat(target.Fd(), created) != 0)
        return FailErrno(QStringLiteral("The temporary file could not be examined"));
    if ((created.st_uid != st.st_uid || created.st_gid != st.st_gid)
        && m_layer.FChown(target.Fd(), st.st_uid, st.st_gid) != 0)
        return FailErrno(QStringLiteral("The owner of the file could not be kept"));
    if (m_layer.FChmod(target.Fd(), st.st_mode & 07777) != 0)
        return FailErrno(QStringLiteral("The permissions of the file could not be kept"));
    return true;
}

bool TFileRewrite::CopyPieces(TFileHandle& source, TFileHandle& target, const std::vector<TPiece>& pieces)
{
    QByteArray buffer;
    qint64 written = 0;
    for (const TPiece& piece : pieces) {
        if (piece.Bytes) {
            if (!target.WriteAt(*piece.Bytes, written))
                return FailErrno(QStringLiteral("The new file could not be written"));
            written += piece.Bytes->size();
            continue;
        }
        for (qint64 at = piece.From; at < piece.To;) {
            const qint64 chunk = std::min(CopyBufferSize, piece.To - at);
            buffer.resize(chunk);
            if (!source.ReadAt(buffer.data(), chunk, at))
                return FailErrno(QStringLiteral("The file could not be read"));
            if (!target.WriteAt(buffer.constData(), chunk, written))
                return FailErrno(QStringLiteral("The new file could not be written"));
            at += chunk;
            written += chunk;
        }
    }
    m_newSize = written;
    return true;
}

bool TFileRewrite::ThroughCopy(const TRewriteJob& job, const QByteArray& path, const struct stat& st)
{
    bool valid = false;
    const std::vector<TPiece> pieces = PlanPieces(job, st.st_size, valid);
    if (!valid)
        return Fail(QStringLiteral("The new tag has no place in the file."));

    TFileHandle source(m_layer, m_layer.Open(path, O_RDONLY | O_NONBLOCK));
    if (!source.IsOpen())
        return FailErrno(QStringLiteral("The file could not be opened"));
    std::optional<TTemporaryFile> temporary = CreateTemporary(path);
    if (!temporary)
        return false;
    TFileHandle& target = temporary->Handle();
    if (!KeepOwnerAndMode(target, st) || !CopyPieces(source, target, pieces))
        return false;
    if (job.TimesToKeep) {
        struct timespec times[2];
        SetTimes(times, *job.TimesToKeep);
        if (m_layer.FUtimens(target.Fd(), times) != 0)
            return FailErrno(QStringLiteral("The file times could not be kept"));
    }
    if (m_layer.FSync(target.Fd()) != 0)
        return FailErrno(QStringLiteral("The new file could not be written to disk"));
    if (!target.Close())
        return FailErrno(QStringLiteral("The new file could not be closed"));

    struct stat after {};
    if (m_layer.FStat(source.Fd(), after) != 0 || !IsAsScanned(after, job))
        return Fail(QStringLiteral("The file was changed while it was rewritten."));
    source.Close();
    if (m_layer.Rename(temporary->Path(), path) != 0)
        return FailErrno(QStringLiteral("The new file could not take the place of the old one"));
    temporary->Keep();

    TFileHandle folder(m_layer, m_layer.Open(path.left(std::max<qsizetype>(path.lastIndexOf('/'), 1)), O_RDONLY | O_DIRECTORY));
    if (folder.IsOpen())
        m_layer.FSync(folder.Fd());
    return true;
}
