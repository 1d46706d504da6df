#include "MainWindowTestSupport.h"

#include "controls/MenuBar.h"
#include "mainwindow/ActionTable.h"
#include "mainwindow/FQuillon.h"
#include "mainwindow/FormMenu.h"
#include "mainwindow/FormStart.h"
#include "mainwindow/Guarded.h"
#include "mainwindow/common/ColumnCatalogue.h"
#include "mainwindow/common/ToolbarButtons.h"

#include "localisation/MultiLanguage.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPointer>
#include <QTest>

#include <stdexcept>

#include <gtest/gtest.h>

namespace {

class MainWindowStartTest : public ::testing::Test {
protected:
    TMainWindowEnvironment Env;
};

// Restores the working folder when the test ends.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const QString& folder) : m_previous(QDir::currentPath()) { QDir::setCurrent(folder); }
    ~TCurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

}

TEST_F(MainWindowStartTest, FirstStartShowsTheDefaultsAndAsksForTheLanguage)
{
    TFQuillon window({});
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillon 3.14"));
    EXPECT_EQ(window.GetToolbarCodes(), DefaultToolbar());

    TStringArray codes;
    TWordArray widths;
    window.GetColumns(codes, widths);
    EXPECT_EQ(codes, DefaultColumns());
    ASSERT_EQ(widths.size(), codes.size());
    for (qsizetype i = 0; i < codes.size(); ++i)
        EXPECT_EQ(widths[i], FindColumn(codes[i])->DefaultWidth) << codes[i].toStdString();

    const TEingabeSeiten& defaults = DefaultInputPages();
    ASSERT_EQ(window.InputPages().Count(), defaults.Count());
    for (int i = 0; i < defaults.Count(); ++i) {
        EXPECT_EQ(window.InputPages().Items(i).Title, defaults.Items(i).Title);
        EXPECT_EQ(window.InputPages().Items(i).FrameIDs, defaults.Items(i).FrameIDs);
    }
    EXPECT_EQ(window.FileNamePresets().Count(), FileNamePresetDefaultCount);
    EXPECT_EQ(window.Settings(), TEinstellungen());
    EXPECT_EQ(window.SortColumn(), 0);
    EXPECT_EQ(window.SortDirection(), 1);
    // No language is stored: the selector was offered (and cancelled here).
    EXPECT_EQ(Env.Prompt.Modals, 1);
    EXPECT_EQ(window.StatusText(), Lang("StatusBarSelNothing"));
    EXPECT_EQ(window.StatusIcon(), 0);
}

TEST_F(MainWindowStartTest, EveryActionIsInTheMenusUnderItsOwnName)
{
    TFQuillon window({});
    for (const TActionDef& def : MainWindowActions)
        EXPECT_NE(window.Action(QString::fromLatin1(def.Name)), nullptr) << def.Name;

    QMenu* mainMenu = window.FormMenu()->MainMenu();
    QStringList titles;
    for (QAction* item : mainMenu->actions())
        titles << item->objectName();
    EXPECT_EQ(titles, QStringList({"ActMenuFile", "ActMenuEdit", "ActMenuExtras", "ActMenuView", "ActFavorites",
                                   "ActMenuHelp"}));
    QStringList file;
    for (QAction* item : window.Action(QStringLiteral("ActMenuFile"))->menu()->actions())
        file << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
    EXPECT_EQ(file, QStringList({"ActRenameFile", "-", "ActCopyFileTo", "ActMoveFileTo", "ActDeleteFile", "-",
                                 "ActExport", "-", "ActEinstellungen", "-", "ActBeenden"}));
    // Every tool-bar row names an existing action and pop-up.
    for (const TSymbolleistenButton& row : ToolbarButtons) {
        EXPECT_NE(window.Action(QString::fromLatin1(row.ActionName)), nullptr) << row.ActionName;
        if (*row.PopupName) {
            EXPECT_NE(window.PopupMenu(QString::fromLatin1(row.PopupName)), nullptr) << row.PopupName;
        }
    }

    // Captions are translated; commands of later parts exist but are disabled.
    EXPECT_EQ(window.Action(QStringLiteral("ActBeenden"))->text(), Lang("Exit"));
    EXPECT_TRUE(window.Action(QStringLiteral("ActBeenden"))->isEnabled());
    EXPECT_TRUE(window.Action(QStringLiteral("ActUnterordner"))->isEnabled());
    EXPECT_FALSE(window.Action(QStringLiteral("ActRenameFile"))->isEnabled());

    window.FormShow();
    EXPECT_EQ(window.MenuBar1->ButtonCount(), 6);
}

