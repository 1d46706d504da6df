// The search panel, its bold rows and the search for the next match.

#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <QThread>
#include <QTimer>

#include <optional>

namespace {

class SearchTest : public ::testing::Test, public TFilesWindowFixture {
protected:
    static QList<int> BoldRows(TFQuillon& window)
    {
        QAbstractItemModel* model = window.LVFiles->model();
        QList<int> rows;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QVariant font = model->data(model->index(row, 1), Qt::FontRole);
            if (font.isValid() && font.value<QFont>().bold())
                rows << row;
        }
        return rows;
    }

    // Sets field and text as the user would, then searches.
    static QList<int> Search(TFQuillon& window, const QString& text)
    {
        window.ESearchText->setText(text);
        window.Action(QStringLiteral("ActSearch"))->trigger();
        return SelectedListRows(window);
    }

    static void ChooseField(TFQuillon& window, const QString& id)
    {
        const int index = id.isEmpty() ? 0 : window.BoxSearchField->findData(id);
        ASSERT_GE(index, 0) << id.toStdString();
        window.BoxSearchField->setCurrentIndex(index);
    }

    TAnsweringPrompt Prompt;
};

}

TEST_F(SearchTest, RowsTurnBoldHalfASecondAfterTheLastKeyAndOnlyWhileThePanelShows)
{
    WriteTitles({QStringLiteral("Ärger im Paradies"), QStringLiteral("calm"), QStringLiteral("ärgerlich")});
    auto window = Open();

    // Typed while hidden: the search holds the text, no row is bold.
    TypeKeys(window->ESearchText, QStringLiteral("ÄRGER"));
    ASSERT_TRUE(WaitUntil([&] { return !window->TimerSearch->isActive(); }));
    EXPECT_EQ(window->SearchConfig().Text, QStringLiteral("ärger")); // lower-cased beyond ASCII
    EXPECT_TRUE(BoldRows(*window).isEmpty());

    window->ActShowSearchExecute();
    EXPECT_EQ(BoldRows(*window), QList<int>({0, 2}));

    // Each key starts the half second again: a key that comes once the half
    // second of the key before is over holds the search back. Timers fire
    // only while the event loop runs, which it does not meanwhile, and a
    // timer that is due earlier fires before one due later: a timer due
    // right before the second key fires before the search.
    window->ESearchText->clear();
    window->ApplySearch();
    EXPECT_TRUE(BoldRows(*window).isEmpty());
    EXPECT_EQ(window->TimerSearch->interval(), 500);
    TypeKeys(window->ESearchText, QStringLiteral("c"));
    while (window->TimerSearch->remainingTime() > 0)
        QThread::msleep(10);
    std::optional<QList<int>> boldBeforeTheSearch;
    QTimer dueBeforeTheSecondKey;
    dueBeforeTheSecondKey.setSingleShot(true);
    dueBeforeTheSecondKey.setTimerType(Qt::PreciseTimer);
    QObject::connect(&dueBeforeTheSecondKey, &QTimer::timeout, [&] { boldBeforeTheSearch = BoldRows(*window); });
    dueBeforeTheSecondKey.start(0);
    TypeKeys(window->ESearchText, QStringLiteral("a"));
    EXPECT_TRUE(WaitUntil([&] { return BoldRows(*window) == QList<int>({1}); }));
    EXPECT_EQ(boldBeforeTheSearch, QList<int>());

    // A chosen field limits the match; the file name counts for all fields.
    ChooseField(*window, QStringLiteral("TPE1"));
    window->ApplySearch();
    EXPECT_TRUE(BoldRows(*window).isEmpty());
    ChooseField(*window, QString());
    window->ESearchText->setText(QStringLiteral("1.MP3"));
    window->ApplySearch();
    EXPECT_EQ(BoldRows(*window), QList<int>({1}));

    window->ActShowSearchExecute(); // hides the docked panel
    EXPECT_FALSE(window->IsSearchPanelShown());
    EXPECT_TRUE(BoldRows(*window).isEmpty());
}

