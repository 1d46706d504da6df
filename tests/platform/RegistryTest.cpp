#include "platform/Registry.h"

#include "support/FileSizeLimit.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { TRegistry::SetStorageFolder(m_dir.path()); }
    void TearDown() override { TRegistry::SetStorageFolder(QString()); }
    QTemporaryDir m_dir;
};

const QString kRoot = QStringLiteral("Software\\Orvane\\Quillon\\3");

}

TEST_F(RegistryTest, ValuesKeepTheirKindsAndSubkeysStayApart)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, true));
        reg.WriteString(QStringLiteral("Text"), QStringLiteral("a, \"b\" = c\\d ü 日本"));
        reg.WriteString(QStringLiteral("Number"), QStringLiteral("42"));
        reg.WriteInteger(QStringLiteral("Width"), -7);
        ASSERT_TRUE(reg.OpenKey(kRoot + QStringLiteral("\\Text"), true));
        reg.WriteInteger(QStringLiteral("Inner"), 1);
        ASSERT_TRUE(reg.OpenKey(kRoot + QStringLiteral("\\Export"), true));
        reg.WriteInteger(QStringLiteral("Kind"), 1);
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Text")), QStringLiteral("a, \"b\" = c\\d ü 日本"));
    // Every kind round-trips in the settings store's test; here: a string that
    // looks like a number is still a string, and kinds never mix.
    EXPECT_FALSE(reg.ReadInteger(QStringLiteral("Number")).has_value());
    EXPECT_FALSE(reg.ReadString(QStringLiteral("Width")).has_value());
    // An absent value reads as nothing, so the caller keeps its default.
    EXPECT_FALSE(reg.ReadString(QStringLiteral("Missing")).has_value());

    // Deleting a subkey leaves the value of its name and the other subkeys.
    EXPECT_TRUE(reg.DeleteKey(kRoot + QStringLiteral("\\Text")));
    EXPECT_EQ(reg.GetKeyNames(), QStringList{QStringLiteral("Export")});
    EXPECT_EQ(reg.ReadString(QStringLiteral("Text")), QStringLiteral("a, \"b\" = c\\d ü 日本"));
    EXPECT_TRUE(reg.DeleteKey(kRoot));
    EXPECT_FALSE(reg.KeyExists(kRoot));
}

namespace {

ino_t InodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}

TEST_F(RegistryTest, TheFileIsReplacedWholeOnceAndOnlyWhenSomethingChanged)
{
    const QString file = TRegistry::StorageFile();
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, true));
        reg.WriteString(QStringLiteral("A"), QStringLiteral("first"));
        EXPECT_TRUE(reg.Flush());
    }
    // A second name for the file as it is now: a rewrite in place would
    // change what it shows, a replacement leaves it alone.
    const QString old = file + QStringLiteral(".old");
    ASSERT_EQ(::link(QFile::encodeName(file).constData(), QFile::encodeName(old).constData()), 0);
    const QByteArray before = Contents(file);
    const ino_t inode = InodeOf(file);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, false));
        EXPECT_EQ(reg.ReadString(QStringLiteral("A")), QStringLiteral("first"));
        EXPECT_TRUE(reg.Flush());
    }
    // Reading writes nothing.
    EXPECT_EQ(InodeOf(file), inode);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, false));
        reg.WriteString(QStringLiteral("A"), QStringLiteral("second"));
        reg.DeleteKey(kRoot + QStringLiteral("\\Missing"));
    }
    EXPECT_NE(InodeOf(file), inode);
    EXPECT_EQ(Contents(old), before);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("A")), QStringLiteral("second"));
    // No temporary file is left beside it.
    EXPECT_EQ(QFileInfo(file).dir().entryList(QDir::Files | QDir::Hidden).size(), 2);
}

namespace {

// Makes the settings file unwritable in one way while it lives.
struct TBlockedSettings {
    const char* Name;
    int Error; // what the report names
    std::function<bool(const QString& folder)> Block;
    std::function<void(const QString& folder)> Unblock;
};

}

