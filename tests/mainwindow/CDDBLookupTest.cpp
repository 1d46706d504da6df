#include "RenameTestSupport.h"

#include "dialogs/FormCDDB.h"

#include "common/SettingsKey.h"
#include "platform/Registry.h"
#include "tagengine/DisplayTexts.h"

#include "support/FakeCDDBServer.h"
#include "support/FakeCdrom.h"
#include "support/MutagenReader.h"
#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QRadioButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The frames' texts as python3-mutagen reads them, joined by "|" (a frame
// given twice shows as two texts).
QString Texts(const TMutagenRead& read, const QStringList& ids)
{
    QStringList texts;
    for (const QString& id : ids)
        texts << MutagenTexts(read, id);
    return texts.join(QLatin1Char('|'));
}

const QString Cyrillic = QString::fromUtf8("\xd0\x9f\xd0\xb5\xd1\x81\xd0\xbd\xd1\x8f");

class CDDBLookupTest : public ::testing::Test, protected TRenameFixture {
protected:
    void SetUp() override
    {
        Server.Reply("cddb query .*", "200 rock 0c01a202 The Band / Live at Home\r\n");
        Server.Reply("cddb read rock 0c01a202",
                     QStringLiteral("210 rock 0c01a202\r\nTTITLE0=Opening\r\nTTITLE1=Guest / %1\r\n.\r\n").arg(Cyrillic));
        ASSERT_TRUE(Server.Start()) << Server.Error().toStdString();
        Cdrom.DriveList = {{"/dev/sr0", "", ""}};
        Cdrom.Discs.insert("/dev/sr0", TFakeCdrom::TocOfFrames({150, 14270}, 420 * 75));
    }

    // The CD database settings as the user keeps them (the fixture's server
    // unless another port is given).
    void StoreServerSettings(int proxyPort = 0, int serverPort = 0)
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(ProgramSettingsKey(), true));
        reg.WriteString(QStringLiteral("CDDBServer2"), QStringLiteral("127.0.0.1"));
        reg.WriteInteger(QStringLiteral("CDDBServerPort2"), serverPort ? serverPort : Server.Port());
        reg.WriteString(QStringLiteral("CDDBServerCgiPath"), QStringLiteral("/~cddb/cddb.cgi"));
        reg.WriteString(QStringLiteral("CDDBUser"), QStringLiteral("tester"));
        reg.WriteBool(QStringLiteral("UseProxy"), proxyPort > 0);
        reg.WriteString(QStringLiteral("Proxy"), QStringLiteral("127.0.0.1"));
        reg.WriteInteger(QStringLiteral("ProxyPort"), proxyPort);
        reg.Flush();
    }

    // Answers the wizard: the search by CD, then Next until it finishes.
    void AnswerWizard()
    {
        Prompt.OnModal = [](QDialog& dialog) {
            auto& form = dynamic_cast<TFormCDDB&>(dialog);
            for (int step = 0; step < 3 && dialog.result() != QDialog::Accepted; ++step)
                form.ActWeiterExecute();
            return dialog.result();
        };
    }

    TFakeCDDBServer Server;
    TFakeCdrom Cdrom;
};

}

