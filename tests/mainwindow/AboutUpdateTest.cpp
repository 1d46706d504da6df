// The update check against a real web server on this machine, and the about box.

#include "InputPanelTestSupport.h"

#include "dialogs/FormInfo.h"
#include "dialogs/FormUpdate.h"
#include "platform/ProgramVersion.h"

#include "localisation/MultiLanguage.h"
#include "platform/Opener.h"

#include "support/QtPrinters.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>

#include <sys/inotify.h>
#include <unistd.h>


namespace {

// A web server on 127.0.0.1 at a free port; the first part of a path picks the
// answer, every request line is printed, and it stops itself after a minute.
const char* const ServerScript = R"PY(
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
        if part == 'hang':
            time.sleep(30)
        elif part == 'newer':
            self.answer(page('progversion1=3<br>progversion2=15'))
        elif part == 'same':
            self.answer(page('PROGVERSION1=3 PROGVERSION2=14'))
        elif part == 'older':
            self.answer(page('ProgVersion1=2 ProgVersion2=9'))
        elif part == 'letter':
            self.answer(page('PROGVERSION1=X3 PROGVERSION2=15'))
        elif part == 'long':
            self.answer(page('PROGVERSION1=123456789012345678901234567890 PROGVERSION2=1'))
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

// The names of the files in a folder that anything opened while it watched
// (inotify; seen from outside Qt).
class TOpenProbe {
public:
    explicit TOpenProbe(const QString& folder) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (m_fd >= 0)
            inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
    }
    ~TOpenProbe()
    {
        if (m_fd >= 0)
            close(m_fd);
    }

    bool IsWatching() const { return m_fd >= 0; }
    QStringList Opened()
    {
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = read(m_fd, buffer, sizeof buffer)) > 0) {
            for (char* at = buffer; at < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len > 0 && !m_opened.contains(QString::fromUtf8(event->name)))
                    m_opened << QString::fromUtf8(event->name);
                at += sizeof(inotify_event) + event->len;
            }
        }
        return m_opened;
    }

private:
    int m_fd;
    QStringList m_opened;
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

}

TEST_F(AboutUpdateTest, TheVersionPageTellsWhetherANewerVersionExists)
{
    auto newer = Check(QStringLiteral("newer"));
    EXPECT_EQ(newer->LVersion1->text(), QStringLiteral("3.14"));
    EXPECT_EQ(newer->LVersion2->text(), QStringLiteral("3.15"));
    EXPECT_EQ(newer->LInfo->text(), Lang("NewerVersionAvailable"));
    EXPECT_TRUE(newer->WebBrowser1->toPlainText().contains(QStringLiteral("progversion2=15")));
    EXPECT_EQ(Server.Requests(), QStringList({"GET /newer/version.htm?ver=3.14"}));

    auto same = Check(QStringLiteral("same"));
    EXPECT_EQ(same->LVersion2->text(), QStringLiteral("3.14"));
    EXPECT_EQ(same->LInfo->text(), Lang("ThisIsNewestVersion"));
    auto older = Check(QStringLiteral("older"));
    EXPECT_EQ(older->LVersion2->text(), QStringLiteral("2.09"));
    EXPECT_EQ(older->LInfo->text(), QString());
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty());
}

TEST_F(AboutUpdateTest, PagesWithoutAUsableVersionEndInOneErrorEach)
{
    const QString failure = Lang("ErrorLoadUpdateInfo");
    for (const char* part : {"letter", "long", "missing", "big"}) {
        SCOPED_TRACE(part);
        Env.Prompt.Errors.clear();
        auto form = Check(QString::fromLatin1(part));
        QTest::qWait(50);
        ASSERT_EQ(Env.Prompt.Errors.size(), 1);
        EXPECT_TRUE(Env.Prompt.Errors[0].startsWith(failure));
        // The labels keep what they showed.
        EXPECT_EQ(form->LVersion2->text(), QStringLiteral("?"));
        EXPECT_EQ(form->LInfo->text(), Lang("StillNoInfo"));
        if (QLatin1String(part) == QLatin1String("big")) {
            EXPECT_TRUE(Env.Prompt.Errors[0].contains(LangFmt("UpdatePageTooLarge", {QStringLiteral("1024")})));
        }
    }
}

