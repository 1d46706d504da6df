#include "cddb/FreedbHttp.h"

#include "support/QtPrinters.h"
#include "support/FakeCDDBServer.h"
#include "support/ScopedEnv.h"

#include <QStringList>
#include <QTcpServer>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

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

// Why the request failed; nothing when it got a reply.
std::optional<TFreedbFailure> FailureKindOf(TmyFreedbHttp& http, const QString& command)
{
    try {
        QString reply;
        http.Request(command, reply);
    } catch (const TFreedbConnectionError& error) {
        return error.Kind();
    }
    return std::nullopt;
}

// The warnings Qt prints while it lives.
class TQtWarnings {
public:
    TQtWarnings()
    {
        Texts().clear();
        m_previous = qInstallMessageHandler(&TQtWarnings::Collect);
    }
    ~TQtWarnings() { qInstallMessageHandler(m_previous); }
    TQtWarnings(const TQtWarnings&) = delete;
    TQtWarnings& operator=(const TQtWarnings&) = delete;
    static QStringList& Texts()
    {
        static QStringList texts;
        return texts;
    }

private:
    static void Collect(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type != QtDebugMsg && type != QtInfoMsg)
            Texts() << text;
    }
    QtMessageHandler m_previous;
};

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
    const QString punctuation = QStringLiteral("210 misc 4\r\nDTITLE=Don\u2019t Stop \u201cMe\u201d \u2013 \u20ac 5\r\n.\r\n");
    server.Reply("cddb read misc 4", punctuation, "cp1252");
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
    EXPECT_EQ(request.value("user_agent").toString(), QStringLiteral("Quillon 3.14"));

    // Protocol 1 replies in 8 bits; UTF-8 is taken where it is valid.
    ASSERT_EQ(FailureOf(*http, "cddb read misc 1", &reply), QString());
    EXPECT_EQ(reply, QString::fromUtf8("210 misc 1\r\nDTITLE=M\xc3\xa4rchen\r\n.\r\n"));
    ASSERT_EQ(FailureOf(*http, "cddb read misc 2", &reply), QString());
    EXPECT_EQ(reply, QString::fromUtf8("210 misc 2\r\nDTITLE=\xd0\x9c\xd0\xb8\xd1\x80\r\n.\r\n"));
    // Old entries are Windows-1252: its quotes, dashes and euro sign are no
    // C1 controls.
    ASSERT_EQ(FailureOf(*http, "cddb read misc 4", &reply), QString());
    EXPECT_EQ(reply, punctuation);
    ASSERT_EQ(FailureOf(*http, "cddb read misc 3", &reply), QString());
    EXPECT_EQ(reply, QStringLiteral("500 Command syntax error\r\n"));
}

