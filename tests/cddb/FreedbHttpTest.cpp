#include "cddb/FreedbHttp.h"

#include "support/QtPrinters.h"
#include "support/FakeCDDBServer.h"
#include "support/ScopedEnv.h"

#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

const QString CgiPath = QStringLiteral("/~cddb/cddb.cgi");
// Longer than any test server lives.
constexpr int NoTimeoutMs = 60 * 60 * 1000;

std::unique_ptr<TmyFreedbHttp> ClientOf(int port, const QString& user = QStringLiteral("me"))
{
    return std::make_unique<TmyFreedbHttp>(QStringLiteral("127.0.0.1"), port, QStringLiteral("~cddb/cddb.cgi"),
                                           QStringLiteral("Quillon"), QStringLiteral("3.14"), user);
}

// The request's failure text, or empty when it got a reply.
QString FailureOf(TmyFreedbHttp& http, const QString& command, QString* reply = nullptr)
{
    QString text;
    try {
        http.Request(command, text);
    } catch (const TFreedbConnectionError& error) {
        return QString::fromStdString(error.what());
    }
    if (reply)
        *reply = text;
    return QString();
}

// A free local port nobody listens on.
int ClosedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

}

TEST(FreedbHttpTest, TheGreetingStaysFourWordsAndOnlyLettersAndDigitsStayUnencoded)
{
    TmyFreedbHttp http(QStringLiteral("host"), 80, QString(), QStringLiteral("Quillon"), QStringLiteral("3.14"),
                       QStringLiteral("my name"));
    // Blanks and control characters cannot split the greeting; an empty
    // host name is no empty word.
    http.SetHostName(QString());
    http.SetClientName(QStringLiteral("a\tb\nc"));
    EXPECT_EQ(http.FormBody(QStringLiteral("cddb read rock 0c01a202")),
              QByteArray("cmd=cddb+read+rock+0c01a202&hello=my%5Fname+%5Bunknown%5D+a%5Fb%5Fc+3%2E14&proto=1"));
    EXPECT_EQ(TmyFreedbHttp::EncodeFormValue("a.b-c_d~e/\xc3\xa9"), QByteArray("a%2Eb%2Dc%5Fd%7Ee%2F%C3%A9"));
}

TEST(FreedbHttpTest, ALocalServerGetsTheFormPostAndItsReplyComesBack)
{
    TFakeCDDBServer server;
    server.Reply("sites", "210 Ok.\r\nlocalhost http 80 /~cddb/cddb.cgi N000.00 W000.00 Here\r\n.\r\n");
    server.Reply("cddb read misc 1", QString::fromUtf8("210 misc 1\r\nDTITLE=M\xc3\xa4rchen\r\n.\r\n"), "latin-1");
    server.Reply("cddb read misc 2", QString::fromUtf8("210 misc 2\r\nDTITLE=\xd0\x9c\xd0\xb8\xd1\x80\r\n.\r\n"));
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    auto http = ClientOf(server.Port(), QString());
    http->SetHostName(QStringLiteral("PC1"));

    QString reply;
    ASSERT_EQ(FailureOf(*http, "sites", &reply), QString());
    EXPECT_EQ(reply, QStringLiteral("210 Ok.\r\nlocalhost http 80 /~cddb/cddb.cgi N000.00 W000.00 Here\r\n.\r\n"));
    const QJsonArray requests = server.Requests();
    ASSERT_EQ(requests.size(), 1);
    const QJsonObject request = requests.first().toObject();
    EXPECT_EQ(request.value("method").toString(), QStringLiteral("POST"));
    EXPECT_EQ(request.value("path").toString(), CgiPath);
    EXPECT_EQ(request.value("body").toString(), QStringLiteral("cmd=sites&hello=%5Bunknown%5D+PC1+Quillon+3%2E14&proto=1"));
    EXPECT_EQ(request.value("content_type").toString(), QStringLiteral("application/x-www-form-urlencoded"));

    // Protocol 1 replies in Latin-1; UTF-8 is taken where it is valid.
    ASSERT_EQ(FailureOf(*http, "cddb read misc 1", &reply), QString());
    EXPECT_EQ(reply, QString::fromUtf8("210 misc 1\r\nDTITLE=M\xc3\xa4rchen\r\n.\r\n"));
    ASSERT_EQ(FailureOf(*http, "cddb read misc 2", &reply), QString());
    EXPECT_EQ(reply, QString::fromUtf8("210 misc 2\r\nDTITLE=\xd0\x9c\xd0\xb8\xd1\x80\r\n.\r\n"));
    ASSERT_EQ(FailureOf(*http, "cddb read misc 3", &reply), QString());
    EXPECT_EQ(reply, QStringLiteral("500 Command syntax error\r\n"));
}

