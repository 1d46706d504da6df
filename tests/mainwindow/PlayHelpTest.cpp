#include "FileOpsTestSupport.h"

#include "dialogs/FormExport.h"
#include "dialogs/FormTrackNr.h"
#include "mainwindow/TmpFileDeleter.h"
#include "platform/ProgramVersion.h"

#include "localisation/LanguageLoader.h"
#include "localisation/MultiLanguage.h"
#include "platform/Opener.h"
#include "support/FakeOpenerProgram.h"
#include "support/gui/SingleClickStyle.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class PlayHelpTest : public ::testing::Test, protected TWindowFixture {
protected:
    QList<QUrl> Opened;
    TScopedOpener Opener{[this](const QUrl& url, const TOpenFailed&) { Opened << url; }};

    void SetUp() override
    {
        for (const char* name : {"01 one.mp3", "02 two #2.mp3", "03 three.mp3"})
            MakeFile(Folder("music") + "/" + name, name);
        Open(Folder("music"));
    }

    QString Music(const QString& name) const { return Env.Folder() + "/music/" + name; }
};

}

TEST_F(PlayHelpTest, OneFileOpensItselfSeveralAPrivatePlaylistRemovedWithTheWindow)
{
    Select({"02 two #2.mp3"});
    Trigger("ActPlay");
    ASSERT_EQ(Opened.size(), 1);
    EXPECT_EQ(Opened[0].toLocalFile(), Music("02 two #2.mp3"));

    Select({"01 one.mp3", "02 two #2.mp3", "03 three.mp3"});
    Trigger("ActPlay");
    Trigger("ActPlay");
    ASSERT_EQ(Opened.size(), 3);
    const QString playlist = Opened[1].toLocalFile();
    EXPECT_EQ(Opened[2], Opened[1]);
    const QString folder = QFileInfo(playlist).path();
    EXPECT_NE(folder, QDir::tempPath()); // no fixed name in the shared folder
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(Bytes(playlist),
              QFile::encodeName(Music("01 one.mp3") + "\n" + Music("02 two #2.mp3") + "\n" + Music("03 three.mp3") + "\n"));

    Window.reset();
    EXPECT_FALSE(QFileInfo::exists(playlist));
    EXPECT_FALSE(QFileInfo::exists(folder));
}

TEST_F(PlayHelpTest, ANameWithALineBreakStaysOneEntryOfThePlaylist)
{
    // Written as a file address, which players take in a playlist: as a
    // path it would be two lines naming files that do not exist.
    const QString broken = QStringLiteral("04 new\nline.mp3");
    MakeFile(Music(broken), "broken");
    Trigger("ActAktuallisieren");
    Select({"01 one.mp3", broken});
    Trigger("ActPlay");
    ASSERT_EQ(Opened.size(), 1);
    const QList<QByteArray> lines = Bytes(Opened[0].toLocalFile()).split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(QUrl::fromEncoded(lines[1]).toLocalFile(), Music(broken));
}

TEST_F(PlayHelpTest, APlaylistThatCannotBeWrittenPlaysTheFirstFile)
{
    // A folder holds the playlist's name.
    const QString folder = Window->TmpFileDeleter().PrivateFolder();
    ASSERT_TRUE(QDir().mkpath(folder + "/qlntmpplaylist.m3u/x"));
    Select({"01 one.mp3", "03 three.mp3"});
    Trigger("ActPlay");
    EXPECT_EQ(Prompt.Errors, QStringList({Lang("ErrorCreateTmpPlayList")}));
    ASSERT_EQ(Opened.size(), 1);
    EXPECT_EQ(Opened[0].toLocalFile(), Music("01 one.mp3"));
    QDir(folder + "/qlntmpplaylist.m3u").removeRecursively();
}

