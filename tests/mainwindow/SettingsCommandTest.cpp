// The settings dialog from the main window.

#include "RenameTestSupport.h"
#include "common/SettingsStoreTestSupport.h"

#include "cddb/CDDBServerList.h"
#include "controls/UpDownEdit.h"
#include "dialogs/FormCDDBServers.h"
#include "dialogs/FormEinstellungen.h"
#include "common/SettingsStore.h"
#include "localisation/MultiLanguage.h"
#include "platform/Registry.h"
#include "tagengine/DisplayTexts.h"

#include "support/FakeCDDBServer.h"

#include <QCheckBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class SettingsCommandTest : public ::testing::Test, protected TRenameFixture, protected TSettingsStoreFixture {
protected:
    QByteArray StoreBytes() const { return Bytes(TRegistry::StorageFile()); }

    // Opens the settings from the main window; user acts in the dialog. The
    // server list window it opens fetches for real.
    void Settings(const std::function<int(TFormEinstellungen&)>& user)
    {
        Prompt.OnModal = [&](QDialog& dialog) {
            if (auto* servers = qobject_cast<TFormCDDBServers*>(&dialog)) {
                servers->Timer1->setInterval(20);
                return servers->exec();
            }
            auto* settings = qobject_cast<TFormEinstellungen*>(&dialog);
            EXPECT_NE(settings, nullptr) << dialog.metaObject()->className();
            return settings ? user(*settings) : int(QDialog::Rejected);
        };
        Trigger("ActEinstellungen");
        Prompt.OnModal = nullptr;
    }
};

}

TEST_F(SettingsCommandTest, CancelChangesNothingAndOkStoresAtOnce)
{
    Open();
    Window->SaveSettings();
    const QByteArray stored = StoreBytes();
    const TEinstellungen record = Window->Settings();
    const TFileNamePresets presets = Window->FileNamePresets();

    // A confirmed reset, a new template and changed options: Cancel drops all.
    Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
    Prompt.Inputs = {QStringLiteral("Mine")};
    Settings([](TFormEinstellungen& d) {
        d.ActZuruecksetzenExecute();
        d.ActAufbauSpeichernExecute();
        d.ETrackNrDecimals->SetPositionInt(7);
        return QDialog::Rejected;
    });
    EXPECT_EQ(StoreBytes(), stored);
    EXPECT_EQ(Window->Settings(), record);
    EXPECT_EQ(Window->FileNamePresets(), presets);

    // OK: stored before the program ends.
    Settings([](TFormEinstellungen& d) {
        d.ETrackNrDecimals->SetPositionInt(7);
        return QDialog::Accepted;
    });
    EXPECT_EQ(Window->ID3FilenameParser.NumberDecimals, 7);
    EXPECT_EQ(Loaded().Record.Decimals, 7);

    // The cancelled reset did not carry over: closing keeps the settings.
    Window.reset();
    EXPECT_EQ(Loaded().Record.Decimals, 7);

    // A reset confirmed with OK empties the store at once and at the end.
    Open();
    Settings([](TFormEinstellungen& d) {
        d.ActZuruecksetzenExecute();
        return QDialog::Accepted;
    });
    EXPECT_FALSE(TRegistry().KeyExists(TSettingsStore::KeyPath()));
}

TEST_F(SettingsCommandTest, ChangingTheReadOptionReadsTheFolderAgain)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "Tagged"}}));
    Open();
    ASSERT_EQ(GetColumnText(*Entry("a.mp3"), "TIT2"), QStringLiteral("Tagged"));
    Settings([](TFormEinstellungen& d) {
        d.CBxReadID3v2->setChecked(false);
        return QDialog::Accepted;
    });
    ASSERT_NE(Entry("a.mp3"), nullptr);
    EXPECT_TRUE(GetColumnText(*Entry("a.mp3"), "TIT2").isEmpty());
}

TEST_F(SettingsCommandTest, AHugeStoredDigitCountStillBuildsNames)
{
    Store([](TRegistry& reg) {
        reg.WriteInteger(QStringLiteral("Decimals"), 2147483647);
        reg.WriteString(QStringLiteral("DNAufbau2"), QStringLiteral("%N %T"));
    });
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "Song"}, {"TRCK", "3/12"}}));
    Open();
    Select({"a.mp3"});
    Trigger("ActFilenameFromID3");
    EXPECT_EQ(FilesOnDisk(), QStringList({"0000000003 Song.mp3"}));
}

namespace {

const QString Sites = QStringLiteral("210 OK, site information follows (until terminating `.')\r\n"
                                     "freedb.example.org 80 N000.00 W000.00 Random & free\r\n"
                                     "mirror.example.org 8880 N052.31 E013.24 Berlin, Germany\r\n"
                                     ".\r\n");

// The server list window runs for real against a local server.
class ServerListSettingsTest : public SettingsCommandTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Server.Start()) << Server.Error().toStdString();
        Server.Reply(QStringLiteral("sites"), Sites);
        m_previous = SetPublicCDDBServer({QStringLiteral("127.0.0.1"), Server.Port(), QStringLiteral("/~cddb/cddb.cgi")});
        ASSERT_TRUE(SaveCDDBServerList({QStringLiteral("one.example.org One & Two"), QStringLiteral("noblank")}));
    }
    void TearDown() override { SetPublicCDDBServer(m_previous); }

    TFakeCDDBServer Server;

private:
    TCDDBServerAddress m_previous;
};

}

TEST_F(ServerListSettingsTest, TheServerListChangesOnlyOnOk)
{
    Open();
    Window->SaveSettings();
    const QByteArray stored = StoreBytes();
    const QStringList fetched = {QStringLiteral("freedb.example.org Random & free"),
                                 QStringLiteral("mirror.example.org Berlin, Germany")};

    Settings([&](TFormEinstellungen& d) {
        // The stored list, shown as typed; a line without a host is refused.
        EXPECT_EQ(MenuTexts(d.PopVorgabenCDDB), QStringList({"one.example.org One && Two", "noblank"}));
        TriggerMenuItem(d.PopVorgabenCDDB, 1);
        EXPECT_EQ(Prompt.Errors, QStringList({LangFmt("ErrorServerURL", {QStringLiteral("noblank")})}));
        TriggerMenuItem(d.PopVorgabenCDDB, 0);
        EXPECT_EQ(d.ECDDBServer->text(), QStringLiteral("one.example.org"));
        d.ActServerAktualisierenExecute();
        EXPECT_EQ(d.ServerList(), fetched);
        EXPECT_EQ(MenuTexts(d.PopVorgabenCDDB).size(), 2);
        return QDialog::Rejected;
    });
    EXPECT_EQ(StoreBytes(), stored);
    EXPECT_EQ(Window->Settings().CDDBServer, QString::fromLatin1(PublicCDDBServerHost));

    // Fetched through the proxy as entered, and kept on OK.
    TFakeCDDBServer proxy(true);
    ASSERT_TRUE(proxy.Start()) << proxy.Error().toStdString();
    Settings([&](TFormEinstellungen& d) {
        d.CBoxProxy->setChecked(true);
        d.EProxy->setText(QStringLiteral("127.0.0.1"));
        d.EProxyPort->setText(QString::number(proxy.Port()));
        d.ActServerAktualisierenExecute();
        return QDialog::Accepted;
    });
    EXPECT_EQ(proxy.Requests().size(), 1);
    EXPECT_EQ(LoadCDDBServerList(), fetched);
    EXPECT_EQ(Window->Settings().ProxyPort, proxy.Port());
}
