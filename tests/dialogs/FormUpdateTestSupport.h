#pragma once

// The update check against a real web server on this machine: the server,
// the check pointed at it, and a fixture with the windows' environment and a
// record of the links the program opens.

#include "support/gui/MainWindowTestSupport.h"

#include "dialogs/FormUpdate.h"
#include "platform/Opener.h"

#include <QList>
#include <QNetworkReply>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

// A web server on 127.0.0.1 at a free port; the first part of a path picks the
// answer, every request line is printed, and it stops itself after a minute.
inline const char* const ServerScript = R"PY(
import sys, threading, time
from http.server import ThreadingHTTPServer, BaseHTTPRequestHandler

def page(text):
    return ('<html><body><p>' + text + '</p></body></html>').encode()

class Handler(BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.0'
    def log_message(self, *args): pass
    def answer(self, body, length=True):
        self.send_response(200)
        self.send_header('Content-Type', 'text/html; charset=utf-8')
        if length:
            self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def do_GET(self):
        print('GET ' + self.path, flush=True)
        part = self.path.split('/')[1]
        port = self.server.server_address[1]
        versions = {'newer': 'progversion1=3<br>progversion2=15', 'same': 'PROGVERSION1=3 PROGVERSION2=14',
                    'older': 'ProgVersion1=2 ProgVersion2=9', 'letter': 'PROGVERSION1=X3 PROGVERSION2=15',
                    'long': 'PROGVERSION1=123456789012345678901234567890 PROGVERSION2=1'}
        if part == 'hang':
            time.sleep(30)
        elif part in versions:
            self.answer(page(versions[part]))
        elif part == 'deep':
            self.answer(page('<table><tr><td>' * 3000 + versions['newer']))
        elif part == 'stacked':
            # Each table follows one closed outside a cell: Qt places it in
            # that table's last cell, one level deeper.
            self.answer(page('<table><tr><td>a</td></tr><thead><head>' + '<td>x</td></table>' * 12
                             + versions['newer']))
        elif part == 'file':
            # The page in the file version.htm of the folder that follows
            # "file" in the path, as it is at the time of the request.
            folder = self.path[len('/file'):self.path.index('/version.htm')]
            with open(folder + '/version.htm', 'rb') as stored:
                self.answer(stored.read())
        elif part == 'big':
            self.answer(b'PROGVERSION1=9 PROGVERSION2=1 ' + b'x' * (2 * 1024 * 1024), length=False)
        elif part == 'rich':
            self.answer(('<html><head><link rel="stylesheet" href="style.css">'
                '<script src="code.js"></script><script>document.write("ran")</script></head><body>'
                '<img src="picture.png"><img src="http://127.0.0.1:%d/rich/absolute.png">'
                '<iframe src="frame.htm"></iframe><p>progversion1=3 progversion2=15</p>'
                '<a href="https://elsewhere.example/get">foreign</a> <a href="download.htm">own</a>'
                ' <a href="javascript:alert(1)">script</a></body></html>' % port).encode())
        elif part == 'hostile':
            # Names files of the folder that follows "hostile" in the path.
            folder = self.path[len('/hostile'):self.path.index('/version.htm')]
            self.answer(('<html><head><link rel="stylesheet" type="text/css" href="file://{0}/style.css">'
                '<style>@import url({0}/imported.css); td {{ background-image: url({0}/cell.png) }}</style></head>'
                '<body background="{0}/body.png"><p>progversion1=3 progversion2=15</p><p>'
                '<img src="{0}/absolute.png"><img src="file://{0}/url.png"><img src="relative.png">'
                '<img src="qrc:/qt-project.org/styles/commonstyle/images/file-16.png">'
                '<img src=":/qt-project.org/styles/commonstyle/images/file-16.png"></p>'
                '<table><tr><td>cell</td></tr></table><p style="background-image: url({0}/styled.png)">styled</p>'
                '<p title="<img src=\'{0}/tip.png\'><table background=\'{0}/tipcell.png\'><tr><td>x</td></tr></table>">'
                'tipped</p><table><tr><td title="<img src=\'file://{0}/celltip.png\'>"></td></tr></table>'
                '<p title="' + 'long ' * 1000 + '">long</p><p title="' + 'W' * 990 + '">unbroken</p>'
                '</body></html>').format(folder).encode())
        else:
            self.send_error(404)

server = ThreadingHTTPServer(('127.0.0.1', 0), Handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
threading.Timer(60, server.shutdown).start()
server.serve_forever()
)PY";

class TLocalWebServer {
public:
    TLocalWebServer()
    {
        m_process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(ServerScript)});
        if (m_process.waitForReadyRead(10000))
            m_port = m_process.readLine().trimmed().toInt();
    }
    ~TLocalWebServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    int Port() const { return m_port; }
    QUrl Site(const QString& part) const { return QUrl("http://127.0.0.1:" + QString::number(m_port) + '/' + part); }
    // The request lines received so far.
    QStringList Requests()
    {
        m_process.waitForReadyRead(0);
        while (m_process.canReadLine())
            if (const QByteArray line = m_process.readLine().trimmed(); !line.isEmpty())
                m_requests << QString::fromUtf8(line);
        return m_requests;
    }

private:
    QProcess m_process;
    int m_port = 0;
    QStringList m_requests;
};

// Points the update check at the local server for the lifetime of a scope.
class TScopedEndpoint {
public:
    explicit TScopedEndpoint(const QUrl& site, int timeoutMs = 15000)
        : m_previous(SetUpdateCheckEndpoint({site, timeoutMs, 1024 * 1024})) {}
    ~TScopedEndpoint() { SetUpdateCheckEndpoint(m_previous); }

private:
    TUpdateCheckEndpoint m_previous;
};

// Waits until the window holds no request any more, so that none can
// answer late.
inline bool WaitUntilNoRequestIsLeft(const TFormUpdate& form)
{
    return WaitUntil([&] { return form.findChildren<QNetworkReply*>().isEmpty(); });
}

class AboutUpdateTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(Server.Port(), 0) << "python3 web server did not start"; }

    // The update window on one of the server's sites, once its request ended.
    std::unique_ptr<TFormUpdate> Check(const QString& part)
    {
        const TScopedEndpoint endpoint(Server.Site(part));
        auto form = std::make_unique<TFormUpdate>();
        EXPECT_TRUE(WaitUntil([&] { return !form->IsLoading(); }));
        return form;
    }

    TMainWindowEnvironment Env;
    TLocalWebServer Server;
    QList<QUrl> Opened;
    TScopedOpener Opener{[this](const QUrl& url, const TOpenFailed&) {
        Opened << url;
    }};
};
