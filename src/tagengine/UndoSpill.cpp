#include "tagengine/UndoSpill.h"

#include "platform/FileLayer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

constexpr mode_t FolderMode = 0700;
constexpr int MaxNameAttempts = 100;

quint32 Checksum(const QByteArray& data)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const auto* bytes = reinterpret_cast<const Bytef*>(data.constData());
    for (qsizetype done = 0; done < data.size();) {
        const auto chunk = static_cast<uInt>(std::min<qsizetype>(data.size() - done, 1 << 30));
        crc = crc32(crc, bytes + done, chunk);
        done += chunk;
    }
    return quint32(crc);
}

// The folder exists (made with mode 0700 if not), is no symbolic link, is
// owned by this user and closed to everyone else.
bool PrivateFolder(const QByteArray& path)
{
    if (::mkdir(path.constData(), FolderMode) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0 || ::chmod(path.constData(), FolderMode) == 0;
}

} // namespace

TUndoSpill::TUndoSpill(QString folder, std::shared_ptr<TFileLayer> layer)
    : m_folder(std::move(folder)), m_layer(layer ? std::move(layer) : SystemFileLayer())
{
}

TUndoSpill::~TUndoSpill() = default;

QString TUndoSpill::DefaultFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!cache.isEmpty())
        return cache + QStringLiteral("/quillon-undo");
    return QDir::tempPath() + QStringLiteral("/quillon-undo-") + QString::number(::geteuid());
}

bool TUndoSpill::Open()
{
    if (m_file)
        return true;
    if (m_unusable)
        return false;
    m_unusable = true;
    QDir().mkpath(QFileInfo(m_folder).path());
    const QByteArray folder = QFile::encodeName(m_folder);
    if (m_folder.isEmpty() || !PrivateFolder(folder))
        return false;
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        const QByteArray name = folder + "/undo-" + QByteArray::number(::getpid()) + '-'
                                + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        const int fd = m_layer->Open(name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        // Only the descriptor keeps the file: nothing is left behind.
        if (m_layer->Unlink(name) != 0) {
            m_layer->Close(fd);
            return false;
        }
        m_file = std::make_unique<TFileHandle>(*m_layer, fd);
        m_unusable = false;
        return true;
    }
    return false;
}

std::optional<TUndoSpill::TRegion> TUndoSpill::Store(const QByteArray& data)
{
    if (!Open())
        return std::nullopt;
    if (!m_file->WriteAt(data, m_end)) {
        // Whatever part was written is given back at once.
        m_layer->FTruncate(m_file->Fd(), m_end);
        return std::nullopt;
    }
    TRegion region{m_end, data.size(), Checksum(data)};
    m_end += data.size();
    return region;
}

std::optional<QByteArray> TUndoSpill::Load(const TRegion& region) const
{
    // Only what was stored is read: a region reaching past it would have
    // memory allocated for bytes that are not there.
    if (!m_file || region.Offset < 0 || region.Size < 0 || region.Offset > m_end - region.Size)
        return std::nullopt;
    bool ok = false;
    QByteArray data = m_file->ReadAt(region.Offset, region.Size, &ok);
    if (!ok || Checksum(data) != region.Checksum)
        return std::nullopt;
    return data;
}

void TUndoSpill::Release(const TRegion& region)
{
    if (!m_file || region.Size <= 0)
        return;
    if (region.Offset + region.Size == m_end) {
        m_end = region.Offset;
        m_layer->FTruncate(m_file->Fd(), m_end);
        return;
    }
#ifdef FALLOC_FL_PUNCH_HOLE
    // Best effort: a file system without holes keeps the bytes until exit.
    ::fallocate(m_file->Fd(), FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, region.Offset, region.Size);
#endif
}