TEST_F(MainWindowStartTest, CommandLinePathsSelectTheirFilesAfterTheFirstLoad)
{
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("album/") + QLatin1String(name)), {{"TIT2", name}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("other/x.mp3")), {}));
    const TCurrentFolder current(Env.Folder());

    // Relative paths name files of the working folder; the first one's folder
    // is the start folder.
    TFQuillon window({QStringLiteral("album/c.mp3"), QStringLiteral("./album/../album/a.mp3"),
                      QStringLiteral("other/x.mp3")});
    window.FormShow();
    EXPECT_EQ(window.CurrentFolder(), Env.Folder() + QStringLiteral("/album/"));
    ASSERT_EQ(window.Entries().size(), 3u);
    EXPECT_TRUE(window.Entries()[0]->Edited);
    EXPECT_FALSE(window.Entries()[1]->Edited);
    EXPECT_TRUE(window.Entries()[2]->Edited);
    EXPECT_EQ(window.FirstEditedIndex(), 0);
    EXPECT_EQ(window.EditedCount(), 2);
    EXPECT_EQ(window.StatusText(), LangFmt("StatusBarSelMulti", {QStringLiteral("2")}));
    EXPECT_FALSE(window.StatusText().contains(QLatin1Char('%')));
    EXPECT_EQ(window.StatusIcon(), 2);

    // The paths are taken by the first load only.
    window.LoadFolder(window.CurrentFolder(), false);
    EXPECT_EQ(window.EditedCount(), 1);
}

TEST_F(MainWindowStartTest, AFolderOnTheCommandLineIsOpened)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("album/a.mp3")), {}));
    const TCurrentFolder current(Env.Folder());
    TFQuillon window({QStringLiteral("album/")});
    window.FormShow();
    EXPECT_EQ(window.CurrentFolder(), Env.Folder() + QStringLiteral("/album/"));
    EXPECT_EQ(window.Entries().size(), 1u);
}

TEST_F(MainWindowStartTest, WithoutPathsTheFirstRowIsSelectedAndAnEmptyFolderSelectsNothing)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("full/b.mp3")), {}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("full/a.mp3")), {}));
    QDir().mkpath(Env.PathOf(QStringLiteral("empty")));

    TFQuillon window({});
    window.SetTreePath(Env.PathOf(QStringLiteral("full")));
    window.FormShow();
    ASSERT_EQ(window.Entries().size(), 2u);
    EXPECT_EQ(window.Entries()[0]->FileName, QStringLiteral("a.mp3"));
    EXPECT_TRUE(window.Entries()[0]->Edited);
    EXPECT_EQ(window.EditedCount(), 1);
    EXPECT_EQ(window.StatusText(), Lang("StatusBarSelOne"));

    // The tree's change loads once the tree has finished its own handling.
    window.SetTreePath(Env.PathOf(QStringLiteral("empty")));
    EXPECT_EQ(window.Entries().size(), 2u);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.TreePath(), Env.PathOf(QStringLiteral("empty")));
    EXPECT_TRUE(window.Entries().empty());
    EXPECT_EQ(window.EditedCount(), 0);
    EXPECT_EQ(window.StatusText(), Lang("StatusBarSelNothing"));
}

TEST_F(MainWindowStartTest, TheStartScreenClosesItselfAndHandlersKeepTheirExceptions)
{
    QPointer<TFormStart> start = new TFormStart;
    EXPECT_EQ(start->Timer1.interval(), TFormStart::ShowMs);
    EXPECT_FALSE(start->Timer1.isActive());
    start->Timer1.setInterval(1);
    start->show();
    EXPECT_TRUE(start->Timer1.isActive());
    for (int i = 0; i < 200 && start; ++i) {
        QTest::qWait(5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(start.isNull());

    RunGuarded(nullptr, [] { throw std::runtime_error("Can not get frame content as text."); });
    EXPECT_EQ(Env.Prompt.Errors, QStringList({"Can not get frame content as text."}));
}