TEST(FreedbHttpTest, ErrorStatusesRefusedConnectionsAndSilentOrHugeRepliesFailEachForItsReason)
{
    TFakeCDDBServer server;
    server.Add({.Command = "cddb query .*", .Body = {}, .HttpStatus = 500});
    server.Add({.Command = "silent", .Body = {}, .Hang = true});
    // A reply that would outlast the read time-out: only a stop at the
    // limit ends it in time.
    server.Add({.Command = "huge", .Body = {}, .Size = 1000LL * 1000 * 1000 * 1000});
    // The cap counts the bytes that come, not what the headers announce.
    server.Add({.Command = "unannounced", .Body = {}, .Size = 1000LL * 1000 * 1000 * 1000, .Length = "none"});
    server.Add({.Command = "garbled", .Body = "HTTP/1.1 2OO OK\r\nContent-Length: 5\r\n\r\n200 x", .Raw = true});
    server.Add({.Command = "nothing", .Body = {}, .Raw = true});
    // Less than announced, and more: a reply of lines cut before its end.
    server.Add({.Command = "short", .Body = "210 Ok.\r\nsite 80\r\n.\r\n", .Length = "12"});
    server.Add({.Command = "cut", .Body = "210 Ok.\r\nsite 80\r\n", .Length = "none"});
    server.Reply("single", "500 Command syntax error\r\nmore\r\n");
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    auto http = ClientOf(server.Port());

    EXPECT_EQ(FailureOf(*http, "cddb query 1 1 150 2"), QStringLiteral("HTTP 500 Internal Server Error"));
    try {
        auto lost = std::make_unique<TmyFreedbHttp>(QStringLiteral("127.0.0.1"), server.Port(), "/nowhere", "Quillon",
                                                    "3.14", "me");
        QString reply;
        lost->Request(QStringLiteral("sites"), reply);
        ADD_FAILURE() << "a reply from a path that is not there";
    } catch (const TFreedbConnectionError& error) {
        EXPECT_EQ(error.Kind(), TFreedbFailure::HttpStatus);
        EXPECT_EQ(error.Detail(), QStringLiteral("404 Not Found"));
    }

    // A server that keeps a request open longer than allowed in all. No
    // other time-out comes before the server ends, which would end the
    // request with another error.
    http->SetTransferTimeout(NoTimeoutMs);
    http->SetTotalTimeout(800);
    EXPECT_EQ(FailureOf(*http, "silent"), QStringLiteral("The server did not answer in time."));

    http->SetTotalTimeout(TmyFreedbHttp::DefaultReadTimeoutMs);
    EXPECT_EQ(FailureOf(*http, "huge"), QStringLiteral("The server's reply is too large."));
    EXPECT_EQ(FailureKindOf(*http, "unannounced"), TFreedbFailure::TooLarge);
    EXPECT_EQ(FailureKindOf(*http, "garbled"), TFreedbFailure::Malformed);
    EXPECT_EQ(FailureKindOf(*http, "nothing"), TFreedbFailure::Malformed);
    EXPECT_EQ(FailureKindOf(*http, "short"), TFreedbFailure::Incomplete);
    EXPECT_EQ(FailureKindOf(*http, "cut"), TFreedbFailure::Incomplete);
    EXPECT_EQ(FailureKindOf(*http, "single"), std::nullopt);

    auto refused = ClientOf(ClosedPort());
    EXPECT_EQ(FailureKindOf(*refused, "sites"), TFreedbFailure::NoConnection);
    auto nowhere = std::make_unique<TmyFreedbHttp>(QString(), 80, CgiPath, "Quillon", "3.14", "me");
    EXPECT_EQ(FailureKindOf(*nowhere, "sites"), TFreedbFailure::NoConnection);
}