TEST_F(RegistryTest, AFileThatCannotBeWrittenKeepsItsChangesAndIsReportedOncePerStretch)
{
    std::optional<TScopedFileSizeLimit> fullDisk;
    const TBlockedSettings ways[] = {
        {"a file where the folder should be", ENOTDIR,
         [](const QString& folder) {
             return QDir().rename(folder, folder + QStringLiteral(".away")) && QFile(folder).open(QIODevice::WriteOnly);
         },
         [](const QString& folder) {
             QFile::remove(folder);
             QDir().rename(folder + QStringLiteral(".away"), folder);
         }},
        {"a full disk", EFBIG,
         [&](const QString&) { return fullDisk.emplace(16).IsSet(); },
         [&](const QString&) { fullDisk.reset(); }},
    };
    QStringList reports;
    const TRegistry::TWriteFailureReport previous = TRegistry::SetWriteFailureReport(
        [&](const TSettingsFileFailure& f) { reports << f.File + QLatin1Char(':') + QString::number(f.SystemError); });
    for (const TBlockedSettings& way : ways) {
        SCOPED_TRACE(way.Name);
        const QString folder = m_dir.filePath(QString::fromLatin1(way.Name));
        TRegistry::SetStorageFolder(folder);
        const QString file = TRegistry::StorageFile();
        const QString report = file + QLatin1Char(':') + QString::number(way.Error);
        {
            TRegistry reg;
            ASSERT_TRUE(reg.OpenKey(kRoot, true));
            reg.WriteString(QStringLiteral("Before"), QStringLiteral("written"));
            ASSERT_TRUE(reg.Flush());
        }
        ASSERT_TRUE(way.Block(folder));
        reports.clear();
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, true));
        reg.WriteString(QStringLiteral("Pending"), QString(100, QLatin1Char('p')));
        EXPECT_FALSE(reg.Flush());
        EXPECT_FALSE(reg.Flush()) << "still not written";
        {
            TRegistry other;
            ASSERT_TRUE(other.OpenKey(kRoot, true));
            other.WriteInteger(QStringLiteral("Other"), 1);
            EXPECT_FALSE(other.Flush());
        }
        EXPECT_EQ(reports, QStringList{report}) << "once for the whole stretch";

        way.Unblock(folder);
        EXPECT_TRUE(reg.Flush());
        EXPECT_TRUE(Contents(file).contains(QByteArray(100, 'p')));
        EXPECT_TRUE(Contents(file).contains("written"));

        // After a write that worked, the next failure is told again.
        ASSERT_TRUE(way.Block(folder));
        reg.WriteInteger(QStringLiteral("Again"), 2);
        EXPECT_FALSE(reg.Flush());
        way.Unblock(folder);
        EXPECT_EQ(reports, (QStringList{report, report}));
    }

    // Another program leaves the file unparsable after it was read: it is
    // written all the same and nothing is reported, and a write that fails
    // after that is still reported.
    const TBlockedSettings& way = ways[0];
    const QString folder = m_dir.filePath(QStringLiteral("garbled"));
    TRegistry::SetStorageFolder(folder);
    const QString file = TRegistry::StorageFile();
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, true));
        reg.WriteString(QStringLiteral("Before"), QStringLiteral("written"));
        ASSERT_TRUE(reg.Flush());
    }
    reports.clear();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Before")), QStringLiteral("written"));
    {
        QFile garbled(file);
        ASSERT_TRUE(garbled.open(QIODevice::Append));
        garbled.write("a line that is no setting\n");
    }
    reg.WriteString(QStringLiteral("After"), QStringLiteral("kept"));
    EXPECT_TRUE(reg.Flush());
    EXPECT_TRUE(Contents(file).contains("kept"));
    EXPECT_TRUE(reports.isEmpty());
    ASSERT_TRUE(way.Block(folder));
    reg.WriteInteger(QStringLiteral("Blocked"), 3);
    EXPECT_FALSE(reg.Flush());
    way.Unblock(folder);
    EXPECT_EQ(reports, QStringList{file + QLatin1Char(':') + QString::number(way.Error)});
    TRegistry::SetWriteFailureReport(previous);
}