TEST_F(SearchTest, SearchingOnGoesFromTheSelectionAndStartsAgainAfterAChange)
{
    WriteTitles({QStringLiteral("match one"), QStringLiteral("other"), QStringLiteral("Match two"),
                 QStringLiteral("MATCH three")});
    auto window = Open();
    window->ActShowSearchExecute();

    EXPECT_EQ(Search(*window, QStringLiteral("match")), QList<int>({0})); // new text: from the top
    EXPECT_EQ(Search(*window, QStringLiteral("match")), QList<int>({2}));
    EXPECT_EQ(Search(*window, QStringLiteral("match")), QList<int>({3}));
    // Past the last file: a beep, and the last file is not found again.
    EXPECT_EQ(Search(*window, QStringLiteral("match")), QList<int>({3}));
    EXPECT_EQ(Prompt.Beeps, 1);

    window->RBtSearchFromBottom->setChecked(true);
    EXPECT_EQ(Search(*window, QStringLiteral("match")), QList<int>({2}));

    // Another text starts again from the bottom.
    EXPECT_EQ(Search(*window, QStringLiteral("MATC")), QList<int>({3}));
    EXPECT_EQ(Search(*window, QStringLiteral("matc")), QList<int>({2})); // the same text in lower case
    // So does another field with the same text.
    ChooseField(*window, QStringLiteral("TIT2"));
    EXPECT_EQ(Search(*window, QStringLiteral("matc")), QList<int>({3}));
    EXPECT_EQ(Search(*window, QStringLiteral("matc")), QList<int>({2}));

    // With nothing selected the search starts where its direction starts.
    window->LVFiles->selectionModel()->clearSelection();
    window->RBtSearchFromTop->setChecked(true);
    EXPECT_EQ(Search(*window, QStringLiteral("matc")), QList<int>({0}));

    // Enter in the search box searches on.
    QTest::keyClick(window->ESearchText, Qt::Key_Return);
    EXPECT_EQ(SelectedListRows(*window), QList<int>({2}));
    // The search follows the selection's edit cycle: the inputs show the file.
    EXPECT_EQ(ShownText(InputOf(*window, QStringLiteral("TIT2"))), QStringLiteral("Match two"));

    // Nothing to find: a beep, the selection stays.
    const int beeps = Prompt.Beeps;
    EXPECT_EQ(Search(*window, QStringLiteral("nowhere")), QList<int>({2}));
    EXPECT_EQ(Prompt.Beeps, beeps + 1);
}

TEST_F(SearchTest, ThePanelOpensByKeysDocksFloatsAndHidesWhenTheFocusLeavesIt)
{
    WriteTitles({QStringLiteral("alpha"), QStringLiteral("beta")});
    auto window = OpenActive();
    // Ctrl+F in the list opens it with the focus in its text; F3 closes it.
    window->LVFiles->setFocus();
    QTest::keyClick(window->LVFiles, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), window->ESearchText);
    QTest::keyClick(window->ESearchText, Qt::Key_F3);
    EXPECT_FALSE(window->IsSearchPanelShown());

    // Floating, its own field list is no leaving; another control is.
    QAction* dropDown = window->Action(QStringLiteral("ActShowSearchDropDown"));
    dropDown->trigger();
    EXPECT_FALSE(window->IsSearchPanelDocked());
    window->BoxSearchField->showPopup();
    ASSERT_TRUE(WaitUntil([&] { return window->BoxSearchField->view()->isVisible(); }));
    EXPECT_TRUE(WaitForPostedEvents());
    EXPECT_TRUE(window->IsSearchPanelShown());
    window->BoxSearchField->hidePopup();
    window->ESearchText->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return QApplication::focusWidget() == window->ESearchText; }));
    window->LVFiles->setFocus();
    EXPECT_TRUE(WaitUntil([&] { return !window->IsSearchPanelShown(); }));

    // Enter closes it and searches.
    dropDown->trigger();
    window->ESearchText->setText(QStringLiteral("beta"));
    QTest::keyClick(window->ESearchText, Qt::Key_Return);
    EXPECT_FALSE(window->IsSearchPanelShown());
    EXPECT_EQ(SelectedListRows(*window), QList<int>({1}));

    // Pinned, it stays when the focus goes.
    dropDown->trigger();
    window->Action(QStringLiteral("ActShowSearchPin"))->trigger();
    EXPECT_TRUE(window->IsSearchPanelDocked());
    window->LVFiles->setFocus();
    EXPECT_TRUE(WaitForPostedEvents());
    EXPECT_TRUE(window->IsSearchPanelShown());
}

TEST_F(SearchTest, ASaveARenameOrAnUndoThatMakesARowMatchTurnsItBold)
{
    WriteTitles({QStringLiteral("old"), QStringLiteral("other")});
    auto window = Open();
    window->ActShowSearchExecute();
    window->ESearchText->setText(QStringLiteral("fresh"));
    window->ApplySearch();
    ASSERT_TRUE(BoldRows(*window).isEmpty());

    // A typed title, written when the selection moves on.
    SelectListRows(*window, {0});
    TypeInto(InputOf(*window, QStringLiteral("TIT2")), QStringLiteral("Fresh"));
    SelectListRows(*window, {1});
    EXPECT_EQ(BoldRows(*window), QList<int>({0}));
    // Undone: the file has its old title again.
    window->ActUndoExecute();
    EXPECT_TRUE(BoldRows(*window).isEmpty());

    // Edits not yet written count too, and so does their undo.
    TypeInto(InputOf(*window, QStringLiteral("TIT2")), QStringLiteral("fresh as well"));
    window->ApplyInputsToSelection();
    window->RefreshVisibleRows();
    EXPECT_EQ(BoldRows(*window), QList<int>({1}));
    window->ActUndoExecute();
    EXPECT_TRUE(BoldRows(*window).isEmpty());

    // A new file name matches all text fields.
    Prompt.Inputs.push_back(QStringLiteral("freshly named"));
    window->Action(QStringLiteral("ActRenameFile"))->trigger();
    ASSERT_EQ(window->Entries()[1]->FileName, QStringLiteral("freshly named.mp3"));
    EXPECT_EQ(BoldRows(*window), QList<int>({1}));
}