TEST_F(CDDBLookupTest, TheLookupWritesTheFilesAtOnceAndEachUndoRestoresOneFile)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("01.mp3"), {{"TIT2", "Old one"}, {"TCON", "Jazz"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("02.mp3"), {{"TIT2", "Old two"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("03.mp3"), {{"TIT2", "Not selected"}}));
    const QByteArray original1 = Bytes(Dir() + "01.mp3"), original2 = Bytes(Dir() + "02.mp3");
    const QByteArray original3 = Bytes(Dir() + "03.mp3");
    StoreServerSettings();
    Open();
    Select({"01.mp3", "02.mp3"});
    AnswerWizard();
    Trigger("ActID3FromCDDB");
    ASSERT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join('|').toStdString();

    const TMutagenRead first = ReadWithMutagen(Dir() + "01.mp3");
    ASSERT_TRUE(first.Ok && first.Error.isEmpty()) << first.Error.toStdString();
    EXPECT_EQ(Texts(first, {"TPE1", "TIT2", "TALB", "TRCK", "TCON"}), "The Band|Opening|Live at Home|1/2|Jazz");
    EXPECT_EQ(MutagenData(first, "MCDI"), QStringLiteral("001a010200100100000002000010020000030a140010aa0000070000"));
    EXPECT_EQ(Texts(ReadWithMutagen(Dir() + "02.mp3"), {"TPE1", "TIT2", "TRCK"}), "Guest|" + Cyrillic + "|2/2");
    EXPECT_EQ(Bytes(Dir() + "03.mp3"), original3);
    // Every request greets with the user name of the settings.
    for (const auto& request : Server.Requests())
        EXPECT_TRUE(TFakeCDDBServer::Field(request.toObject(), "hello").startsWith("tester "));

    // Written and read back: nothing waits to be saved; the list shows it.
    EXPECT_FALSE(Entry("01.mp3")->Changed);
    EXPECT_EQ(GetColumnText(*Entry("02.mp3"), "TIT2"), Cyrillic);
    ASSERT_EQ(Window->UndoList().Count(), 2);

    Trigger("ActUndo");
    EXPECT_EQ(Bytes(Dir() + "02.mp3"), original2);
    EXPECT_NE(Bytes(Dir() + "01.mp3"), original1);
    Trigger("ActUndo");
    EXPECT_EQ(Bytes(Dir() + "01.mp3"), original1);
    EXPECT_TRUE(Prompt.Errors.isEmpty());

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(ProgramSettingsSubkey("CDDBWindow"), false));
    EXPECT_EQ(reg.ReadString("SearchType"), QStringLiteral("cd"));
}

TEST_F(CDDBLookupTest, ACancelledLookupSavesNothingAndTheProxyOfTheSettingsIsUsed)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("01.mp3"), {{"TIT2", "Old one"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("02.mp3"), {{"TIT2", "Old two"}}));
    TFakeCDDBServer proxy(true);
    ASSERT_TRUE(proxy.Start()) << proxy.Error().toStdString();
    StoreServerSettings(proxy.Port());
    Open();

    Select({"01.mp3", "02.mp3"});
    const QByteArray original = Bytes(Dir() + "01.mp3");
    Prompt.OnModal = [](QDialog& dialog) {
        auto& form = dynamic_cast<TFormCDDB&>(dialog);
        form.RadioButton3->setChecked(true);
        form.ActWeiterExecute();
        form.ActWeiterExecute();
        form.Button4Click();
        return dialog.result();
    };
    Trigger("ActID3FromCDDB");
    EXPECT_EQ(Bytes(Dir() + "01.mp3"), original);
    EXPECT_FALSE(Entry("01.mp3")->Changed);
    EXPECT_EQ(proxy.Requests().size(), 2) << "query and read through the proxy";
    EXPECT_EQ(Server.Requests().size(), 2);
}

TEST_F(CDDBLookupTest, ControlCharactersFromTheServerNeverReachTheTags)
{
    TFakeCDDBServer hostile;
    hostile.Reply("cddb query .*", QStringLiteral("200 rock 0c01a202 Evil\x1b]0;owned\x07 Band / Live\u202e\r\n"));
    hostile.Reply("cddb read rock 0c01a202", QStringLiteral("210 rock 0c01a202\r\nTTITLE0=Nul") + QChar(0) +
                                                 QStringLiteral("Title") + QChar(0) +
                                                 QStringLiteral("end\r\nTTITLE1=\x1b[31mRed\x07" "Alert\r\n.\r\n"));
    ASSERT_TRUE(hostile.Start()) << hostile.Error().toStdString();
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("01.mp3"), {{"TIT2", "Old one"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("02.mp3"), {{"TIT2", "Old two"}}));
    StoreServerSettings(0, hostile.Port());
    Open();
    Select({"01.mp3", "02.mp3"});
    AnswerWizard();
    Trigger("ActID3FromCDDB");
    ASSERT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join('|').toStdString();

    // As another reader sees them: one value per frame, nothing a terminal
    // would act on.
    const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f-\\x9f\\x{202a}-\\x{202e}]"));
    for (const char* name : {"01.mp3", "02.mp3"}) {
        const TMutagenRead read = ReadWithMutagen(Dir() + name);
        ASSERT_TRUE(read.Ok && read.Error.isEmpty()) << read.Error.toStdString();
        for (const QJsonValue frame : read.Tag.value("frames").toArray()) {
            const QJsonArray texts = frame.toObject().value("text").toArray();
            EXPECT_LE(texts.size(), 1) << name;
            for (const QJsonValue text : texts)
                EXPECT_FALSE(text.toString().contains(control)) << name << ": " << text.toString().toStdString();
        }
    }
    EXPECT_EQ(Texts(ReadWithMutagen(Dir() + "01.mp3"), {"TPE1", "TIT2", "TALB"}), "Evil ]0;owned Band|Nul Title end|Live");
    EXPECT_EQ(Texts(ReadWithMutagen(Dir() + "02.mp3"), {"TIT2"}), "[31mRed Alert");
}

