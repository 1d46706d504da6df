// Pages of the HTML export as a browser reads them: headless Chromium loads
// each page and hands back its DOM, which Python's HTML parser takes apart.
#include "ExportTestSupport.h"

#include "support/FifoWriter.h"
#include "support/QtPrinters.h"

#include "export/DataModuleExport.h"
#include "export/ExportError.h"
#include "export/ExportPaths.h"
#include "export/TemplateFiles.h"
#include "tagengine/DisplayTexts.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Elements counted by name, the rows as lists of cell texts, the links, the
// title and the whole text.
const char DomScript[] = R"PY(
import sys, json
from html.parser import HTMLParser
class P(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = {}; self.rows = []; self.links = []; self.cell = None; self.text = []
        self.attributes = set(); self.alts = []
    def handle_starttag(self, tag, attrs):
        self.tags[tag] = self.tags.get(tag, 0) + 1
        self.attributes.update(name for name, value in attrs)
        if tag == 'img': self.alts.append(dict(attrs).get('alt'))
        if tag == 'tr': self.rows.append([])
        if tag == 'td': self.cell = ''
        if tag == 'a': self.links.append(dict(attrs).get('href', ''))
    def handle_endtag(self, tag):
        if tag == 'td' and self.cell is not None and self.rows:
            self.rows[-1].append(self.cell.strip()); self.cell = None
    def handle_data(self, data):
        self.text.append(data)
        if self.cell is not None: self.cell += data
p = P(); p.feed(sys.stdin.read() if len(sys.argv) < 2 else open(sys.argv[1], encoding='utf-8').read())
print(json.dumps({'tags': p.tags, 'rows': p.rows, 'links': p.links, 'text': ''.join(p.text),
                  'attributes': sorted(p.attributes), 'alts': p.alts}))
)PY";

struct TPage {
    QJsonObject Tags;
    QList<QStringList> Rows;
    QStringList Links;
    QString Text;
    QStringList Attributes; // the names of all attributes of all elements
    QStringList Alts;       // the alternative texts of the images
};

// The page as Chromium builds it.
TPage Browse(const QString& path)
{
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    const TProgramRun browser = RunProgram(QStringLiteral("chromium"),
                                           {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                                            QStringLiteral("--disable-gpu"), QStringLiteral("--dump-dom"), url});
    EXPECT_EQ(browser.ExitCode, 0) << browser.Err.toStdString();
    EXPECT_FALSE(browser.Out.trimmed().isEmpty()) << "Chromium gave no DOM for " << path.toStdString();
    QTemporaryDir dir;
    const QString dom = dir.filePath(QStringLiteral("dom.html"));
    QFile file(dom);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(browser.Out);
    file.close();
    const TProgramRun parser = RunPython(DomScript, {dom});
    EXPECT_EQ(parser.ExitCode, 0) << parser.Err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(parser.Out).object();
    const auto texts = [](const QJsonValue& list) { return list.toVariant().toStringList(); };
    TPage page;
    page.Tags = json.value(QStringLiteral("tags")).toObject();
    for (const QJsonValue row : json.value(QStringLiteral("rows")).toArray())
        page.Rows << texts(row);
    page.Links = texts(json.value(QStringLiteral("links")));
    page.Text = json.value(QStringLiteral("text")).toString();
    page.Attributes = texts(json.value(QStringLiteral("attributes")));
    page.Alts = texts(json.value(QStringLiteral("alts")));
    return page;
}

// The local file a link of a page leads to.
QString LinkTarget(const QString& page, const QString& href)
{
    return QUrl::fromLocalFile(page).resolved(QUrl(href)).toLocalFile();
}

const QString Script = QStringLiteral("<script>document.title='pwned'</script>");
const QString ImageAttack = QStringLiteral(R"("><img src=x onerror=alert(1)>)");
const QString AttributeAttack = QStringLiteral("Five\" onmouseover=\"alert(1)\" x='");

