#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Layout in the INI file: a key path "A\B" becomes the group "k.A/k.B"; a
// value "V" of that key is stored as "k.A/k.B/v.V". The prefixes keep a value
// and a subkey of the same name apart. A stored value is its kind letter, a
// colon and the data (text as UTF-8, integers in decimal, binary as hex).

namespace {

QString& StorageFolderOverride()
{
    static QString folder;
    return folder;
}

QString GroupOf(const QString& keyPath)
{
    QStringList parts;
    for (const QString& part : keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts))
        parts << QStringLiteral("k.") + part;
    return parts.join(QLatin1Char('/'));
}

QStringList ChildrenWithPrefix(const QStringList& names, const QString& prefix)
{
    QStringList result;
    for (const QString& n : names)
        if (n.startsWith(prefix))
            result << n.mid(prefix.size());
    return result;
}

TRegistry::TWriteFailureReport& InstalledWriteFailureReport()
{
    static TRegistry::TWriteFailureReport report;
    return report;
}

TRegistry::TReadFailureReport& InstalledReadFailureReport()
{
    static TRegistry::TReadFailureReport report;
    return report;
}

// Unreadable settings files that could not be put aside: never read nor
// written by this process.
QSet<QString>& FilesLeftAsTheyAre()
{
    static QSet<QString> files;
    return files;
}

// Set from a failed write until one succeeds: the user hears of a stretch of
// failures once.
bool& WritesFailing()
{
    static bool failing = false;
    return failing;
}

// Creates the folder and those above it that are missing; the error number
// of the first that cannot be made (ENOTDIR when a file holds its name).
int MakeFolders(const QByteArray& folder)
{
    for (qsizetype end = 0; end < folder.size();) {
        end = folder.indexOf('/', end + 1);
        if (end == -1)
            end = folder.size();
        const QByteArray path = folder.left(end);
        struct stat st {};
        if (::stat(path.constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return ENOTDIR;
        } else if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    return 0;
}

// A new file in the folder as large as the settings file and then some,
// written to the disk and removed again; the error number of the step that
// failed.
int WriteTrialFile(const QByteArray& folder, qint64 size)
{
    QByteArray name = folder + "/.Quillon3-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        return errno;
    const QByteArray block(4096, ' ');
    int error = 0;
    for (qint64 left = size + block.size(); left > 0 && error == 0; left -= block.size())
        if (::write(fd, block.constData(), static_cast<size_t>(block.size())) < 0)
            error = errno;
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    ::close(fd);
    ::unlink(name.constData());
    return error;
}

// Why the settings file cannot be written, found by going the steps of a
// write again: its folder, the file itself, a new file beside it. 0 when
// every step works now.
int WriteProblem(const QString& file)
{
    const QByteArray path = QFile::encodeName(file);
    const QByteArray folder = path.left(path.lastIndexOf('/'));
    if (const int error = MakeFolders(folder))
        return error;
    struct stat st {};
    if (::stat(path.constData(), &st) == 0) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            return errno;
        ::close(fd);
    }
    return WriteTrialFile(folder, st.st_size);
}

void ReportWriteFailure(const QString& file)
{
    if (std::exchange(WritesFailing(), true))
        return;
    TSettingsFileFailure failure;
    failure.File = file;
    failure.SystemError = WriteProblem(file);
    // A copy: the report may show a window, during which another one may be
    // installed.
    const TRegistry::TWriteFailureReport report = InstalledWriteFailureReport();
    if (report)
        report(failure);
}

void ReportReadFailure(const TSettingsReadFailure& failure)
{
    const TRegistry::TReadFailureReport report = InstalledReadFailureReport();
    if (report)
        report(failure);
}

std::unique_ptr<QSettings> NewSettings(const QString& file)
{
    auto settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    // Never write the file in place when it cannot be replaced.
    settings->setAtomicSyncRequired(true);
    return settings;
}

// Settings of this process alone, for when the settings file is left as it
// is: they go with the process.
std::unique_ptr<QSettings> ScratchSettings()
{
    static QTemporaryDir folder;
    return NewSettings(folder.filePath(QStringLiteral("Quillon3.ini")));
}

}

TRegistry::TRegistry()
{
    OpenSettings();
}

void TRegistry::OpenSettings()
{
    const QString file = StorageFile();
    if (FilesLeftAsTheyAre().contains(file)) {
        m_settings = ScratchSettings();
        return;
    }
    std::optional<TSettingsReadFailure> failure = SettingsFileProblem(file);
    if (!failure) {
        m_settings = NewSettings(file);
        // Only what was read counts here: a folder that cannot be written
        // is told when the changes are.
        if (m_settings->status() != QSettings::FormatError)
            return;
        // Read, but not as settings: nothing of it may be taken, nor kept
        // when the file is written.
        m_settings.reset();
        failure = TSettingsReadFailure{};
        failure->File = file;
        failure->Malformed = true;
    }
    PutSettingsFileAside(*failure);
    if (failure->KeptAs.isEmpty()) {
        FilesLeftAsTheyAre().insert(file);
        m_settings = ScratchSettings();
    } else {
        m_settings = NewSettings(file);
    }
    ReportReadFailure(*failure);
}

TRegistry::~TRegistry()
{
    Flush();
}

void TRegistry::SetStorageFolder(const QString& folder)
{
    StorageFolderOverride() = folder;
}