TEST_F(PlayHelpTest, ASingleClickSelectsADoubleClickOrEnterPlaysWhateverTheDesktopSays)
{
    // A desktop that opens items with a single click: a click that played
    // would leave no way to select files with the mouse.
    Show();
    TMyListView* list = Window->LVFiles;
    auto* style = new TSingleClickStyle;
    style->setParent(list);
    list->setStyle(style);
    const QStringList names = ListedNames();
    const int row = int(names.indexOf(QStringLiteral("02 two #2.mp3")));
    ASSERT_GE(row, 0);
    const QPoint onRow = list->visualRect(list->model()->index(row, 0)).center();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, onRow);
    Settle();
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_EQ(Window->EditedCount(), 1);
    EXPECT_TRUE(Entry(Music("02 two #2.mp3"))->Edited);

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, onRow);
    Settle();
    ASSERT_EQ(Opened.size(), 1);
    EXPECT_EQ(Opened[0].toLocalFile(), Music("02 two #2.mp3"));

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    Settle();
    ASSERT_EQ(Opened.size(), 2);
    EXPECT_EQ(Opened[1].toLocalFile(), Music("02 two #2.mp3"));
}

TEST_F(PlayHelpTest, HelpOpensAPageOfTheLanguageInUseOrTheStartPage)
{
    LoadLanguage("ENGLISH", QString());
    Window->ShowHelp();
    Window->ShowHelp("files.htm");
    Window->ShowHelp("nothere.htm");      // no such page: the start page
    Window->ShowHelp("../../etc/passwd"); // never a path
    ASSERT_EQ(Opened.size(), 4);
    EXPECT_TRUE(Opened[0].toLocalFile().endsWith("/help-en/index.htm"));
    EXPECT_TRUE(Bytes(Opened[1].toLocalFile()).contains("Keep both"));
    EXPECT_EQ(Opened[2], Opened[0]);
    EXPECT_EQ(Opened[3], Opened[0]);
    // Its links and style sheet lie beside it.
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(Opened[1].toLocalFile()).path() + "/help.css"));

    const QString pages = QFileInfo(Opened[0].toLocalFile()).path();
    Window.reset();
    EXPECT_FALSE(QFileInfo::exists(pages));
}

TEST_F(PlayHelpTest, WhenTheDesktopOpensNothingHelpPlayAndLinksSaySo)
{
    // The desktop's opener, ending as xdg-open does without a program for
    // the address: told only after the command has returned.
    const TFakeOpenerProgram program("exit 3");
    const TScopedOpener opener(DesktopOpener(program.Path()));
    LoadLanguage("ENGLISH", QString());
    Window->ShowHelp();
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return !Prompt.Errors.isEmpty(); }, 10000));
    const QString page = QUrl::fromEncoded(program.Calls().value(0)).toLocalFile();
    EXPECT_TRUE(page.endsWith("/help-en/index.htm")) << page.toStdString();
    EXPECT_EQ(Prompt.Errors,
              QStringList({Lang("ErrorNoHelp") + '\n' + LangFmt("ErrorOpenWithDesktop", {page})}));

    Prompt.Errors.clear();
    Select({"02 two #2.mp3"});
    Trigger("ActPlay");
    ASSERT_TRUE(WaitUntil([&] { return !Prompt.Errors.isEmpty(); }, 10000));
    EXPECT_EQ(Prompt.Errors, QStringList({LangFmt("ErrorOpenWithDesktop", {Music("02 two #2.mp3")})}));

    Prompt.Errors.clear();
    Trigger("ActHomepage");
    ASSERT_TRUE(WaitUntil([&] { return !Prompt.Errors.isEmpty(); }, 10000));
    EXPECT_EQ(Prompt.Errors, QStringList({LangFmt("ErrorOpenWithDesktop", {QString::fromLatin1(ProgramWebSite)})}));
    EXPECT_EQ(program.Calls().size(), 3);
}