namespace {

// 100 KB of bytes that are no settings (the same each run).
QByteArray Garbage()
{
    QByteArray bytes(100 * 1024, '\0');
    quint32 state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

struct TReadReports {
    TReadReports()
        : Previous(TRegistry::SetReadFailureReport(
              [this](const TSettingsReadFailure& failure) { Failures.push_back(failure); }))
    {
    }
    ~TReadReports() { TRegistry::SetReadFailureReport(Previous); }
    std::vector<TSettingsReadFailure> Failures;
    TRegistry::TReadFailureReport Previous;
};

}

TEST_F(RegistryTest, AnUnreadableSettingsFileIsToldOncePutAsideAndNeverReadNorWrittenInto)
{
    // A device of our own with the numbers of the null device (only root
    // may make one), reached through a link as the settings file.
    const QString device = m_dir.filePath(QStringLiteral("null"));
    const bool haveDevice = ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    struct TCase {
        const char* Name;
        std::function<bool(const QString& file)> Make;
        TFileKind Kind;
        bool Malformed;
    };
    std::vector<TCase> cases{
        {"random bytes",
         [](const QString& file) {
             QFile garbage(file);
             return garbage.open(QIODevice::WriteOnly) && garbage.write(Garbage()) == Garbage().size();
         },
         TFileKind::Regular, true},
        {"a folder in its place", [](const QString& file) { return QDir().mkpath(file + QStringLiteral("/inner")); },
         TFileKind::Folder, false},
    };
    if (haveDevice)
        cases.push_back({"a link to a device",
                         [&](const QString& file) {
                             return ::symlink(QFile::encodeName(device).constData(),
                                              QFile::encodeName(file).constData()) == 0;
                         },
                         TFileKind::CharDevice, false});
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString folder = m_dir.filePath(QString::fromLatin1(c.Name));
        ASSERT_TRUE(QDir().mkpath(folder));
        TRegistry::SetStorageFolder(folder);
        const QString file = TRegistry::StorageFile();
        ASSERT_TRUE(c.Make(file));
        const QString aside = file + QStringLiteral(".unreadable");
        TReadReports reports;
        {
            TRegistry reg;
            EXPECT_EQ(reports.Failures.size(), 1u);
            const TSettingsReadFailure failure =
                reports.Failures.empty() ? TSettingsReadFailure{} : reports.Failures.front();
            EXPECT_EQ(failure.File, file);
            EXPECT_EQ(failure.Kind, c.Kind);
            EXPECT_EQ(failure.Malformed, c.Malformed);
            EXPECT_EQ(failure.KeptAs, aside);
            // Nothing of it is taken: the store starts empty.
            EXPECT_TRUE(reg.GetKeyNames().isEmpty());
            ASSERT_TRUE(reg.OpenKey(kRoot, true));
            reg.WriteString(QStringLiteral("Kept"), QStringLiteral("new"));
            EXPECT_TRUE(reg.Flush());
        }
        {
            TRegistry reg;
            EXPECT_TRUE(reg.OpenKey(kRoot, false));
            EXPECT_EQ(reg.ReadString(QStringLiteral("Kept")), QStringLiteral("new"));
        }
        EXPECT_EQ(reports.Failures.size(), 1u) << "told once";
        EXPECT_TRUE(QFileInfo(file).isFile() && !QFileInfo(file).isSymLink());
        EXPECT_FALSE(Contents(file).contains(Garbage().left(8)));
        // What was there is kept as it was, beside it.
        if (c.Kind == TFileKind::Regular)
            EXPECT_EQ(Contents(aside), Garbage());
        else if (c.Kind == TFileKind::Folder)
            EXPECT_TRUE(QFileInfo(aside + QStringLiteral("/inner")).isDir());
        else
            EXPECT_EQ(QFileInfo(aside).symLinkTarget(), device);
    }
    if (haveDevice) {
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device is still a device";
        EXPECT_EQ(st.st_rdev, makedev(1, 3));
    }

    // A file that cannot be put aside (every aside name taken) is left as it
    // is: this process keeps its settings apart, and tells it once.
    const QString folder = m_dir.filePath(QStringLiteral("taken"));
    ASSERT_TRUE(QDir().mkpath(folder));
    TRegistry::SetStorageFolder(folder);
    const QString file = TRegistry::StorageFile();
    QFile garbage(file);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(Garbage());
    garbage.close();
    for (int i = 1; i <= 100; ++i)
        ASSERT_TRUE(QFile(file + QStringLiteral(".unreadable") + (i == 1 ? QString() : QStringLiteral("-%1").arg(i)))
                        .open(QIODevice::WriteOnly));
    TReadReports reports;
    for (int round = 0; round < 2; ++round) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, true));
        EXPECT_EQ(reg.ReadString(QStringLiteral("Apart")),
                  round == 0 ? std::nullopt : std::optional(QStringLiteral("x")));
        reg.WriteString(QStringLiteral("Apart"), QStringLiteral("x"));
        EXPECT_TRUE(reg.Flush());
    }
    ASSERT_EQ(reports.Failures.size(), 1u);
    EXPECT_TRUE(reports.Failures.front().KeptAs.isEmpty());
    EXPECT_EQ(reports.Failures.front().MoveError, EEXIST);
    EXPECT_EQ(Contents(file), Garbage());
    if (!haveDevice)
        GTEST_SKIP() << "no device node could be made here (mknod needs root); the other cases were checked";
}