TEST(FreedbHttpTest, LinesArriveOneByOneUpToTheReplysEndOrAsLongAsTheyAreWanted)
{
    TFakeCDDBServer server;
    // Line ends of all kinds, Latin-1 beside UTF-8, and lines after the end.
    server.Reply("list", "210 Ok.\r\none\rtwo\nthree\r\n.\r\nafter\r\n", "latin-1");
    server.Reply("latin", QString::fromUtf8("211 M\xc3\xa4rchen \xe2\x80\x9eQuotes\xe2\x80\x9c\r\n.\r\n"), "cp1252");
    server.Reply("single", "200 rock 1 A / B\r\nmore\r\n");
    server.Add({.Command = "cut", .Body = "210 Ok.\r\none\r\n", .Length = "none"});
    server.Add({.Command = "endless", .Body = {}, .Size = 10 * 1000 * 1000, .Length = "none"});
    // End marks with blanks around them end their replies too.
    server.Add({.Command = "padded", .Body = "210 Ok.\r\none\r\n \t.  \r\nafter\r\n", .Length = "none"});
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    auto http = ClientOf(server.Port());

    QStringList lines;
    const auto collect = [&lines](const QString& line) {
        lines << line;
        return true;
    };
    http->Request(QStringLiteral("list"), collect);
    EXPECT_EQ(lines, QStringList({"210 Ok.", "one", "two", "three", "."}));
    lines.clear();
    http->Request(QStringLiteral("latin"), collect);
    EXPECT_EQ(lines.first(), QString::fromUtf8("211 M\xc3\xa4rchen \xe2\x80\x9eQuotes\xe2\x80\x9c"));
    lines.clear();
    http->Request(QStringLiteral("single"), collect);
    EXPECT_EQ(lines, QStringList({"200 rock 1 A / B"}));

    lines.clear();
    http->Request(QStringLiteral("padded"), collect);
    EXPECT_EQ(lines, QStringList({"210 Ok.", "one", " \t.  "}));
    QString whole;
    EXPECT_EQ(FailureOf(*http, "padded", &whole), QString()) << "a whole reply";

    // A reader that has enough ends the request without a failure.
    lines.clear();
    http->Request(QStringLiteral("endless"), [&lines](const QString& line) {
        lines << line.left(4);
        return lines.size() < 3;
    });
    EXPECT_EQ(lines, QStringList({"210 ", "210 ", "210 "}));
    try {
        lines.clear();
        http->Request(QStringLiteral("cut"), collect);
        ADD_FAILURE() << "a reply without its end mark";
    } catch (const TFreedbConnectionError& error) {
        EXPECT_EQ(error.Kind(), TFreedbFailure::Incomplete);
        EXPECT_EQ(lines, QStringList({"210 Ok.", "one"}));
    }
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

    // An internationalised host name is sent in its ASCII form.
    auto international = std::make_unique<TmyFreedbHttp>(QString::fromUtf8("m\xc3\xbcnchen.de"), 8880, CgiPath,
                                                         "Quillon", "3.14", "me");
    international->SetProxy({QStringLiteral("127.0.0.1"), proxy.Port()});
    EXPECT_EQ(FailureOf(*international, "sites"), QStringLiteral("HTTP 502 Bad Gateway"));
    EXPECT_EQ(proxy.Requests().last().toObject().value("request_line").toString(),
              QStringLiteral("POST http://xn--mnchen-3ya.de:8880%1 HTTP/1.1").arg(CgiPath));

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

    // Silence ends a request at the read time-out, also when the whole
    // request may take longer than the server lives.
    http->SetTotalTimeout(NoTimeoutMs);
    EXPECT_EQ(FailureKindOf(*http, "silent"), TFreedbFailure::Timeout);
    EXPECT_TRUE(server.IsRunning()) << "the wait ended only with the server";

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

TEST(FreedbHttpTest, RedirectsAndGarbledChunksAreNoRepliesAndARefusalEndsWithoutAWordFromQt)
{
    TFakeCDDBServer server;
    // A redirect's page is no CDDB reply, also when it reads like one, and
    // the redirect is not followed (here it would lead back to itself).
    server.Add({.Command = "moved", .Body = "200 rock 0c01a202 Moved / Page\r\n", .HttpStatus = 302});
    server.Add({.Command = "temporary",
                .Body = "HTTP/1.1 307 Temporary Redirect\r\nLocation: /~cddb/cddb.cgi\r\nContent-Length: 0\r\n\r\n",
                .Raw = true});
    // Chunk sizes that are no numbers of a chunk; before them a chunk is read.
    const QString chunked = QStringLiteral("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    server.Add({.Command = "huge-chunk", .Body = chunked + "FFFFFFFFFFFFFFFF\r\n210 x\r\n.\r\n\r\n0\r\n\r\n", .Raw = true});
    server.Add({.Command = "negative-chunk", .Body = chunked + "-10\r\n210 x\r\n.\r\n\r\n0\r\n\r\n", .Raw = true});
    server.Add({.Command = "chunks", .Body = chunked + "a\r\n210 x\r\n.\r\n\r\n0\r\n\r\n", .Raw = true});
    server.Add({.Command = "gone", .Body = {}, .HttpStatus = 404});
    ASSERT_TRUE(server.Start()) << server.Error().toStdString();
    auto http = ClientOf(server.Port());

    const auto refusal = [&http](const QString& command) {
        try {
            QString reply;
            http->Request(command, reply);
        } catch (const TFreedbConnectionError& error) {
            return error.Kind() == TFreedbFailure::HttpStatus ? error.Detail() : QString::fromStdString(error.what());
        }
        return QStringLiteral("<reply>");
    };
    EXPECT_EQ(refusal("moved"), QStringLiteral("302 Found"));
    EXPECT_EQ(refusal("temporary"), QStringLiteral("307 Temporary Redirect"));
    EXPECT_EQ(server.Requests().size(), 2) << "a redirect was followed";

    EXPECT_EQ(FailureKindOf(*http, "huge-chunk"), TFreedbFailure::Malformed);
    EXPECT_EQ(FailureKindOf(*http, "negative-chunk"), TFreedbFailure::Malformed);
    QString reply;
    ASSERT_EQ(FailureOf(*http, "chunks", &reply), QString());
    EXPECT_EQ(reply, QStringLiteral("210 x\r\n.\r\n"));

    // A refusal, with its body or without, ends the request without
    // upsetting Qt. Whether Qt is still busy with a refusal when its
    // headers are read depends on its network thread: many of them.
    const TQtWarnings warnings;
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(refusal("gone"), QStringLiteral("404 Not Found"));
        EXPECT_THROW(http->Request(QStringLiteral("gone"), [](const QString&) { return true; }),
                     TFreedbConnectionError);
    }
    auto lost = std::make_unique<TmyFreedbHttp>(QStringLiteral("127.0.0.1"), server.Port(), "/nowhere", "Quillon",
                                                "3.14", "me");
    EXPECT_EQ(FailureKindOf(*lost, "sites"), TFreedbFailure::HttpStatus);
    EXPECT_EQ(TQtWarnings::Texts(), QStringList());
}
