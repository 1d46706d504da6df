#include "cddb/CDDBServerList.h"

#include "common/SettingsKey.h"
#include "platform/Registry.h"
#include "tagengine/FrameCodecs.h"

#include "support/QtPrinters.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class CDDBServerListTest : public ::testing::Test {
protected:
    void SetUp() override { TRegistry::SetStorageFolder(m_settings.path()); }
    void TearDown() override { TRegistry::SetStorageFolder(QString()); }

    static QString ListKey() { return ProgramSettingsSubkey(QStringLiteral("CDDBServer2")); }

    // A whole "sites" reply read as its lines would arrive.
    static bool ParseSitesReply(const QString& reply, QStringList& entries, QString& serverText, bool* cut = nullptr)
    {
        TSitesReplyReader reader;
        for (const QString& line : SplitTextLines(reply))
            if (!reader.Take(line))
                break;
        if (cut)
            *cut = reader.IsCut();
        return reader.Finish(entries, serverText);
    }

private:
    QTemporaryDir m_settings;
};

}

TEST_F(CDDBServerListTest, StoredListsAreReadInOrderAndTheBuiltInRowStandsInForNone)
{
    const TCDDBServerAddress previous = SetPublicCDDBServer({QStringLiteral("127.0.0.1"), 8080, QStringLiteral("/x")});
    EXPECT_EQ(LoadCDDBServerList(), QStringList({"127.0.0.1 Random freedb server"}));
    SetPublicCDDBServer(previous);
    EXPECT_EQ(LoadCDDBServerList(), QStringList({QStringLiteral("gnudb.gnudb.org Random freedb server")}));

    ASSERT_TRUE(SaveCDDBServerList({"one.example.org First", "two.example.org Second", "three Third"}));
    ASSERT_TRUE(SaveCDDBServerList({"only.example.org Only"}));
    EXPECT_EQ(LoadCDDBServerList(), QStringList({"only.example.org Only"}));

    // The value of the same name beside the subkey is a different thing.
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(ProgramSettingsKey(), true));
    reg.WriteString(QStringLiteral("CDDBServer2"), QStringLiteral("server.example.org"));
    reg.Flush();
    EXPECT_EQ(LoadCDDBServerList(), QStringList({"only.example.org Only"}));

    // A gap ends the list; an empty list stored gives the built-in row.
    ASSERT_TRUE(reg.OpenKey(ListKey(), true));
    reg.WriteString(QStringLiteral("2"), QStringLiteral("after.gap Gap"));
    reg.Flush();
    EXPECT_EQ(LoadCDDBServerList(), QStringList({"only.example.org Only"}));
    ASSERT_TRUE(SaveCDDBServerList({}));
    EXPECT_EQ(LoadCDDBServerList(), DefaultCDDBServers());

    // What names no server is dropped; a long list is cut.
    QStringList stored{"file:///etc/passwd Local", " No host", "80 Port only", "10.0.1 Three numbers",
                       "http://x.example.org Web", "bad_host.org Under",
                       "127.0.0.1 Here", "::1 Here too", "noblank"};
    for (int i = 0; i < 2 * MaxCDDBServers; ++i)
        stored << QStringLiteral("s%1.example.org Mirror").arg(i);
    ASSERT_TRUE(SaveCDDBServerList(stored));
    const QStringList loaded = LoadCDDBServerList();
    ASSERT_EQ(loaded.size(), MaxCDDBServers);
    EXPECT_EQ(loaded.mid(0, 4), QStringList({"127.0.0.1 Here", "::1 Here too", "noblank", "s0.example.org Mirror"}));
    ASSERT_TRUE(reg.OpenKey(ProgramSettingsKey(), false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("CDDBServer2")), QStringLiteral("server.example.org"));
}