// Files with names a link must survive, in two folders, with tags a page must
// show as text.
class HtmlExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadEnglish();
        m_music = m_root.filePath(QStringLiteral("Music Lib")) + QLatin1Char('/');
        const QString sub = m_music + QStringLiteral("Sub #1/");
        QDir().mkpath(sub);
        const struct {
            QString Folder;
            QString Name;
            QString Artist;
            QString Title;
        } files[] = {
            {m_music, QStringLiteral("a b.mp3"), QStringLiteral("Alpha"), QStringLiteral("One")},
            {m_music, QStringLiteral("c#d.mp3"), QStringLiteral("alpha"), Script},
            {m_music, QStringLiteral("50% ?.mp3"), QStringLiteral("Beta"), ImageAttack},
            {sub, QStringLiteral("quote\"s'.mp3"), QString(), QStringLiteral("Fish & Chips")},
            {sub, QStringLiteral("back\\slash.mp3"), QStringLiteral("Beta"), AttributeAttack},
            {sub, QStringLiteral("Ünïcödé жук.mp3"), QStringLiteral("Жук"), QStringLiteral("Straße")},
        };
        for (const auto& f : files) {
            QFile file(f.Folder + f.Name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            TFrameTexts frames{{QStringLiteral("TIT2"), f.Title}};
            if (!f.Artist.isEmpty())
                frames.push_back({QStringLiteral("TPE1"), f.Artist});
            m_files.push_back(MakeEntry(f.Folder, f.Name, frames, 1000));
        }
    }

    TDataModuleExport Module(const QString& output) const
    {
        TDataModuleExport module;
        module.Files = &m_files;
        module.OutputFile = output;
        return module;
    }

    // Every link of the page leads to one of the files, and each file is
    // reached by one link.
    void ExpectLinksReachTheFiles(const QString& page, const TPage& dom)
    {
        QStringList targets;
        for (const QString& href : dom.Links)
            targets << LinkTarget(page, href);
        QStringList expected;
        for (const TEintragdatenPtr& entry : m_files)
            expected << entry->FullPath();
        targets.sort();
        expected.sort();
        EXPECT_EQ(targets, expected);
        for (const QString& target : targets)
            EXPECT_TRUE(QFile::exists(target)) << target.toStdString();
    }

    QTemporaryDir m_root;
    QString m_music;
    TEintragdatenList m_files;
    TExportPrompt m_prompt;
};

}

TEST_F(HtmlExportTest, OnePageWithGroupsRowsCountsAndWorkingLinks)
{
    // Beside the music the links are relative anyway; elsewhere only when
    // asked (as the page-per-group test does).
    for (const QString& page :
         {m_music + QStringLiteral("list.htm"), m_root.filePath(QStringLiteral("pages/list.htm"))}) {
        const bool absolute = !page.startsWith(m_music);
        TDataModuleExport module = Module(page);
        ASSERT_EQ(module.ExportWithBuiltInTemplate(m_music, {QStringLiteral("*FIN"), QStringLiteral("TIT2"),
                                                             QStringLiteral("TPE1")},
                                                   {true}, QStringLiteral("TPE1"), false),
                  erDone);
        EXPECT_TRUE(ReadAll(page).startsWith("\xEF\xBB\xBF")) << "pages start with a byte-order mark";
        const TPage dom = Browse(page);
        EXPECT_FALSE(dom.Tags.contains(QStringLiteral("script"))) << "tag values stay text";
        EXPECT_FALSE(dom.Tags.contains(QStringLiteral("img")));
        EXPECT_TRUE(dom.Text.contains(Script));
        EXPECT_TRUE(dom.Text.contains(ImageAttack));
        ExpectLinksReachTheFiles(page, dom);
        for (const QString& href : dom.Links)
            EXPECT_EQ(href.startsWith(QLatin1Char('/')), absolute) << href.toStdString();

        // Groups sorted ignoring case, "Alpha" and "alpha" in one; the file
        // without artist forms its own group, first.
        QStringList headers;
        int fileRows = 0;
        for (const QStringList& row : dom.Rows) {
            if (row.size() == 2 && !row.at(0).isEmpty())
                headers << row.join(QLatin1Char(':'));
            if (row.size() == 3 && row.at(0).endsWith(QLatin1String(".mp3")))
                ++fileRows;
        }
        EXPECT_EQ(headers, (QStringList{QStringLiteral("[leer]:1"), QStringLiteral("Alpha:2"),
                                        QStringLiteral("Beta:2"), QString::fromUtf8("Жук:1")}));
        EXPECT_EQ(fileRows, 6);
    }
}

