// The update window against a real web server on this machine.

#include "FormUpdateTestSupport.h"
#include "HostileVersionPages.h"

#include "dialogs/FormUpdate.h"

#include "localisation/MultiLanguage.h"
#include "platform/Opener.h"

#include "support/QtPrinters.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QTextBlock>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QScreen>
#include <QTextTable>

#include <sys/inotify.h>
#include <unistd.h>

#include <map>
#include <utility>

namespace {

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

// What a tool tip shows of its text: Qt shows a text that looks like rich
// text as a document (read here without loading anything it names).
QString ShownToolTip()
{
    const QString tip = QToolTip::text();
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}

// The window Qt shows a tool tip in.
const QWidget* ToolTipWindow()
{
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->windowType() == Qt::ToolTip && window->isVisible())
            return window;
    return nullptr;
}

// Rests the mouse at the start of every line of the view's document; the
// tips shown on the way, in order, each once, and the widest tip window.
std::pair<QStringList, int> HoverEveryLine(QTextBrowser& view)
{
    QStringList shown;
    int widest = 0;
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next()) {
        const QPoint at = view.cursorRect(QTextCursor(block)).center() + QPoint(2, 0);
        QHelpEvent hover(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &hover);
        if (QToolTip::isVisible() && !shown.contains(ShownToolTip()))
            shown << ShownToolTip();
        if (const QWidget* window = ToolTipWindow())
            widest = std::max(widest, window->width());
    }
    QToolTip::hideText();
    return {shown, widest};
}

}

TEST_F(AboutUpdateTest, TheVersionPageTellsWhetherANewerVersionExistsOrEndsInOneError)
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

    // Pages without a usable version, and pages nested too deeply to be
    // shown (they would freeze or crash the program), end in one error each
    // that names the reason.
    const QString failure = Lang("ErrorLoadUpdateInfo");
    const QString noVersion = Lang("UpdatePageNoVersion");
    const std::pair<const char*, QString> failures[] = {
        {"letter", noVersion},
        {"long", noVersion},
        {"missing", QString()}, // the network's own words
        {"big", LangFmt("UpdatePageTooLarge", {QStringLiteral("1024")})},
        {"deep", LangFmt("UpdatePageTooDeep", {QStringLiteral("32")})},
        {"stacked", LangFmt("UpdatePageTablesTooDeep", {QStringLiteral("4")})},
    };
    for (const auto& [part, reason] : failures) {
        Env.Prompt.Errors.clear();
        auto form = Check(QString::fromLatin1(part));
        EXPECT_TRUE(WaitUntilNoRequestIsLeft(*form));
        ASSERT_EQ(Env.Prompt.Errors.size(), 1) << part;
        EXPECT_TRUE(Env.Prompt.Errors[0].startsWith(failure)) << part;
        EXPECT_TRUE(Env.Prompt.Errors[0].endsWith(reason)) << part;
        // The labels keep what they showed.
        EXPECT_EQ(form->LVersion2->text(), QStringLiteral("?"));
        EXPECT_EQ(form->LInfo->text(), Lang("StillNoInfo"));
    }
}