TEST_F(CDDBServerListTest, EntriesNameTheirHostUpToTheFirstBlankAndComeFromSitesReplies)
{
    const auto server = CDDBServerOfEntry(QStringLiteral("freedb.example.org Random freedb server"));
    ASSERT_TRUE(server);
    EXPECT_EQ(server->Host, QStringLiteral("freedb.example.org"));
    EXPECT_FALSE(CDDBServerOfEntry(QStringLiteral("freedb.example.org")));
    EXPECT_FALSE(CDDBServerOfEntry(QStringLiteral("file:///etc/passwd Local")));
    EXPECT_FALSE(CDDBServerOfEntry(QStringLiteral(" No host")));

    // A name of the root (trailing dot) and an internationalised name are
    // host names, the latter sent in its ASCII form; an address that reads
    // as another than it looks like, or that names a network of this
    // computer, is none.
    const auto hostOf = [](const QString& entry) {
        const auto named = CDDBServerOfEntry(entry);
        return named ? named->Host : QStringLiteral("<none>");
    };
    EXPECT_EQ(hostOf("freedb.org. Root"), QStringLiteral("freedb.org."));
    EXPECT_EQ(hostOf(QString::fromUtf8("m\xc3\xbcnchen.de M\xc3\xbcnchen")), QStringLiteral("xn--mnchen-3ya.de"));
    EXPECT_EQ(hostOf("10.0.0.1 Here"), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(hostOf("fe80::1 Link"), QStringLiteral("fe80::1"));
    for (const char* entry : {"fe80::1%eth0 Zone", "0x7f.0.0.1 Hex", "010.0.0.1 Octal", "127.1 Short",
                              "1.2.3.0x4 Hex end", "freedb.org.. Two dots", ". Root only", "a_b.org Under"})
        EXPECT_EQ(hostOf(QString::fromLatin1(entry)), QStringLiteral("<none>")) << entry;

    // A "sites" reply gives each site with its description.
    QStringList entries{"old"};
    QString text;
    ASSERT_TRUE(ParseSitesReply(QStringLiteral("210 OK, site information follows\r\n"
                                               "freedb.example.org 8880 N000.00 W000.00 Random server\r\n"
                                               "  us.example.org http 80 /~cddb/cddb.cgi N037.21 W121.55 San Jose, CA USA  \r\n"
                                               "short 80 N000.00 W000.00\r\n"
                                               "m\u00fcnchen.de. http 80 /~cddb/cddb.cgi N048.08 E011.34 Munich\r\n"
                                               "fe80::1%eth0 http 80 /~cddb/cddb.cgi N0 W0 Zone\r\n"
                                               "0x7f.0.0.1 http 80 /~cddb/cddb.cgi N0 W0 Hex\r\n"
                                               "\r\n"
                                               ".\r\n"
                                               "late 80 N0 W0 Ignored\r\n"),
                                entries, text));
    EXPECT_EQ(entries, QStringList({"freedb.example.org Random server",
                                    "us.example.org N037.21 W121.55 San Jose, CA USA",
                                    QStringLiteral("m\u00fcnchen.de. N048.08 E011.34 Munich")}));

    // Sites that are no host names go, the rest is cut after the most.
    QString many = QStringLiteral("210 OK\r\nfile:///etc/passwd 80 N0 W0 Local\r\n-x.org 80 N0 W0 Dash\r\n"
                                  " 80 N0 W0 No site\r\n");
    for (int i = 0; i < MaxCDDBServers + 20; ++i)
        many += QStringLiteral("s%1.example.org 80 N0 W0 Mirror\r\n").arg(i);
    bool cut = false;
    ASSERT_TRUE(ParseSitesReply(many + QStringLiteral(".\r\n"), entries, text, &cut));
    EXPECT_EQ(entries.size(), MaxCDDBServers);
    EXPECT_EQ(entries.first(), QStringLiteral("s0.example.org Mirror"));
    EXPECT_TRUE(cut);

    // An end mark with blanks around it ends the list.
    ASSERT_TRUE(ParseSitesReply(QStringLiteral("210 OK\r\na.example.org 80 N0 W0 A\r\n \t. \r\n"
                                               "b.example.org 80 N0 W0 After\r\n"),
                                entries, text));
    EXPECT_EQ(entries, QStringList({"a.example.org A"}));

    // Errors are the server-list window's test.
    EXPECT_FALSE(ParseSitesReply(QStringLiteral("<html>\r\nerror\r\n</html>"), entries, text));
    EXPECT_TRUE(entries.isEmpty());
}