TEST_F(HtmlExportTest, PagePerGroupAndTheSavedTemplateGiveTheSamePages)
{
    const QString index = m_root.filePath(QStringLiteral("out/index.htm"));
    TDataModuleExport module = Module(index);
    module.RelativeLinks = true;
    const TStringArray columns{QStringLiteral("TIT2"), QStringLiteral("*FIN"), QStringLiteral("XXXX")};
    ASSERT_EQ(module.ExportWithBuiltInTemplate(m_music, columns, {false, true}, QStringLiteral("TPE1"), true), erDone);

    const TPage dom = Browse(index);
    // One row per group linking to its page, with its count.
    EXPECT_EQ(dom.Links, (QStringList{QStringLiteral("index-Files/1.htm"), QStringLiteral("index-Files/2.htm"),
                                   QStringLiteral("index-Files/3.htm"), QStringLiteral("index-Files/4.htm")}));
    EXPECT_EQ(dom.Rows.value(2), (QStringList{QStringLiteral("Alpha"), QStringLiteral("2")}));

    const QString second = m_root.filePath(QStringLiteral("out/index-Files/2.htm"));
    const TPage group = Browse(second);
    QStringList names;
    for (const QStringList& row : group.Rows)
        if (row.size() == 2 && row.at(1).endsWith(QLatin1String(".mp3")))
            names << row.at(1);
    EXPECT_EQ(names, (QStringList{QStringLiteral("a b.mp3"), QStringLiteral("c#d.mp3")}));
    for (const QString& href : group.Links)
        if (!href.startsWith(QLatin1String("javascript:"))) {
            EXPECT_TRUE(QFile::exists(LinkTarget(second, href))) << href.toStdString();
        }

    // The same choices saved as a template and run as an own template.
    SetTemplateFolders(QStringList{m_root.filePath(QStringLiteral("templates"))});
    TDataModuleExport saver = Module(m_root.filePath(QStringLiteral("templates/mine.htm")));
    ASSERT_EQ(saver.SaveDefaultTemplate(columns, {false, true}, QStringLiteral("TPE1"), true), erDone);
    const QString templateFile = FindTemplateFile(QStringLiteral("mine.htm"));
    ASSERT_FALSE(templateFile.isEmpty());
    const QString again = m_root.filePath(QStringLiteral("again/index.htm"));
    TDataModuleExport own = Module(again);
    own.RelativeLinks = true;
    ASSERT_EQ(own.ExportWithTemplate(m_music, ReadTemplateFile(templateFile)), erDone);
    EXPECT_EQ(ReadAll(again), ReadAll(index));
    EXPECT_EQ(ReadAll(m_root.filePath(QStringLiteral("again/index-Files/2.htm"))), ReadAll(second));
    SetTemplateFolders(std::nullopt);
}