TEST(FreedbHttpTest, ErrorStatusesRefusedConnectionsAndSilentOrHugeRepliesFail)
{
    TFakeCDDBServer server;
    server.Add({.Command = "cddb query .*", .Body = {}, .HttpStatus = 500});
    server.Add({.Command = "silent", .Body = {}, .Hang = true});
    // A reply that would outlast the read time-out: only a stop at the
    // limit ends it in time.
    server.Add({.Command = "huge", .Body = {}, .Size = 1000LL * 1000 * 1000 * 1000});
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    auto http = ClientOf(server.Port());

    EXPECT_EQ(FailureOf(*http, "cddb query 1 1 150 2"), QStringLiteral("HTTP 500 Internal Server Error"));

    // A server that keeps a request open longer than allowed in all. No
    // other time-out comes before the server ends, which would end the
    // request with another error.
    http->SetTransferTimeout(NoTimeoutMs);
    http->SetTotalTimeout(800);
    EXPECT_EQ(FailureOf(*http, "silent"), QStringLiteral("The server did not answer in time."));

    http->SetTotalTimeout(TmyFreedbHttp::DefaultReadTimeoutMs);
    EXPECT_EQ(FailureOf(*http, "huge"), QStringLiteral("The server's reply is too large."));

    auto refused = ClientOf(ClosedPort());
    EXPECT_FALSE(FailureOf(*refused, "sites").isEmpty());
    auto nowhere = std::make_unique<TmyFreedbHttp>(QString(), 80, CgiPath, "Quillon", "3.14", "me");
    EXPECT_FALSE(FailureOf(*nowhere, "sites").isEmpty());
}

TEST(FreedbHttpTest, RequestsGoThroughTheProxyOnlyWhileOneIsSet)
{
    TFakeCDDBServer server;
    server.Reply("sites", "210 Ok.\r\n.\r\n");
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    TFakeCDDBServer proxy(true);
    ASSERT_TRUE(proxy.Start()) << proxy.Error().toStdString();

    auto http = ClientOf(server.Port());
    http->SetProxy({QStringLiteral("127.0.0.1"), proxy.Port()});
    QString reply;
    ASSERT_EQ(FailureOf(*http, "sites", &reply), QString());
    EXPECT_EQ(reply, QStringLiteral("210 Ok.\r\n.\r\n"));
    ASSERT_EQ(proxy.Requests().size(), 1);
    EXPECT_EQ(proxy.Requests().first().toObject().value("request_line").toString(),
              QStringLiteral("POST http://127.0.0.1:%1%2 HTTP/1.1").arg(server.Port()).arg(CgiPath));
    ASSERT_EQ(server.Requests().size(), 1);
    EXPECT_EQ(server.Requests().first().toObject().value("body").toString(),
              proxy.Requests().first().toObject().value("body").toString());

    // Without a port, directly; also when the environment names a proxy.
    const TScopedEnv environmentProxy("http_proxy", QStringLiteral("http://127.0.0.1:%1").arg(proxy.Port()));
    http->SetProxy({QStringLiteral("127.0.0.1"), 0});
    ASSERT_EQ(FailureOf(*http, "sites", &reply), QString());
    auto fresh = ClientOf(server.Port());
    ASSERT_EQ(FailureOf(*fresh, "sites", &reply), QString());
    EXPECT_EQ(proxy.Requests().size(), 1);
    EXPECT_EQ(server.Requests().size(), 3);

    // A proxy that is not there fails the request.
    http->SetProxy({QStringLiteral("127.0.0.1"), ClosedPort()});
    EXPECT_FALSE(FailureOf(*http, "sites").isEmpty());
}

TEST(FreedbHttpTest, ATricklingReplyEndsAtTheReadTimeOutAndAbortEndsTheWaitAtOnce)
{
    TFakeCDDBServer server;
    // The trickle would go on for longer than the server lives: a request
    // that is not ended in time ends with the server, in another error.
    server.Add({.Command = "trickle", .Body = QString(100000, QLatin1Char('x')), .Trickle = 0.1});
    server.Add({.Command = "silent|waiting", .Body = {}, .Hang = true});
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    const auto received = [&](const QString& command) {
        int count = 0;
        for (const QJsonValue request : server.Requests())
            count += TFakeCDDBServer::Field(request.toObject(), QStringLiteral("cmd")) == command;
        return count;
    };

    // A byte now and then keeps no request alive beyond the read time-out.
    auto http = ClientOf(server.Port());
    http->SetTransferTimeout(700);
    EXPECT_EQ(FailureOf(*http, "trickle"), QStringLiteral("The server did not answer in time."));

    // So do clients made while tests shorten the default.
    const int previous = TmyFreedbHttp::SetDefaultReadTimeout(700);
    auto shortened = ClientOf(server.Port());
    EXPECT_EQ(TmyFreedbHttp::SetDefaultReadTimeout(previous), 700);
    EXPECT_EQ(shortened->TransferTimeout(), 700);
    EXPECT_EQ(FailureOf(*shortened, "silent"), QStringLiteral("The server did not answer in time."));

    // Abort, while the request waits, ends it at once; later requests send
    // nothing. Nothing else ends the wait before the server does.
    http->SetTransferTimeout(NoTimeoutMs);
    QTimer abortOnArrival;
    QObject::connect(&abortOnArrival, &QTimer::timeout, [&] {
        if (received(QStringLiteral("waiting")) == 1)
            http->Abort();
    });
    abortOnArrival.start(10);
    EXPECT_THROW(
        {
            QString reply;
            http->Request(QStringLiteral("waiting"), reply);
        },
        TFreedbCancelled);
    abortOnArrival.stop();
    EXPECT_TRUE(server.IsRunning()) << "the wait ended only with the server";
    EXPECT_EQ(FailureOf(*http, "sites"), QStringLiteral("The request was cancelled."));
    EXPECT_EQ(received(QStringLiteral("sites")), 0);
}