TEST_F(PlayHelpTest, DialogsOpenTheirOwnPagesInEitherLanguage)
{
    // A dialog's Help button opens its own page, in the language.
    const auto clickHelp = [](QDialog& dialog, const char* button) {
        auto* help = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(help, nullptr) << button;
        help->click();
    };
    for (const char* language : {"ENGLISH", "GERMAN"}) {
        LoadLanguage(language, QString());
        Opened.clear();
        TFormExport exportForm(Window.get());
        clickHelp(exportForm, "ButHelp");
        ASSERT_EQ(Opened.size(), 1) << language;
        const QString path = Opened[0].toLocalFile();
        const bool german = QLatin1String(language) == QLatin1String("GERMAN");
        EXPECT_TRUE(path.endsWith(german ? "/help-de/export.htm" : "/help-en/export.htm")) << path.toStdString();
        EXPECT_TRUE(Bytes(path).contains(german ? "lang=\"de\"" : "lang=\"en\""));
    }
    EXPECT_TRUE(Prompt.Errors.isEmpty());

    // Without the main window there is no help to show: a beep.
    Window.reset();
    Opened.clear();
    TFormTrackNr alone;
    clickHelp(alone, "Button1");
    EXPECT_TRUE(Opened.isEmpty());
    EXPECT_EQ(Prompt.Beeps, 1);
}

TEST(HelpPages, EveryLinkLeadsToAPageOfTheSameLanguage)
{
    // The built-in pages link only to each other, each language to its own,
    // and both languages have the same pages.
    const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
    QStringList languagePages[2];
    int index = 0;
    for (const char* language : {"en", "de"}) {
        const QString folder = QStringLiteral(":/Help/") + QString::fromLatin1(language);
        const QStringList pages = QDir(folder).entryList(QDir::Files, QDir::Name);
        languagePages[index++] = pages;
        EXPECT_GE(pages.size(), 8) << language;
        for (const QString& page : pages) {
            QFile file(folder + "/" + page);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            EXPECT_TRUE(text.contains(QStringLiteral("lang=\"%1\"").arg(QString::fromLatin1(language))))
                << page.toStdString();
            for (QRegularExpressionMatchIterator it = link.globalMatch(text); it.hasNext();) {
                const QString target = it.next().captured(1);
                EXPECT_TRUE(target == "help.css" ? QFile::exists(":/Help/help.css")
                                                 : QFile::exists(folder + "/" + target))
                    << language << "/" << page.toStdString() << " links to " << target.toStdString();
            }
        }
    }
    EXPECT_EQ(languagePages[0], languagePages[1]);
}

TEST_F(PlayHelpTest, SelectAllTakesTheListOrTheText)
{
    Show();
    Window->LVFiles->setFocus();
    Settle();
    Window->EditSelectAllExecute();
    EXPECT_EQ(Window->EditedCount(), 3);
    auto* edit = new QLineEdit("some text", Window->PanID3);
    edit->show();
    edit->setFocus();
    Settle();
    Window->EditSelectAllExecute();
    EXPECT_EQ(edit->selectedText(), "some text");
    Window->ShellTreeView1->setFocus();
    Settle();
    EXPECT_FALSE(Window->EditSelectAllUpdate());
    Window->EditSelectAllExecute();
    EXPECT_EQ(Prompt.Beeps, 1);
}

TEST(TmpFileDeleter, DeletesItsListedFilesOnceAndComparesPathsExactly)
{
    QTemporaryDir dir;
    const QString upper = dir.filePath("List.m3u");
    const QString lower = dir.filePath("list.m3u");
    for (const QString& path : {upper, lower})
        ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    QString privateFolder;
    {
        TTmpFileDeleter deleter;
        deleter.Add(upper);
        deleter.Add(upper);
        deleter.Add(lower); // another file on Linux
        deleter.Add(dir.filePath("gone.m3u")); // already removed: skipped
        EXPECT_EQ(deleter.Files().size(), 3);
        privateFolder = deleter.PrivateFolder();
    }
    EXPECT_FALSE(QFileInfo::exists(upper));
    EXPECT_FALSE(QFileInfo::exists(lower));
    EXPECT_FALSE(QFileInfo::exists(privateFolder));
}