TEST_F(AboutUpdateTest, TheShownPageLoadsNothingFurtherAndOpensOnlyTheProgramsOwnLinks)
{
    auto form = Check(QStringLiteral("rich"));
    EXPECT_EQ(form->LVersion2->text(), QStringLiteral("3.15"));
    QTest::qWait(300); // time for anything the page might still fetch
    EXPECT_EQ(Server.Requests(), QStringList({"GET /rich/version.htm?ver=3.14"}));
    EXPECT_FALSE(form->WebBrowser1->toPlainText().contains(QStringLiteral("ran")));

    emit form->WebBrowser1->anchorClicked(QUrl(QStringLiteral("https://elsewhere.example/get")));
    emit form->WebBrowser1->anchorClicked(QUrl(QStringLiteral("javascript:alert(1)")));
    emit form->WebBrowser1->anchorClicked(QUrl(QStringLiteral("http://127.0.0.1:%1/other/").arg(Server.Port())));
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_EQ(Env.Prompt.Beeps, 3);
    emit form->WebBrowser1->anchorClicked(QUrl(QStringLiteral("download.htm")));
    EXPECT_EQ(Opened, QList<QUrl>({Server.Site(QStringLiteral("rich/download.htm"))}));
}

TEST_F(AboutUpdateTest, NoFileOfThisMachineThatAPageNamesIsEverOpened)
{
    // The page names pictures and style sheets of this folder by path, file
    // address and relative to the working folder, and pictures of the
    // program's resources.
    const QString folder = Env.PathOf(QStringLiteral("page"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const char* name : {"absolute.png", "url.png", "relative.png", "cell.png", "body.png", "styled.png"})
        ASSERT_TRUE(picture.save(folder + QLatin1Char('/') + QLatin1String(name)));
    for (const char* name : {"style.css", "imported.css"}) {
        QFile sheet(folder + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
        sheet.write("p { font-size: 40px }");
    }
    const QString workingFolder = QDir::currentPath();
    QDir::setCurrent(folder);
    TOpenProbe probe(folder);
    ASSERT_TRUE(probe.IsWatching());
    auto form = Check(QStringLiteral("hostile") + folder);
    form->resize(800, 600);
    form->show();
    form->WebBrowser1->grab(); // lays the page out and paints it
    QDir::setCurrent(workingFolder);

    EXPECT_EQ(form->LVersion2->text(), QStringLiteral("3.15"));
    EXPECT_TRUE(form->WebBrowser1->toPlainText().contains(QStringLiteral("styled")));
    EXPECT_EQ(probe.Opened(), QStringList());
    // Nothing is left that a later layout could load.
    const QTextDocument* shown = form->WebBrowser1->document();
    for (QTextBlock block = shown->begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            EXPECT_FALSE(it.fragment().charFormat().isImageFormat()) << it.fragment().text().toStdString();
}

TEST_F(AboutUpdateTest, ARequestThatHangsEndsByTimeOutCloseOrReloadWithoutALateAnswer)
{
    const auto requestsFor = [this] { return Server.Requests().filter(QStringLiteral("/hang/")).size(); };
    {
        // Time-out: one error.
        const TScopedEndpoint endpoint(Server.Site(QStringLiteral("hang")), 700);
        TFormUpdate form;
        EXPECT_TRUE(WaitUntil([&] { return requestsFor() == 1; }));
        // A reload cancels the request running and starts one more.
        QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        EXPECT_TRUE(WaitUntil([&] { return requestsFor() == 2; }));
        EXPECT_TRUE(WaitUntil([&] { return !form.IsLoading(); }));
        QTest::qWait(300);
        ASSERT_EQ(Env.Prompt.Errors.size(), 1);
        EXPECT_TRUE(Env.Prompt.Errors[0].contains(LangFmt("UpdatePageTimeout", {QStringLiteral("1")})));
    }
    // Closed while the request hangs: no answer and no error afterwards.
    Env.Prompt.Errors.clear();
    auto window = OpenWindowAt(Env.Folder());
    const int modals = Env.Prompt.Modals;
    const TScopedEndpoint endpoint(Server.Site(QStringLiteral("hang")), 700);
    Env.Prompt.OnModal = [&](QDialog& dialog) {
        EXPECT_TRUE(WaitUntil([&] { return requestsFor() == 3; }));
        auto& form = dynamic_cast<TFormUpdate&>(dialog);
        EXPECT_TRUE(form.IsLoading());
        form.ButClose->click();
        EXPECT_FALSE(form.IsLoading());
        return form.result();
    };
    window->Action(QStringLiteral("ActUpdate"))->trigger();
    EXPECT_EQ(Env.Prompt.Modals, modals + 1);
    QTest::qWait(1000);
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty());
}

TEST_F(AboutUpdateTest, TheAboutBoxShowsTheVersionOpensItsLinksAndMoves)
{
    auto window = OpenWindowAt(Env.Folder());
    const int modals = Env.Prompt.Modals;
    Env.Prompt.OnModal = [this](QDialog& dialog) {
        auto& info = dynamic_cast<TFormInfo&>(dialog);
        // Titled with the menu's caption "&Über Quillon...", as plain text.
        EXPECT_EQ(info.windowTitle(), QString::fromUtf8("Über Quillon"));
        EXPECT_EQ(info.labVersion->text(), QStringLiteral("Version: 3.14"));
        EXPECT_EQ(info.labVersion->textFormat(), Qt::PlainText);
        info.show();
        QTest::mouseClick(info.PaintBox2, Qt::LeftButton);
        QTest::mouseClick(info.PaintBox3, Qt::LeftButton);
        EXPECT_EQ(Opened, QList<QUrl>({QUrl(QStringLiteral("mailto:") + QLatin1String(ProgramContactAddress)),
                                       QUrl(QString::fromLatin1(ProgramWebSite))}));
        // Dragged where the window system cannot move it, it follows the pointer.
        const QPoint before = info.pos();
        QTest::mousePress(info.Image1, Qt::LeftButton, {}, QPoint(100, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(130, 140), info.Image1->mapToGlobal(QPointF(130, 140)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(info.Image1, &move);
        QTest::mouseRelease(info.Image1, Qt::LeftButton, {}, QPoint(130, 140));
        EXPECT_EQ(info.pos(), before + QPoint(30, 40));
        QTest::keyClick(&info, Qt::Key_Return);
        EXPECT_FALSE(info.isVisible());
        return info.result();
    };
    window->Action(QStringLiteral("ActInfo"))->trigger();
    EXPECT_EQ(Env.Prompt.Modals, modals + 1);

    Opened.clear();
    window->Action(QStringLiteral("ActHomepage"))->trigger();
    EXPECT_EQ(Opened, QList<QUrl>({QUrl(QString::fromLatin1(ProgramWebSite))}));
}

TEST_F(AboutUpdateTest, FilePropertiesShowTheFileInformationPage)
{
    ASSERT_TRUE(WriteMp3WithFrames(Env.PathOf(QStringLiteral("a.mp3")), {{"TIT2", Text("A")}}));
    auto window = OpenWindowAt(Env.Folder());
    window->SetInputPanelPosition(TInputPanelPos::Hidden);
    window->Action(QStringLiteral("ActFileProperties"))->trigger();
    EXPECT_EQ(window->InputPanelPosition(), TInputPanelPos::Bottom);
    EXPECT_EQ(window->PagInfos->currentWidget(), window->TabDateiinfos);
    EXPECT_EQ(window->EDateiName->text(), QStringLiteral("a.mp3"));

    window->LVFiles->selectionModel()->clearSelection();
    EXPECT_FALSE(window->Action(QStringLiteral("ActFileProperties"))->isEnabled());
    window->ActFilePropertiesExecute();
    EXPECT_EQ(Env.Prompt.Beeps, 1);
}
