#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"

#include "mainwindow/FileListModel.h"
#include "common/ColumnCatalogue.h"
#include "common/SettingsStore.h"

#include "localisation/MultiLanguage.h"
#include "mainwindow/StatusPanel.h"
#include "platform/FileLayer.h"
#include "platform/Registry.h"

#include <QLabel>
#include <QSet>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <cerrno>

namespace {

class FolderLoadTest : public ::testing::Test {
protected:
    // A window whose first load shows folder (relative to the test folder).
    std::unique_ptr<TFQuillon> OpenAt(const QString& folder) { return OpenWindowAt(Env.PathOf(folder)); }

    static QString Cell(TFQuillon& window, size_t row, const char* column)
    {
        return window.GetCellText(*window.Entries().at(row), FindColumnIndex(QString::fromLatin1(column)));
    }

    void WriteNumbered(const QString& folder, int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(WriteTaggedMp3(Env.PathOf(QStringLiteral("%1/%2.mp3").arg(folder).arg(i, 3, 10, QLatin1Char('0'))),
                                       {{"TIT2", QString::number(i)}}));
    }

    TMainWindowEnvironment Env;
};

}

TEST_F(FolderLoadTest, ListsEveryFileWithAndWithoutSubfolders)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("top/b.mp3"), {{"TIT2", "Beta"}, {"TPE1", "Band"}, {"TRCK", "2/9"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("top/a.mp3"), {{"TIT2", "Alpha"}, {"TPE1", "Band"}, {"TRCK", "1/9"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("top/sub/c.mp3"), {{"TIT2", "Gamma"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("top/sub/deeper/D.MP3"), {{"TIT2", "Delta"}}));
    ASSERT_TRUE(QFile(Env.PathOf("top/empty.mp3")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(Env.PathOf("top/notes.txt")).open(QIODevice::WriteOnly));

    auto window = OpenAt("top");
    EXPECT_EQ(ListedNames(*window), QStringList({"a.mp3", "b.mp3", "empty.mp3"}));
    EXPECT_EQ(Cell(*window, 1, "TIT2") + Cell(*window, 1, "TRCK"), QStringLiteral("Beta2/9"));
    EXPECT_FALSE(Cell(*window, 0, "*LEN").isEmpty());

    window->Action(QStringLiteral("ActUnterordner"))->trigger();
    EXPECT_FALSE(window->labMitUnterordnern->isHidden());
    EXPECT_EQ(ListedNames(*window), QStringList({"a.mp3", "b.mp3", "c.mp3", "D.MP3", "empty.mp3"}));
    EXPECT_EQ(Cell(*window, 3, "*DIR"), Env.PathOf("top/sub/deeper") + QLatin1Char('/'));
    EXPECT_EQ(Cell(*window, 3, "TIT2"), QStringLiteral("Delta"));
    EXPECT_EQ(window->FindEntryByPath(Env.PathOf("top/sub/c.mp3")), window->Entries()[2].get());
    EXPECT_EQ(window->FindEntryByPath(Env.PathOf("top/sub/C.mp3")), nullptr);
}

TEST_F(FolderLoadTest, AbortKeepsWhatWasReadSorted)
{
    WriteNumbered("many", 40);
    auto window = OpenAt("many");
    AfterEventRounds(15, [&] {
        EXPECT_TRUE(window->ButSucheAbbrechen->isEnabled());
        // Nothing that changes entries may run meanwhile (renaming was enabled
        // with a file selected before); navigation may.
        EXPECT_FALSE(window->Action(QStringLiteral("ActRenameFile"))->isEnabled());
        EXPECT_FALSE(window->Action(QStringLiteral("ActFilenameFromID3"))->isEnabled());
        EXPECT_FALSE(window->PagInfos->isEnabled() && window->PageInputs().front()->isEnabled());
        EXPECT_TRUE(window->Action(QStringLiteral("ActAktuallisieren"))->isEnabled());
        window->ButSucheAbbrechenClick();
    });
    window->LoadFolder(Env.PathOf("many"), false);
    const size_t read = window->Entries().size();
    EXPECT_GT(read, 0u);
    EXPECT_LT(read, 40u);
    EXPECT_FALSE(window->labAbgebrochen->isHidden());
    EXPECT_FALSE(window->ButSucheAbbrechen->isEnabled());
    for (size_t i = 1; i < read; ++i)
        EXPECT_LT(window->Entries()[i - 1]->FileName, window->Entries()[i]->FileName);

    window->LoadFolder(Env.PathOf("many"), false);
    EXPECT_EQ(window->Entries().size(), 40u);
    EXPECT_TRUE(window->labAbgebrochen->isHidden());
    EXPECT_TRUE(window->Action(QStringLiteral("ActRenameFile"))->isEnabled());
}

TEST_F(FolderLoadTest, ALoadRequestedDuringALoadRunsNextButACloseWinsOverIt)
{
    WriteNumbered("first", 30);
    WriteNumbered("second", 3);
    auto window = OpenAt("first");
    bool reentered = false;
    AfterEventRounds(12, [&] {
        window->SetTreePath(Env.PathOf("second")); // the tree's change asks for a load
        reentered = window->IsLoading();
    });
    window->LoadFolder(Env.PathOf("first"), false);
    EXPECT_TRUE(reentered);
    EXPECT_EQ(window->Entries().size(), 3u);
    window.reset();
    TSettingsStore::Reset(); // what the close below stores is its own

    // A close is deferred likewise, and wins over a pending load.
    {
        auto window = OpenAt("first");
        window->show();
        bool stillOpen = false;
        // A load and a close are asked for before the load notices either.
        AfterEventRounds(10, [&] {
            window->SetTreePath(Env.PathOf("second"));
            window->close();
            stillOpen = window->isVisible();
        });
        window->LoadFolder(Env.PathOf("first"), false);
        EXPECT_TRUE(stillOpen);
        EXPECT_FALSE(window->isVisible());
        // The load stopped and was not followed by the pending one.
        EXPECT_EQ(window->CurrentFolder(), Env.PathOf("first") + QLatin1Char('/'));
        EXPECT_LT(window->Entries().size(), 30u);
    }
    // The settings were still written when the window went.
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Software\\Orvane\\Quillon\\3"), false));
    EXPECT_EQ(reg.ReadString(QStringLiteral("FirstDir")), Env.PathOf("second"));
    EXPECT_TRUE(reg.ValueExists(QStringLiteral("Cols")));
}

TEST_F(FolderLoadTest, KeepModeReusesUnchangedEntriesAndReadsChangedOnes)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("keep/a.mp3"), {{"TIT2", "Alpha"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("keep/b.mp3"), {{"TIT2", "Beta"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("keep/c.mp3"), {{"TIT2", "Gamma"}}));
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        ASSERT_TRUE(SetModifiedNs(Env.PathOf(QStringLiteral("keep/") + QLatin1String(name)), 1000000LL * 1000000000));
    auto window = OpenAt("keep");
    ASSERT_EQ(window->Entries().size(), 3u);
    const TEintragdaten* alpha = window->Entries()[0].get();
    const TEintragdaten* beta = window->Entries()[1].get();
    // The user selects b.
    SelectListRows(*window, {1});
    QItemSelectionModel* selection = window->LVFiles->selectionModel();
    EXPECT_EQ(window->FirstEditedIndex(), 1);

    // b is replaced by a file of the same size, c vanishes, d appears.
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("keep/b.mp3"), {{"TIT2", "Bxta"}}));
    ASSERT_TRUE(SetModifiedNs(Env.PathOf("keep/b.mp3"), 1000100LL * 1000000000));
    ASSERT_TRUE(QFile::remove(Env.PathOf("keep/c.mp3")));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("keep/d.mp3"), {{"TIT2", "Delta"}}));

    window->ReloadFolder(true);
    ASSERT_EQ(ListedNames(*window), QStringList({"a.mp3", "b.mp3", "d.mp3"}));
    EXPECT_EQ(window->Entries()[0].get(), alpha);
    EXPECT_EQ(window->Entries()[1].get(), beta);
    EXPECT_EQ(Cell(*window, 1, "TIT2"), QStringLiteral("Bxta"));
    EXPECT_EQ(window->EditedCount(), 1);
    EXPECT_TRUE(selection->isRowSelected(1, QModelIndex()));
}

TEST_F(FolderLoadTest, KeepModeKeepsAnUnchangedFilesDataAndTheTopRow)
{
    WriteNumbered("keep", 60);
    const QString changed = Env.PathOf("keep/005.mp3");
    ASSERT_TRUE(SetModifiedNs(changed, 1000000LL * 1000000000));
    auto window = OpenAt("keep");
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->LVFiles->scrollTo(window->LVFiles->model()->index(30, 0), QAbstractItemView::PositionAtTop);
    ASSERT_EQ(window->LVFiles->TopRow(), 30);
    window->LVFiles->clearSelection();
    ASSERT_EQ(window->EditedCount(), 0);

    // Rewritten in place by another program: same size, same time.
    ASSERT_TRUE(WriteTaggedMp3(changed, {{"TIT2", "X"}}));
    ASSERT_TRUE(SetModifiedNs(changed, 1000000LL * 1000000000));
    window->ReloadFolder(true);
    EXPECT_EQ(Cell(*window, 5, "TIT2"), QStringLiteral("5")) << "the entry kept what was read before";
    EXPECT_EQ(window->LVFiles->TopRow(), 30);
    // Nothing was selected and nothing is: the first row only without keep.
    EXPECT_EQ(window->EditedCount(), 0);
    EXPECT_FALSE(window->LVFiles->selectionModel()->hasSelection());

    window->ReloadFolder(false);
    EXPECT_EQ(Cell(*window, 5, "TIT2"), QStringLiteral("X"));
    EXPECT_TRUE(window->Entries()[0]->Edited);
}

TEST_F(FolderLoadTest, TheStatusAndTitleBarsTellWhatIsShownAndDone)
{
    WriteNumbered("bars", 12);
    auto window = OpenAt("bars");
    EXPECT_EQ(window->labDir->text(), QStringLiteral(" \"") + Env.PathOf("bars") + QStringLiteral("\" "));
    EXPECT_EQ(window->StatusPanel1->text(), QStringLiteral("12"));

    // While a load runs, the status tells its phase with the load's picture.
    QSet<QString> seen;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (window->IsLoading() && window->StatusIcon() == 3)
            seen << window->StatusPanel0->Text();
    });
    sample.start(0);
    window->ActUnterordnerExecute();
    sample.stop();
    EXPECT_TRUE(seen.contains(Lang("StatusBarReading")));
    EXPECT_TRUE(seen.contains(Lang("StatusBarSearching")));
    window->LVFiles->selectAll();
    EXPECT_EQ(window->StatusPanel0->Text(), LangFmt("StatusBarSelMulti", {QStringLiteral("12")}));

    // A command's hint takes the left part only: the count and the progress stay.
    window->resize(900, 600);
    window->show();
    QCoreApplication::processEvents();
    const QRect count = window->StatusPanel1->geometry();
    const QRect loading = window->PanLaden->geometry();
    window->StatusBar1->showMessage(QStringLiteral("A command's hint"));
    QCoreApplication::processEvents();
    EXPECT_EQ(window->StatusPanel1->geometry(), count);
    EXPECT_EQ(window->PanLaden->geometry(), loading);
}

