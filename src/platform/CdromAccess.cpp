// The system's CD drives on Linux: the drives the kernel lists in
// /proc/sys/dev/cdrom/info, their vendor and model from sysfs, and the table
// of contents through the CDROMREADTOCHDR and CDROMREADTOCENTRY requests.
#include "platform/CdromAccess.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

const char CdromInfoPath[] = "/proc/sys/dev/cdrom/info";

QString ReadSmallTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.read(4096)).simplified();
}

bool IsSaneHeader(quint8 first, quint8 last)
{
    return first >= 1 && last <= TCdToc::MaxTracks && last >= first;
}

// Closes a file descriptor at the end of a scope.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : m_fd(fd) {}
    ~TFileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

bool ReadEntry(int fd, quint8 track, TRawTocEntry& entry)
{
    cdrom_tocentry request{};
    request.cdte_track = track;
    request.cdte_format = CDROM_MSF;
    if (::ioctl(fd, CDROMREADTOCENTRY, &request) != 0)
        return false;
    entry.Track = track;
    entry.Adr = request.cdte_adr;
    entry.Control = request.cdte_ctrl;
    entry.Address = {request.cdte_addr.msf.minute, request.cdte_addr.msf.second, request.cdte_addr.msf.frame};
    return true;
}

class TLinuxCdromAccess : public TCdromAccess {
public:
    std::vector<TCdromDriveInfo> Drives() override
    {
        QFile info(QString::fromLatin1(CdromInfoPath));
        if (!info.open(QIODevice::ReadOnly))
            return {};
        std::vector<TCdromDriveInfo> drives;
        for (const QString& name : ParseCdromInfo(info.read(64 * 1024))) {
            const QString device = QStringLiteral("/sys/block/") + name + QStringLiteral("/device/");
            drives.push_back({QStringLiteral("/dev/") + name, ReadSmallTextFile(device + QStringLiteral("vendor")),
                              ReadSmallTextFile(device + QStringLiteral("model"))});
        }
        return drives;
    }

    bool ReadToc(const QString& devicePath, TCdToc& toc) override
    {
        // Non-blocking, so that an empty or closing drive fails at once.
        const TFileDescriptor fd(::open(QFile::encodeName(devicePath).constData(), O_RDONLY | O_NONBLOCK));
        if (fd.Get() < 0)
            return false;
        cdrom_tochdr header{};
        if (::ioctl(fd.Get(), CDROMREADTOCHDR, &header) != 0)
            return false;
        std::vector<TRawTocEntry> entries;
        if (IsSaneHeader(header.cdth_trk0, header.cdth_trk1)) {
            for (int track = header.cdth_trk0; track <= header.cdth_trk1; ++track) {
                TRawTocEntry entry;
                if (!ReadEntry(fd.Get(), quint8(track), entry))
                    return false;
                entries.push_back(entry);
            }
            TRawTocEntry leadOut;
            if (!ReadEntry(fd.Get(), CDROM_LEADOUT, leadOut))
                return false;
            entries.push_back(leadOut);
        }
        toc = TocFromRawEntries(header.cdth_trk0, header.cdth_trk1, entries);
        return true;
    }
};

TCdromAccess*& InstalledAccess()
{
    static TCdromAccess* access = nullptr;
    return access;
}

}

TCdromAccess& CurrentCdromAccess()
{
    static TLinuxCdromAccess system;
    TCdromAccess* installed = InstalledAccess();
    return installed ? *installed : system;
}

TCdromAccess* SetCdromAccess(TCdromAccess* access)
{
    TCdromAccess* previous = InstalledAccess();
    InstalledAccess() = access;
    return previous;
}

QStringList ParseCdromInfo(const QByteArray& text)
{
    static const QRegularExpression driveLine(QStringLiteral("^drive name:(.*)$"),
                                              QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = driveLine.match(QString::fromLatin1(text));
    if (!match.hasMatch())
        return {};
    QStringList names = match.captured(1).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    // The kernel lists the newest drive first; sr2 before sr10 by number.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const auto split = [](const QString& name) {
            qsizetype digits = name.size();
            while (digits > 0 && name.at(digits - 1).isDigit())
                --digits;
            return std::pair{name.left(digits), name.mid(digits).toULongLong()};
        };
        return split(a) < split(b);
    });
    names.removeDuplicates();
    // Names become device paths: nothing that could leave /dev.
    names.removeIf([](const QString& name) { return name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')); });
    return names;
}

TCdToc TocFromRawEntries(quint8 firstTrack, quint8 lastTrack, const std::vector<TRawTocEntry>& entries)
{
    TCdToc toc;
    toc.SetTracks(firstTrack, lastTrack);
    if (!IsSaneHeader(firstTrack, lastTrack))
        return toc;
    const int wanted = toc.RawTrackCount() + 1;
    const int count = std::min<int>({wanted, int(entries.size()), TCdToc::MaxEntries});
    for (int i = 0; i < count; ++i) {
        const TRawTocEntry& entry = entries[size_t(i)];
        toc.SetEntry(i, entry.Track, entry.Adr, entry.Control, entry.Address);
    }
    toc.SetDataLength(count - 1);
    return toc;
}
