#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
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

TEST_F(RegistryTest, ValuesKeepTheirKindsAcrossInstances)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kRoot, true));
        reg.WriteString(QStringLiteral("Text"), QStringLiteral("a, \"b\" = c\\d ü 日本"));
        reg.WriteString(QStringLiteral("Number"), QStringLiteral("42"));
        reg.WriteInteger(QStringLiteral("Width"), -7);
        reg.WriteBool(QStringLiteral("Flag"), true);
        reg.WriteBinaryData(QStringLiteral("Blob"), QByteArray("\x00\x01\xff", 3));
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("Text")), QStringLiteral("a, \"b\" = c\\d ü 日本"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Width")), -7);
    EXPECT_EQ(reg.ReadBool(QStringLiteral("Flag")), true);
    EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("Blob")), QByteArray("\x00\x01\xff", 3));
    // A string that looks like a number is still a string, and kinds never mix.
    EXPECT_FALSE(reg.ReadInteger(QStringLiteral("Number")).has_value());
    EXPECT_FALSE(reg.ReadString(QStringLiteral("Width")).has_value());
    // An absent value reads as nothing, so the caller keeps its default.
    EXPECT_FALSE(reg.ReadString(QStringLiteral("Missing")).has_value());
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("Missing")));
}

TEST_F(RegistryTest, ValueAndSubkeyOfOneNameStayApart)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, true));
    reg.WriteString(QStringLiteral("CDDBServer2"), QStringLiteral("as value"));
    ASSERT_TRUE(reg.OpenKey(kRoot + QStringLiteral("\\CDDBServer2"), true));
    reg.WriteString(QStringLiteral("Server0"), QStringLiteral("in subkey"));

    ASSERT_TRUE(reg.OpenKey(kRoot, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("CDDBServer2")), QStringLiteral("as value"));
    EXPECT_EQ(reg.GetValueNames(), QStringList{QStringLiteral("CDDBServer2")});
    EXPECT_EQ(reg.GetKeyNames(), QStringList{QStringLiteral("CDDBServer2")});

    // Deleting the subkey leaves the value of the same name.
    EXPECT_TRUE(reg.DeleteKey(kRoot + QStringLiteral("\\CDDBServer2")));
    EXPECT_FALSE(reg.KeyExists(kRoot + QStringLiteral("\\CDDBServer2")));
    EXPECT_EQ(reg.ReadString(QStringLiteral("CDDBServer2")), QStringLiteral("as value"));
}

TEST_F(RegistryTest, DeleteKeyRemovesOnlyThatGroup)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot + QStringLiteral("\\Felder"), true));
    reg.WriteInteger(QStringLiteral("Count"), 3);
    ASSERT_TRUE(reg.OpenKey(kRoot + QStringLiteral("\\Export"), true));
    reg.WriteInteger(QStringLiteral("Kind"), 1);

    EXPECT_FALSE(reg.OpenKey(kRoot + QStringLiteral("\\Nothing"), false));
    EXPECT_TRUE(reg.DeleteKey(kRoot + QStringLiteral("\\Felder")));
    EXPECT_FALSE(reg.KeyExists(kRoot + QStringLiteral("\\Felder")));
    ASSERT_TRUE(reg.OpenKey(kRoot + QStringLiteral("\\Export"), false));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("Kind")), 1);

    // Deleting the whole settings key leaves nothing behind.
    EXPECT_TRUE(reg.DeleteKey(kRoot));
    EXPECT_FALSE(reg.KeyExists(kRoot));
    EXPECT_FALSE(reg.DeleteKey(kRoot));
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
        reg.WriteInteger(QStringLiteral("B"), 2);
        reg.DeleteKey(kRoot + QStringLiteral("\\Missing"));
    }
    EXPECT_NE(InodeOf(file), inode);
    EXPECT_EQ(Contents(old), before);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kRoot, false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("A")), QStringLiteral("second"));
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("B")), 2);
    // No temporary file is left beside it.
    EXPECT_EQ(QFileInfo(file).dir().entryList(QDir::Files | QDir::Hidden).size(), 2);
}
