#include "platform/RecordedSteps.h"

#include "platform/FileLayer.h"

#include <cerrno>

#include <fcntl.h>

TRecordItem::~TRecordItem()
{
    if (m_number && !m_kept)
        (void)m_record.Settled(m_number);
}

bool TRecordItem::Write(TRecordVerb verb, const QList<QByteArray>& names, const std::optional<TExaminedFile>& identity,
                        bool durable)
{
    if (!m_recording)
        return true;
    if (!m_number)
        m_number = m_record.NewItem();
    return m_record.Write(TRecordLine{m_number, verb, names, identity}, durable);
}

QByteArray TAt::Path() const
{
    return Folder.endsWith('/') ? Folder + Name : Folder + '/' + Name;
}

int RenameAnnounced(TFileLayer& layer, TItemLog& log, const TAt& from, const TAt& to)
{
    // Only a rename in steps writes anything (most file systems need none).
    const auto names = [&] { return QList<QByteArray>{from.Folder, from.Name, to.Folder, to.Name}; };
    bool announced = false;
    const int result = layer.RenameNoReplaceAt(from.DirFd, from.Name, to.DirFd, to.Name, [&](const struct stat& st) {
        announced = true;
        return log.Write(TRecordVerb::Rename, names(), TExaminedFile::Of(st));
    });
    // A rename that failed changed nothing: the same line without an
    // identity says so, so that recovery never takes what holds the new
    // name for a reservation of this one.
    if (result != 0 && announced) {
        const int error = errno;
        (void)log.Write(TRecordVerb::Rename, names());
        errno = error;
    }
    return result;
}

TRemoval RemoveExamined(TFileLayer& layer, TItemLog& log, const TAt& at, const TExaminedFile& examined,
                        bool statusTimeToo, QByteArray* leftAt)
{
    struct stat now {};
    if (layer.FStatAt(at.DirFd, at.Name, now, AT_SYMLINK_NOFOLLOW) != 0)
        return TRemoval::Failed;
    if (!examined.Matches(now, statusTimeToo))
        return TRemoval::Changed;
    TAt aside{at.DirFd, at.Folder, {}};
    if (MakeHiddenAnnounced(
            at.Name, THiddenKind::Removing, aside.Name,
            [&](const QByteArray& name) {
                return log.Write(TRecordVerb::Remove, {at.Folder, at.Name, name}, examined);
            },
            [&](const QByteArray&) { return RenameAnnounced(layer, log, at, aside); })
        != 0)
        return TRemoval::Failed;
    // What the rename took may be a new version renamed over the name just
    // before: that takes its name again.
    if (layer.FStatAt(aside.DirFd, aside.Name, now, AT_SYMLINK_NOFOLLOW) != 0 || !examined.Matches(now)) {
        const int error = errno;
        if (RenameAnnounced(layer, log, aside, at) != 0) {
            if (leftAt)
                *leftAt = aside.Path();
            return TRemoval::Failed;
        }
        errno = error;
        return TRemoval::Changed;
    }
    if (layer.UnlinkAt(aside.DirFd, aside.Name, S_ISDIR(now.st_mode) ? AT_REMOVEDIR : 0) != 0) {
        if (leftAt)
            *leftAt = aside.Path();
        return TRemoval::Failed;
    }
    return TRemoval::Removed;
}

int ProbeOneFolder(TFileLayer& layer, TRecordItem& item, int fromFd, const TAt& into, bool& one)
{
    one = false;
    QByteArray probe;
    bool announced = false;
    const int fd = MakeHiddenAnnounced(
        "quillon", THiddenKind::Probe, probe,
        [&](const QByteArray& name) { return announced = item.Write(TRecordVerb::Probe, {into.Folder, name}); },
        [&](const QByteArray& name) {
            return layer.OpenAt(into.DirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
        });
    if (fd < 0)
        return announced && (errno == EACCES || errno == EROFS || errno == EPERM) ? 0 : -1;
    (void)layer.Close(fd); // nothing was written through it
    struct stat st {};
    one = layer.FStatAt(fromFd, probe, st, AT_SYMLINK_NOFOLLOW) == 0;
    const int error = errno;
    // One that stays is for recovery to remove.
    if (layer.UnlinkAt(into.DirFd, probe, 0) != 0)
        item.Keep();
    if (!one && error != ENOENT) {
        errno = error;
        return -1;
    }
    return 0;
}