TEST_F(FolderLoadTest, AFolderThatCannotBeReadIsToldNotShownEmpty)
{
    QDir().mkpath(Env.PathOf("gone"));
    auto window = OpenAt("gone");
    EXPECT_TRUE(window->Entries().empty());
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty()) << "an empty folder is no error";

    // The folder vanished while it was shown, then it is refreshed.
    ASSERT_TRUE(QDir(Env.PathOf("gone")).removeRecursively());
    window->LoadFolder(Env.PathOf("gone"), false);
    EXPECT_TRUE(window->Entries().empty());
    const QString folder = QStringLiteral("\n\r") + Env.PathOf("gone") + " (" + SystemErrorText(ENOENT) + ')';
    EXPECT_EQ(Env.Prompt.Errors, QStringList({LangFmt("ErrorReadingFolder", {folder})}));
}

TEST_F(FolderLoadTest, HeaderClicksSortAndReverseKeepingTheFocusedFile)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("sort/1.mp3"), {{"TRCK", "10"}, {"TIT2", "c"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("sort/2.mp3"), {{"TRCK", "9"}, {"TIT2", "a"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("sort/3.mp3"), {{"TRCK", ""}, {"TIT2", "b"}}));
    auto window = OpenAt("sort");
    window->SortByColumn(FindColumnIndex(QStringLiteral("TRCK")));
    EXPECT_EQ(ListedNames(*window), QStringList({"3.mp3", "2.mp3", "1.mp3"}));
    // 1.mp3 was row 0 before, selected and focused; it still is afterwards.
    EXPECT_EQ(window->LVFiles->currentIndex().row(), 2);
    EXPECT_TRUE(window->Entries()[2]->Edited);
    window->SortByColumn(FindColumnIndex(QStringLiteral("TRCK")));
    EXPECT_EQ(ListedNames(*window), QStringList({"1.mp3", "2.mp3", "3.mp3"}));
    EXPECT_EQ(window->LVFiles->currentIndex().row(), 0);

    // Type-ahead looks at the first shown column (the file name).
    EXPECT_EQ(window->FindRowByPrefix(QStringLiteral("3"), 0, false), 2);
    EXPECT_EQ(window->FindRowByPrefix(QStringLiteral("1.M"), 1, true), 0);
}
