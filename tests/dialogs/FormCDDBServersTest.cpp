#include "support/gui/MainWindowTestSupport.h"

#include "dialogs/FormCDDBServers.h"

#include "cddb/CDDBServerList.h"
#include "cddb/FreedbHttp.h"
#include "localisation/MultiLanguage.h"
#include "common/DefaultCDDBServers.h"

#include "support/FakeCDDBServer.h"
#include "support/QtPrinters.h"

#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class FormCDDBServersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Server.Start()) << Server.Error().toStdString();
        m_previous = SetPublicCDDBServer({QStringLiteral("127.0.0.1"), Server.Port(), QStringLiteral("/~cddb/cddb.cgi")});
        // The window runs modally, as the user sees it.
        Env.Prompt.OnModal = [](QDialog& dialog) { return dialog.exec(); };
    }
    void TearDown() override { SetPublicCDDBServer(m_previous); }

    bool Fetch(QStringList& list, bool cancel = false)
    {
        TFormCDDBServers form;
        form.Timer1->setInterval(50);
        if (cancel)
            form.Button1Click();
        return form.Execute(list, {});
    }

    TMainWindowEnvironment Env;
    TFakeCDDBServer Server;

private:
    TCDDBServerAddress m_previous;
};

}

TEST_F(FormCDDBServersTest, ServerErrorsAndLostConnectionsLeaveTheListAlone)
{
    const QStringList old{"old.example.org Old"};
    QStringList list = old;
    Server.Reply("sites", "401 No site information available.\r\nx\r\n.\r\n");
    EXPECT_FALSE(Fetch(list));
    EXPECT_EQ(list, old);
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), LangFmt("freedbError", {"401 No site information available."}));

    TFakeCDDBServer other;
    other.Reply("sites", "500 Command syntax error\r\n");
    ASSERT_TRUE(other.Start());
    SetPublicCDDBServer({QStringLiteral("127.0.0.1"), other.Port(), QStringLiteral("/~cddb/cddb.cgi")});
    EXPECT_FALSE(Fetch(list));
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), LangFmt("freedbError", {"500 Command syntax error"}));

    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int closed = probe.serverPort();
    probe.close();
    SetPublicCDDBServer({QStringLiteral("127.0.0.1"), closed, QStringLiteral("/~cddb/cddb.cgi")});
    EXPECT_FALSE(Fetch(list));
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), Lang("freedbNoConnection"));
    EXPECT_EQ(list, old);

    // Each failure names its reason: a refusal, a list cut before its end.
    SetPublicCDDBServer({QStringLiteral("127.0.0.1"), other.Port(), QStringLiteral("/elsewhere.cgi")});
    EXPECT_FALSE(Fetch(list));
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), LangFmt("freedbHttpError", {"404 Not Found"}));
    TFakeCDDBServer cut;
    cut.Add({.Command = "sites", .Body = "210 OK\r\nfreedb.example.org 80 N0 W0 Random\r\nx.example.org 80 N0 W0 X\r\n",
             .Length = "none"});
    ASSERT_TRUE(cut.Start());
    SetPublicCDDBServer({QStringLiteral("127.0.0.1"), cut.Port(), QStringLiteral("/~cddb/cddb.cgi")});
    EXPECT_FALSE(Fetch(list));
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), Lang("freedbIncompleteReply"));
    TFakeCDDBServer empty;
    empty.Reply("sites", "");
    ASSERT_TRUE(empty.Start());
    SetPublicCDDBServer({QStringLiteral("127.0.0.1"), empty.Port(), QStringLiteral("/~cddb/cddb.cgi")});
    EXPECT_FALSE(Fetch(list));
    EXPECT_EQ(Env.Prompt.Errors.takeFirst(), Lang("freedbPage2EmptyResponse"));
    EXPECT_EQ(list, old);
}

TEST_F(FormCDDBServersTest, ALongListIsCutAndTheStatusLineSaysSoUntilOk)
{
    // 20,000 sites, more than the size of any reply.
    QString sites = QStringLiteral("210 OK\r\nfile:///etc/passwd 80 N0 W0 Local\r\n");
    for (int i = 0; i < 20000; ++i)
        sites += QStringLiteral("mirror%1.example.org 80 N000.00 W000.00 Mirror %1 of the list\r\n").arg(i);
    Server.Reply("sites", sites + QStringLiteral(".\r\n"));
    QStringList list;
    QString shown;
    QString info;
    Env.Prompt.OnModal = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormCDDBServers&>(dialog);
        // Waits for the note (bounded by the server's lifetime), then OK.
        auto* poll = new QTimer(&dialog);
        QObject::connect(poll, &QTimer::timeout, &dialog, [&form, &shown, &info] {
            if (!form.Button1->isEnabled() || form.Button1->text() != Lang("OK"))
                return;
            shown = form.lblNetStatus->text();
            info = form.LblInfo->text();
            form.Button1->click();
        });
        poll->start(20);
        return dialog.exec();
    };
    TFormCDDBServers form;
    form.Timer1->setInterval(50);
    EXPECT_TRUE(form.Execute(list, {}));
    EXPECT_EQ(shown, LangFmt("freedbServerListCut", {MaxCDDBServers}));
    EXPECT_EQ(info, Lang("WindowFreedbInfoLoaded")) << "the loading is over";
    ASSERT_EQ(list.size(), MaxCDDBServers);
    EXPECT_EQ(list.first(), QStringLiteral("mirror0.example.org Mirror 0 of the list"));
}

TEST_F(FormCDDBServersTest, CancelBeforeTheFetchSendsNothing)
{
    Server.Reply("sites", "210 OK\r\nfreedb.example.org 80 N000.00 W000.00 Random\r\n.\r\n");
    QStringList list;
    EXPECT_FALSE(Fetch(list, true));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(Server.Requests().isEmpty());
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty());

    // Esc and closing the window ask the same; the window then closes.
    TFormCDDBServers form;
    form.Timer1->setInterval(200);
    Env.Prompt.OnModal = [&](QDialog& dialog) {
        QTimer::singleShot(20, &dialog, [&] {
            dialog.close();
            EXPECT_TRUE(dialog.isVisible()) << "closing waits for the fetch's turn";
            EXPECT_TRUE(form.CancelRequested());
        });
        return dialog.exec();
    };
    EXPECT_FALSE(form.Execute(list));
    EXPECT_TRUE(Server.Requests().isEmpty());
}