TEST_F(CDDBLookupTest, RightToLeftMarksNumberSignsFlagsAndOldWindows1252EntriesReachTheTagsAsSent)
{
    // The CD in the drive: a right-to-left entry with its directional marks
    // and an Arabic number sign, and a flag of tag characters. Another CD: an
    // old entry in Windows-1252.
    const QString arabic = QStringLiteral("\u0641\u0631\u0642\u0629 \u200f\u0627\u0644\u0641\u062c\u0631\u200f");
    const QString signed_ = QStringLiteral("\u0627\u0644\u0633\u0646\u0629 \u0600\u0661\u0669\u0669\u0669 \u200eLive\u200e");
    const QString scotland = QString::fromUtf8("\xf0\x9f\x8f\xb4\xf3\xa0\x81\xa7\xf3\xa0\x81\xa2\xf3\xa0\x81\xb3"
                                               "\xf3\xa0\x81\xa3\xf3\xa0\x81\xb4\xf3\xa0\x81\xbf Highlands");
    const QString quoted = QStringLiteral("Don\u2019t Stop \u201cMe\u201d \u2013 \u20ac 5");
    TFakeCDDBServer server;
    server.Reply("cddb query 0c01a202 .*", QStringLiteral("200 rock 0c01a202 %1 / %1\r\n").arg(arabic));
    server.Reply("cddb read rock .*", QStringLiteral("210 rock\r\nTTITLE0=%1\r\nTTITLE1=%2\r\n.\r\n").arg(signed_, scotland));
    server.Reply("cddb query .*", QStringLiteral("200 misc 1a2b3c02 Caf\u00e9 \u2022 Band / %1\r\n").arg(quoted), "cp1252");
    server.Reply("cddb read misc .*",
                 QStringLiteral("210 misc\r\nTTITLE0=\u2018Quoted\u2019\u2026\r\nTTITLE1=%1\r\n.\r\n").arg(quoted), "cp1252");
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("01.mp3"), {{"TIT2", "Old one"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("02.mp3"), {{"TIT2", "Old two"}}));
    StoreServerSettings(0, server.Port());
    Open();
    Select({"01.mp3", "02.mp3"});
    AnswerWizard();

    Trigger("ActID3FromCDDB");
    ASSERT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join('|').toStdString();
    EXPECT_EQ(Texts(ReadWithMutagen(Dir() + "01.mp3"), {"TPE1", "TIT2", "TALB"}), arabic + "|" + signed_ + "|" + arabic);
    EXPECT_EQ(Texts(ReadWithMutagen(Dir() + "02.mp3"), {"TIT2"}), scotland);

    Cdrom.Discs.insert("/dev/sr0", TFakeCdrom::TocOfFrames({150, 20000}, 600 * 75));
    Trigger("ActID3FromCDDB");
    ASSERT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join('|').toStdString();
    EXPECT_EQ(Texts(ReadWithMutagen(Dir() + "01.mp3"), {"TPE1", "TIT2", "TALB"}),
              QStringLiteral("Caf\u00e9 \u2022 Band|\u2018Quoted\u2019\u2026|") + quoted);
    EXPECT_EQ(Texts(ReadWithMutagen(Dir() + "02.mp3"), {"TIT2"}), quoted);
}
