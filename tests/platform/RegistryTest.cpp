#include "platform/Registry.h"

#include <QTemporaryDir>

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
