#include "platform/RunRecord.h"

#include "platform/FileLayer.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<const char*, 13> VerbWords{"copy",   "source", "aside", "stage", "commit", "tree", "remove",
                                               "rename", "case",   "probe", "merge", "undo",   "done"};

constexpr char IdentityMark = '@';

QByteArray Encoded(const QByteArray& name)
{
    return name.toPercentEncoding("/");
}

QByteArray EncodedIdentity(const TExaminedFile& id)
{
    return IdentityMark + QByteArray::number(static_cast<qulonglong>(id.Device)) + ':'
           + QByteArray::number(static_cast<qulonglong>(id.Inode)) + ':'
           + QByteArray::number(static_cast<qlonglong>(id.Size)) + ':'
           + QByteArray::number(static_cast<qlonglong>(id.Modified.tv_sec)) + ':'
           + QByteArray::number(static_cast<qlonglong>(id.Modified.tv_nsec)) + ':'
           + QByteArray::number(static_cast<qlonglong>(id.StatusChanged.tv_sec)) + ':'
           + QByteArray::number(static_cast<qlonglong>(id.StatusChanged.tv_nsec)) + ':'
           + QByteArray::number(static_cast<qulonglong>(id.Type));
}

std::optional<TExaminedFile> DecodedIdentity(const QByteArray& field)
{
    const QList<QByteArray> parts = field.mid(1).split(':');
    if (parts.size() != 8)
        return std::nullopt;
    bool ok[8] = {};
    TExaminedFile id;
    id.Device = static_cast<dev_t>(parts[0].toULongLong(&ok[0]));
    id.Inode = static_cast<ino_t>(parts[1].toULongLong(&ok[1]));
    id.Size = static_cast<off_t>(parts[2].toLongLong(&ok[2]));
    id.Modified.tv_sec = static_cast<time_t>(parts[3].toLongLong(&ok[3]));
    id.Modified.tv_nsec = static_cast<long>(parts[4].toLongLong(&ok[4]));
    id.StatusChanged.tv_sec = static_cast<time_t>(parts[5].toLongLong(&ok[5]));
    id.StatusChanged.tv_nsec = static_cast<long>(parts[6].toLongLong(&ok[6]));
    id.Type = static_cast<mode_t>(parts[7].toULongLong(&ok[7]));
    for (bool each : ok)
        if (!each)
            return std::nullopt;
    return id;
}

// Whether a line holds as many names as its verb has, and an identity where
// the verb needs one.
bool WellFormed(const TRecordLine& line)
{
    struct TShape {
        qsizetype Names;
        bool Identity; // needed (else it may be there or not)
    };
    static const TShape Shapes[] = {{3, false}, {2, true}, {3, true}, {5, true}, {0, false}, {1, true}, {3, true},
                                    {4, false}, {4, true}, {2, false}, {4, true}, {0, false}, {0, false}};
    const TShape& shape = Shapes[static_cast<size_t>(line.Verb)];
    return line.Names.size() == shape.Names && (!shape.Identity || line.Identity);
}

std::optional<TRecordLine> DecodedLine(const QByteArray& text)
{
    const QList<QByteArray> fields = text.split(' ');
    if (fields.size() < 2)
        return std::nullopt;
    TRecordLine line;
    bool ok = false;
    line.Item = fields[0].toInt(&ok);
    const auto verb = std::find(VerbWords.begin(), VerbWords.end(), fields[1]);
    if (!ok || line.Item <= 0 || verb == VerbWords.end())
        return std::nullopt;
    line.Verb = static_cast<TRecordVerb>(verb - VerbWords.begin());
    for (qsizetype i = 2; i < fields.size(); ++i) {
        if (fields[i].startsWith(IdentityMark)) {
            if (!(line.Identity = DecodedIdentity(fields[i])))
                return std::nullopt;
        } else {
            line.Names << QByteArray::fromPercentEncoding(fields[i]);
        }
    }
    if (!WellFormed(line))
        return std::nullopt;
    return line;
}

QByteArray RandomLetters(int count)
{
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray letters(count, '0');
    for (char& c : letters)
        c = Letters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof(Letters) - 1))];
    return letters;
}

// Whether a verb's name at index is a folder.
bool IsFolderName(TRecordVerb verb, qsizetype index)
{
    switch (verb) {
    case TRecordVerb::Stage:
    case TRecordVerb::Rename:
    case TRecordVerb::Merge:
        return index == 0 || index == 2;
    case TRecordVerb::Tree:
    case TRecordVerb::Commit:
    case TRecordVerb::Undo:
    case TRecordVerb::Done:
        return false;
    default:
        return index == 0;
    }
}

// The line with its folders as whole paths: a recovery may run elsewhere.
TRecordLine WithWholePaths(TRecordLine line)
{
    for (qsizetype i = 0; i < line.Names.size(); ++i) {
        if (IsFolderName(line.Verb, i) && !line.Names[i].startsWith('/')) {
            char* here = ::getcwd(nullptr, 0);
            line.Names[i] = QByteArray(here ? here : "") + '/' + line.Names[i];
            std::free(here);
        }
    }
    return line;
}