TEST_F(HtmlExportTest, OwnTemplateInWindows1252IsReadAndShownRight)
{
    // A template written in Windows-1252 that declares so: the page is UTF-8
    // with a byte-order mark, which the browser obeys over the declaration.
    QByteArray bytes = "<html><head><meta charset=\"windows-1252\"><title>Gr\xFC\xDF" "e</title></head><body>\r\n"
                       "<#beginloop><p><#content id=\"tit2\"> <#contentall id=\"tpe1\" ifdifferent=\"<i>mixed</i>\"></p>"
                       "<img alt=\"<#content id=TIT2>\" src='<#content id=TIT2>'>"
                       "<#endloop>\r\n<p>n=<#filecount></p></body></html>";
    const QString templatePath = m_root.filePath(QStringLiteral("old.htm"));
    QFile file(templatePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const QString page = m_root.filePath(QStringLiteral("own.htm"));
    TDataModuleExport module = Module(page);
    ASSERT_EQ(module.ExportWithTemplate(m_music, ReadTemplateFile(templatePath)), erDone);
    const TPage dom = Browse(page);
    EXPECT_TRUE(dom.Text.contains(QString::fromUtf8("Grüße")));
    EXPECT_TRUE(dom.Text.contains(QString::fromUtf8("Straße")));
    EXPECT_TRUE(dom.Text.contains(QStringLiteral("n=6")));
    EXPECT_EQ(dom.Tags.value(QStringLiteral("i")).toInt(), 6) << "IFDIFFERENT stays as written";
    EXPECT_FALSE(dom.Tags.contains(QStringLiteral("script")));
    // A value inside an attribute, quoted either way, stays that attribute's
    // value.
    QStringList titles;
    for (const TEintragdatenPtr& entry : m_files)
        titles << GetColumnText(*entry, QStringLiteral("TIT2"));
    EXPECT_EQ(dom.Alts, titles);
    EXPECT_EQ(dom.Attributes, (QStringList{QStringLiteral("alt"), QStringLiteral("charset"), QStringLiteral("src")}));
}

TEST_F(HtmlExportTest, OverwriteAnswersAndFailures)
{
    const QString index = m_root.filePath(QStringLiteral("o/index.htm"));
    // A page per artist, from the built-in template.
    const auto exportPages = [&](const QString& column) {
        return Module(index).ExportWithBuiltInTemplate(m_music, {column}, {}, QStringLiteral("TPE1"), true);
    };
    ASSERT_EQ(exportPages(QStringLiteral("*FIN")), erDone);
    const QByteArray before = ReadAll(index);

    // "No" for the first page: nothing written, and no success.
    m_prompt.OnAsk = [](const QString&, TPromptButtons) { return pbNo; };
    EXPECT_EQ(exportPages(QStringLiteral("TIT2")), erCancelled);
    EXPECT_EQ(ReadAll(index), before);
    EXPECT_EQ(m_prompt.Asked.size(), 1);

    // Yes for the first page, No for the group pages: they are skipped.
    QFile::resize(index, 0);
    QFile::resize(m_root.filePath(QStringLiteral("o/index-Files/2.htm")), 0);
    int asked = 0;
    m_prompt.OnAsk = [&](const QString&, TPromptButtons buttons) {
        EXPECT_EQ(buttons, pbYes | pbNo | pbCancel | pbAll);
        return ++asked == 1 ? pbYes : pbNo;
    };
    EXPECT_EQ(exportPages(QStringLiteral("TIT2")), erDone);
    EXPECT_EQ(asked, 5);
    EXPECT_EQ(ReadAll(index), before);
    EXPECT_TRUE(ReadAll(m_root.filePath(QStringLiteral("o/index-Files/2.htm"))).isEmpty());

    // "All" asks once; "Cancel" on a group page stops with pages kept.
    asked = 0;
    m_prompt.OnAsk = [&](const QString&, TPromptButtons) { return ++asked == 1 ? pbAll : pbCancel; };
    EXPECT_EQ(exportPages(QStringLiteral("TIT2")), erDone);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(ReadAll(m_root.filePath(QStringLiteral("o/index-Files/2.htm"))).isEmpty());

    // A page that cannot be written is an error naming it.
    QFile blocker(m_root.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TDataModuleExport blocked = Module(m_root.filePath(QStringLiteral("blocked/page.htm")));
    EXPECT_THROW(blocked.ExportWithTemplate(m_music, QStringLiteral("x")), TExportError);
    TDataModuleExport bad = Module(m_root.filePath(QStringLiteral("bad.htm")));
    EXPECT_THROW(bad.ExportWithTemplate(m_music, QStringLiteral("<#x a=%zz>")), TExportError);
    EXPECT_FALSE(QFile::exists(m_root.filePath(QStringLiteral("bad.htm"))));

    // A pipe in a template's place is refused at once, not waited on (its
    // writer stands by, so that a wait would read it instead of hanging).
    const QString pipe = m_root.filePath(QStringLiteral("pipe.htm"));
    TFifoWriter writer(pipe, "<p>from the pipe</p>");
    ASSERT_TRUE(writer.Made());
    try {
        ReadTemplateFile(pipe);
        ADD_FAILURE() << "a pipe was read as a template";
    } catch (const TExportError& error) {
        EXPECT_NE(std::string(error.what()).find("not a regular file"), std::string::npos) << error.what();
    }
}