TRegistry::TWriteFailureReport TRegistry::SetWriteFailureReport(TWriteFailureReport report)
{
    TWriteFailureReport previous = std::move(InstalledWriteFailureReport());
    InstalledWriteFailureReport() = std::move(report);
    return previous;
}

TRegistry::TReadFailureReport TRegistry::SetReadFailureReport(TReadFailureReport report)
{
    TReadFailureReport previous = std::move(InstalledReadFailureReport());
    InstalledReadFailureReport() = std::move(report);
    return previous;
}

QString TRegistry::StorageFile()
{
    QString folder = StorageFolderOverride();
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Orvane");
    return QDir(folder).filePath(QStringLiteral("Quillon3.ini"));
}

bool TRegistry::OpenKey(const QString& keyPath, bool canCreate)
{
    if (!canCreate && !KeyExists(keyPath))
        return false;
    m_key = keyPath;
    m_group = GroupOf(keyPath);
    return true;
}

void TRegistry::CloseKey()
{
    m_key.clear();
    m_group.clear();
}

bool TRegistry::KeyExists(const QString& keyPath) const
{
    const QString group = GroupOf(keyPath);
    if (group.isEmpty())
        return true;
    m_settings->beginGroup(group);
    const bool exists = !m_settings->allKeys().isEmpty();
    m_settings->endGroup();
    return exists;
}

bool TRegistry::DeleteKey(const QString& keyPath)
{
    const QString group = GroupOf(keyPath);
    if (group.isEmpty() || !KeyExists(keyPath))
        return false;
    m_settings->remove(group);
    m_dirty = true;
    return true;
}

QStringList TRegistry::GetKeyNames() const
{
    m_settings->beginGroup(m_group);
    const QStringList groups = m_settings->childGroups();
    m_settings->endGroup();
    return ChildrenWithPrefix(groups, QStringLiteral("k."));
}

QStringList TRegistry::GetValueNames() const
{
    m_settings->beginGroup(m_group);
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    return ChildrenWithPrefix(keys, QStringLiteral("v."));
}

QString TRegistry::ValueKey(const QString& name) const
{
    const QString value = QStringLiteral("v.") + name;
    return m_group.isEmpty() ? value : m_group + QLatin1Char('/') + value;
}

bool TRegistry::ValueExists(const QString& name) const
{
    return m_settings->contains(ValueKey(name));
}

bool TRegistry::DeleteValue(const QString& name)
{
    if (!ValueExists(name))
        return false;
    m_settings->remove(ValueKey(name));
    m_dirty = true;
    return true;
}

std::optional<QByteArray> TRegistry::ReadRaw(const QString& name, Kind kind) const
{
    const QString stored = m_settings->value(ValueKey(name)).toString();
    static const char letters[] = {'s', 'i', 'b'};
    const char letter = letters[static_cast<int>(kind)];
    if (stored.size() < 2 || stored.at(0) != QLatin1Char(letter) || stored.at(1) != QLatin1Char(':'))
        return std::nullopt;
    return stored.mid(2).toUtf8();
}

void TRegistry::WriteRaw(const QString& name, Kind kind, const QByteArray& data)
{
    static const char* prefixes[] = {"s:", "i:", "b:"};
    m_settings->setValue(ValueKey(name), QString::fromLatin1(prefixes[static_cast<int>(kind)]) + QString::fromUtf8(data));
    m_dirty = true;
}

std::optional<QString> TRegistry::ReadString(const QString& name) const
{
    auto raw = ReadRaw(name, Kind::String);
    if (!raw)
        return std::nullopt;
    return QString::fromUtf8(*raw);
}

std::optional<qint32> TRegistry::ReadInteger(const QString& name) const
{
    auto raw = ReadRaw(name, Kind::Integer);
    if (!raw)
        return std::nullopt;
    bool ok = false;
    const qint32 v = raw->toInt(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<bool> TRegistry::ReadBool(const QString& name) const
{
    auto v = ReadInteger(name);
    if (!v)
        return std::nullopt;
    return *v != 0;
}

std::optional<QByteArray> TRegistry::ReadBinaryData(const QString& name) const
{
    auto raw = ReadRaw(name, Kind::Binary);
    if (!raw)
        return std::nullopt;
    return QByteArray::fromHex(*raw);
}

void TRegistry::WriteString(const QString& name, const QString& value)
{
    WriteRaw(name, Kind::String, value.toUtf8());
}

void TRegistry::WriteInteger(const QString& name, qint32 value)
{
    WriteRaw(name, Kind::Integer, QByteArray::number(value));
}

void TRegistry::WriteBool(const QString& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteBinaryData(const QString& name, const QByteArray& value)
{
    WriteRaw(name, Kind::Binary, value.toHex());
}

bool TRegistry::Flush()
{
    if (!m_dirty)
        return true;
    if (m_settings->status() != QSettings::NoError) {
        // QSettings keeps its first error for good. Another object on the
        // same file shares the changes not yet written, starts without it
        // and tries them again as it opens.
        std::unique_ptr<QSettings> failed = std::move(m_settings);
        OpenSettings();
    }
    m_settings->sync();
    // A file that could not be parsed in full is replaced all the same: only
    // an access error leaves the changes unwritten.
    if (m_settings->status() == QSettings::AccessError) {
        ReportWriteFailure(m_settings->fileName());
        return false;
    }
    m_dirty = false;
    WritesFailing() = false;
    return true;
}