// Makes folder and the folders above it that are missing.
bool MakeFolders(TFileLayer& layer, const QByteArray& folder)
{
    for (qsizetype slash = folder.indexOf('/', 1); ; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray part = slash < 0 ? folder : folder.left(slash);
        if (layer.Mkdir(part, 0700) != 0 && errno != EEXIST)
            return false;
        if (slash < 0)
            return true;
    }
}

}

QByteArray RunRecordFolder()
{
    QByteArray state = qgetenv("XDG_STATE_HOME");
    if (!state.startsWith('/'))
        state = qgetenv("HOME") + "/.local/state";
    return state + "/Orvane/Quillon/runs";
}

namespace {

bool SameTime(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}

TExaminedFile TExaminedFile::Of(const struct stat& st)
{
    return TExaminedFile{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim,
                         static_cast<mode_t>(st.st_mode & S_IFMT)};
}

bool TExaminedFile::Matches(const struct stat& st, bool statusTimeToo) const
{
    const bool sameFile = Device != st.st_dev || Inode == st.st_ino;
    return sameFile && Type == (st.st_mode & S_IFMT) && Size == st.st_size && SameTime(Modified, st.st_mtim)
           && (!statusTimeToo || SameTime(StatusChanged, st.st_ctim));
}

QByteArray EncodeRecordLine(const TRecordLine& line)
{
    QByteArray text = QByteArray::number(line.Item) + ' ' + VerbWords[static_cast<size_t>(line.Verb)];
    for (const QByteArray& name : line.Names)
        text += ' ' + Encoded(name);
    if (line.Identity)
        text += ' ' + EncodedIdentity(*line.Identity);
    return text + '\n';
}

std::vector<TRecordLine> DecodeRecordLines(const QByteArray& content)
{
    std::vector<TRecordLine> lines;
    for (qsizetype start = 0, end; (end = content.indexOf('\n', start)) >= 0; start = end + 1)
        if (const std::optional<TRecordLine> line = DecodedLine(content.mid(start, end - start)))
            lines.push_back(*line);
    return lines;
}

TRunRecord::TRunRecord(TFileLayer& layer) : m_layer(layer) {}

TRunRecord::TRunRecord(TFileLayer& layer, int fd, QByteArray path, qint64 size, std::set<int> open)
    : m_layer(layer), m_fd(fd), m_size(size), m_path(std::move(path)), m_open(std::move(open)),
      m_folderSynced(true)
{
    m_lastItem = m_open.empty() ? 0 : *m_open.rbegin();
}

TRunRecord::~TRunRecord()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so that no recovery reads it half gone.
    if (m_open.empty())
        (void)m_layer.UnlinkAt(AT_FDCWD, m_path, 0);
    (void)m_layer.Close(m_fd);
}

int TRunRecord::NewItem()
{
    m_open.insert(++m_lastItem);
    return m_lastItem;
}

// A new record under a name of its own, locked before anything is written:
// a recovery that took the lock first found it empty and may have removed
// it, so then another is made (also when it could not be examined).
bool TRunRecord::Create()
{
    const QByteArray folder = RunRecordFolder();
    if (!MakeFolders(m_layer, folder))
        return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray path = folder + "/run-" + RandomLetters(12) + ".record";
        const int fd = m_layer.Open(path, O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        // Where the file system keeps no locks, the record serves all the
        // same: no recovery can lock it either, so none takes it for a run
        // that ended.
        struct stat st {};
        const int lockError = m_layer.LockFile(fd) == 0 ? 0 : errno;
        const bool noLocks = lockError == ENOLCK || lockError == EOPNOTSUPP || lockError == ENOSYS;
        if ((lockError == 0 || noLocks) && m_layer.FStat(fd, st) == 0 && st.st_nlink > 0) {
            m_fd = fd;
            m_path = path;
            return true;
        }
        (void)m_layer.Close(fd);
        if (lockError != 0 && lockError != EAGAIN && !noLocks) {
            errno = lockError;
            return false;
        }
    }
    errno = EEXIST;
    return false;
}

bool TRunRecord::Write(const QList<TRecordLine>& lines, bool durable)
{
    if (m_fd < 0 && !Create())
        return false;
    QByteArray text;
    for (const TRecordLine& line : lines)
        text += EncodeRecordLine(WithWholePaths(line));
    if (!WriteExactlyAt(m_layer, m_fd, text.constData(), text.size(), m_size)) {
        // No line cut short stays: the next is written in its place.
        const int error = errno;
        (void)m_layer.FTruncate(m_fd, static_cast<off_t>(m_size));
        errno = error;
        return false;
    }
    m_size += text.size();
    for (const TRecordLine& line : lines)
        if (line.Verb == TRecordVerb::Done)
            m_open.erase(line.Item);
    if (!durable)
        return true;
    if (m_layer.FSync(m_fd) != 0)
        return false;
    // The record's own entry in its folder, once.
    if (!m_folderSynced) {
        TFileHandle folder(m_layer, m_layer.Open(RunRecordFolder(), O_RDONLY | O_DIRECTORY));
        m_folderSynced = folder.IsOpen() && m_layer.FSync(folder.Fd()) == 0;
    }
    return true;
}