TEST_F(AboutUpdateTest, PagesAskingQtForTooMuchAreRefusedAndLeaveNothingOfAnEarlierPageShown)
{
    const QString folder = Env.PathOf(QStringLiteral("site"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto serve = [&](const QString& html) {
        QFile page(folder + QStringLiteral("/version.htm"));
        ASSERT_TRUE(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
        page.write(html.toUtf8());
    };
    const auto reason = [](const char* key, int limit) { return LangFmt(key, {QString::number(limit)}); };
    const std::map<THtmlExcess, QString> reasons = {
        {THtmlExcess::Nesting, reason("UpdatePageTooDeep", 32)},
        {THtmlExcess::Elements, reason("UpdatePageTooManyElements", 4000)},
        {THtmlExcess::ListItems, reason("UpdatePageTooManyListItems", 1000)},
        {THtmlExcess::TableCells, reason("UpdatePageTooManyTableCells", 2000)},
        {THtmlExcess::StyleCharacters, reason("UpdatePageStyleTooLarge", 64 * 1024)},
        {THtmlExcess::StyleWork, reason("UpdatePageTooMuchStyle", 8000000)},
    };
    for (const THostileVersionPage& page : HostileVersionPages()) {
        serve(page.Html);
        Env.Prompt.Errors.clear();
        auto form = Check(QStringLiteral("file") + folder);
        if (page.Excess == THtmlExcess::None) {
            EXPECT_TRUE(Env.Prompt.Errors.isEmpty()) << page.Name;
            EXPECT_EQ(form->LVersion2->text(), QStringLiteral("3.15")) << page.Name;
            // Spans are cut: the tables hold no more cells than allowed.
            for (const QTextFrame* frame : form->WebBrowser1->document()->rootFrame()->childFrames()) {
                if (const auto* table = qobject_cast<const QTextTable*>(frame)) {
                    EXPECT_LE(table->rows() * table->columns(), 2000) << page.Name;
                }
            }
            continue;
        }
        ASSERT_EQ(Env.Prompt.Errors.size(), 1) << page.Name;
        EXPECT_TRUE(Env.Prompt.Errors[0].endsWith(reasons.at(page.Excess))) << page.Name;
        EXPECT_EQ(form->LVersion2->text(), QStringLiteral("?")) << page.Name;
    }

    // A good page, then a refused one on reloading: neither the earlier page
    // nor its version stays, as if the refused page had replaced them. A good
    // page is shown again.
    serve(VersionPage(QStringLiteral("all is well")));
    Env.Prompt.Errors.clear();
    auto form = Check(QStringLiteral("file") + folder);
    ASSERT_EQ(form->LInfo->text(), Lang("NewerVersionAvailable"));
    ASSERT_TRUE(form->WebBrowser1->toPlainText().contains(QStringLiteral("all is well")));
    serve(HostileVersionPages()[3].Html);
    form->Reload();
    EXPECT_TRUE(WaitUntil([&] { return !form->IsLoading(); }));
    ASSERT_EQ(Env.Prompt.Errors.size(), 1);
    EXPECT_EQ(form->LVersion2->text(), QStringLiteral("?"));
    EXPECT_EQ(form->LInfo->text(), Lang("StillNoInfo"));
    EXPECT_EQ(form->WebBrowser1->toPlainText(), QString());
    serve(VersionPage(QStringLiteral("well again")));
    form->Reload();
    EXPECT_TRUE(WaitUntil([&] { return !form->IsLoading(); }));
    EXPECT_EQ(Env.Prompt.Errors.size(), 1);
    EXPECT_EQ(form->LInfo->text(), Lang("NewerVersionAvailable"));
    EXPECT_TRUE(form->WebBrowser1->toPlainText().contains(QStringLiteral("well again")));
}

TEST_F(AboutUpdateTest, TheShownPageLoadsNothingFurtherAndOpensOnlyTheProgramsOwnLinks)
{
    auto form = Check(QStringLiteral("rich"));
    EXPECT_EQ(form->LVersion2->text(), QStringLiteral("3.15"));
    EXPECT_TRUE(WaitUntilNoRequestIsLeft(*form)); // nothing the page might still fetch
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
    for (const char* name : {"absolute.png", "url.png", "relative.png", "cell.png", "body.png", "styled.png", "tip.png",
                             "tipcell.png", "celltip.png"})
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

    // The titles of a paragraph and of an empty cell name pictures too; the
    // mouse rests on every line of the page, and each tip shows its title's
    // characters as they are, a long one cut short and broken into lines
    // that fit the screen, a word without blanks too.
    const auto [shownTips, widestTip] = HoverEveryLine(*form->WebBrowser1);
    EXPECT_EQ(probe.Opened(), QStringList());
    QStringList unbroken = shownTips;
    unbroken.replaceInStrings(QStringLiteral("\n"), QString());
    EXPECT_EQ(unbroken, QStringList({"<img src='" + folder + "/tip.png'><table background='" + folder
                                         + "/tipcell.png'><tr><td>x</td></tr></table>",
                                     "<img src='file://" + folder + "/celltip.png'>",
                                     QStringLiteral("long ").repeated(200) + QChar(0x2026),
                                     QStringLiteral("W").repeated(990)}));
    const int screenWidth = form->screen()->availableGeometry().width();
    const QFontMetrics tipFont(QToolTip::font());
    for (const QString& tip : shownTips)
        for (const QString& line : tip.split(u'\n'))
            EXPECT_LE(tipFont.horizontalAdvance(line), screenWidth / 2) << line.toStdString();
    EXPECT_GT(shownTips.last().count(u'\n'), 3);
    EXPECT_GT(widestTip, 0);
    EXPECT_LE(widestTip, screenWidth);

    // Nothing is left that a later layout could load.
    const QTextDocument* shown = form->WebBrowser1->document();
    for (QTextBlock block = shown->begin(); block.isValid(); block = block.next())
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
            EXPECT_FALSE(it.fragment().charFormat().isImageFormat()) << it.fragment().text().toStdString();
}

