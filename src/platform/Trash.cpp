#include "platform/Trash.h"

#include "platform/FileNames.h"
#include "platform/FileOps.h"

#include <QDateTime>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QByteArray InfoSuffix = QByteArrayLiteral(".trashinfo");

// The name under which the n-th item of this name is kept: "name",
// "stem.2.ext", "stem.3.ext", ...; short enough for its ".trashinfo" file.
QByteArray NumberedName(const QByteArray& name, int n)
{
    const auto [stem, extension] = SplitExtension(name);
    const QByteArray number = n > 1 ? "." + QByteArray::number(n) : QByteArray();
    const qsizetype room = NameMax - InfoSuffix.size() - number.size() - extension.size();
    if (room < 1)
        return QByteArray("item") + number;
    return CutAtCharacter(stem, room) + number + extension;
}

bool WriteAll(TFileLayer& layer, int fd, const QByteArray& data)
{
    TFileHandle handle(layer, fd);
    const bool written = handle.WriteAt(data, 0);
    const int error = errno;
    const bool closed = handle.Close();
    errno = written ? errno : error;
    return written && closed;
}

}

TTrash::TTrash(std::shared_ptr<TFileLayer> layer) : m_layer(layer ? std::move(layer) : SystemFileLayer()) {}

QByteArray TTrash::HomeTrash()
{
    QByteArray data = qgetenv("XDG_DATA_HOME");
    if (data.isEmpty() || !data.startsWith('/'))
        data = qgetenv("HOME") + "/.local/share";
    return JoinPath(data, "Trash");
}

bool TTrash::EnsureFolder(const QByteArray& path, bool ownedOnly)
{
    if (m_layer->Mkdir(path, 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st {};
    if (m_layer->LStat(path, st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return !ownedOnly || st.st_uid == ::geteuid();
}

bool TTrash::MakeBin(const QByteArray& folder, const QByteArray& top, TBin& bin)
{
    bin.Files = JoinPath(folder, "files");
    bin.Info = JoinPath(folder, "info");
    bin.Top = top;
    return EnsureFolder(folder, true) && EnsureFolder(bin.Files, true) && EnsureFolder(bin.Info, true);
}

QByteArray TTrash::TopFolderOf(const QByteArray& path, dev_t device)
{
    QByteArray top = m_layer->RealPath(PathFolder(path));
    if (top.isEmpty())
        return {};
    while (top != "/") {
        const QByteArray up = PathFolder(top);
        struct stat st {};
        if (m_layer->Stat(up, st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return top;
}

const TTrash::TBin* TTrash::BinFor(const QByteArray& path, const struct stat& st)
{
    const auto known = m_bins.constFind(st.st_dev);
    if (known != m_bins.constEnd())
        return &*known;
    if (m_noBin.contains(st.st_dev))
        return nullptr;

    TBin bin;
    const QByteArray home = HomeTrash();
    // The home trash's parents are made as a desktop would make them.
    const QByteArray dataHome = PathFolder(home);
    if (m_layer->Mkdir(dataHome, 0700) != 0 && errno == ENOENT) {
        m_layer->Mkdir(PathFolder(dataHome), 0700);
        m_layer->Mkdir(dataHome, 0700);
    }
    struct stat homeSt {};
    const bool homeUsable = MakeBin(home, {}, bin) && m_layer->Stat(home, homeSt) == 0;
    if (homeUsable && homeSt.st_dev == st.st_dev)
        return &*m_bins.insert(st.st_dev, bin);

    const QByteArray top = TopFolderOf(path, st.st_dev);
    if (!top.isEmpty()) {
        const QByteArray uid = QByteArray::number(static_cast<qulonglong>(::geteuid()));
        // A shared ".Trash" is used only when it is a real folder with the
        // sticky bit, so that nobody else can take the user's part of it.
        const QByteArray shared = JoinPath(top, ".Trash");
        struct stat sharedSt {};
        if (m_layer->LStat(shared, sharedSt) == 0 && S_ISDIR(sharedSt.st_mode) && (sharedSt.st_mode & S_ISVTX)
            && MakeBin(JoinPath(shared, uid), top, bin))
            return &*m_bins.insert(st.st_dev, bin);
        if (MakeBin(JoinPath(top, ".Trash-" + uid), top, bin))
            return &*m_bins.insert(st.st_dev, bin);
    }
    m_noBin.insert(st.st_dev, true);
    return nullptr;
}

QByteArray TTrash::InfoText(const QByteArray& path, const TBin& bin) const
{
    QByteArray original = path;
    if (!bin.Top.isEmpty()) {
        const QByteArray top = bin.Top == "/" ? bin.Top : bin.Top + '/';
        if (original.startsWith(top))
            original = original.mid(top.size());
    }
    const QByteArray date = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1();
    return "[Trash Info]\nPath=" + original.toPercentEncoding("/") + "\nDeletionDate=" + date + "\n";
}

bool TTrash::Put(const QByteArray& given, QByteArray* trashedPath, int* error)
{
    *error = 0;
    QByteArray path = given;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    struct stat st {};
    if (m_layer->LStat(path, st) != 0) {
        *error = errno;
        return false;
    }
    // The original path names the item itself, but through its folder's real
    // path, so that a relative Path= fits the top folder.
    const QByteArray givenFolder = PathFolder(path);
    auto known = m_realFolders.constFind(givenFolder);
    if (known == m_realFolders.constEnd())
        known = m_realFolders.insert(givenFolder, m_layer->RealPath(givenFolder));
    const QByteArray folder = *known;
    if (!folder.isEmpty())
        path = JoinPath(folder, PathName(path));
    const QByteArray name = PathName(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const TBin* bin = BinFor(path, st);
        if (!bin)
            return false;
        const QByteArray key = bin->Info + '/' + name;
        const QByteArray info = InfoText(path, *bin);
        int n = m_nextNumber.value(key, 1);
        for (;; ++n) {
            const QByteArray candidate = NumberedName(name, n);
            const QByteArray infoPath = JoinPath(bin->Info, candidate + InfoSuffix);
            const int fd = m_layer->Open(infoPath, O_WRONLY | O_CREAT | O_EXCL, 0600);
            if (fd < 0 && errno == EEXIST)
                continue;
            if (fd < 0)
                break;
            if (!WriteAll(*m_layer, fd, info)) {
                *error = errno;
                m_layer->Unlink(infoPath);
                return false;
            }
            const QByteArray target = JoinPath(bin->Files, candidate);
            if (m_layer->RenameNoReplace(path, target) == 0) {
                m_nextNumber.insert(key, n + 1);
                if (trashedPath)
                    *trashedPath = target;
                return true;
            }
            const int renameError = errno;
            m_layer->Unlink(infoPath);
            if (renameError != EEXIST && renameError != ENOTEMPTY) {
                *error = renameError;
                return false;
            }
        }
        // The trash folder went away since it was made: make it again.
        *error = errno;
        if (*error != ENOENT)
            return false;
        m_bins.remove(st.st_dev);
        *error = 0;
    }
    return false;
}
