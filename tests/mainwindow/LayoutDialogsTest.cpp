// The tool-bar and input pages dialogs, alone and from the main window.

#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"
#include "common/SettingsStoreTestSupport.h"

#include "support/MutagenReader.h"

#include "controls/Accelerators.h"
#include "controls/LayoutList.h"
#include "localisation/MultiLanguage.h"
#include "dialogs/FormButtons.h"
#include "dialogs/FormEingabefelder.h"
#include "common/SettingsBounds.h"
#include "common/SettingsStore.h"
#include "common/ToolbarButtons.h"
#include "platform/Registry.h"
#include "tagengine/FrameCatalogue.h"

#include <QAction>
#include <QPushButton>
#include <QSet>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QStringList ItemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

int RowOfText(const QListWidget* list, const QString& text)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == text)
            return i;
    return -1;
}

void SelectRow(TLayoutList* list, int row)
{
    ASSERT_GE(row, 0);
    list->SelectItem(list->item(row));
}

QStringList TabTexts(const QTabBar* bar)
{
    QStringList texts;
    for (int i = 0; i < bar->count(); ++i)
        texts << bar->tabText(i);
    return texts;
}

// The caption of a button's action as the dialog lists it.
QString ButtonText(const TFQuillon& window, const char* code)
{
    const TSymbolleistenButton* row = FindToolbarButton(QString::fromLatin1(code));
    return PlainCaption(window.Action(QString::fromLatin1(row->ActionName))->text());
}

class LayoutDialogsTest : public ::testing::Test, protected TSettingsStoreFixture {
protected:
    // Runs the tool-bar dialog; user acts in it and answers how it is closed.
    bool RunButtons(TStringArray& codes, const std::function<int(TFormButtons&)>& user)
    {
        Prompt.OnModal = [&](QDialog& dialog) { return user(dynamic_cast<TFormButtons&>(dialog)); };
        TFormButtons dialog;
        const bool ok = dialog.Execute(codes, [this](const QString& name) { return Window->Action(name); });
        Prompt.OnModal = nullptr;
        return ok;
    }

    bool RunPages(TEingabeSeiten& pages, const std::function<int(TFormEingabefelder&)>& user)
    {
        Prompt.OnModal = [&](QDialog& dialog) { return user(dynamic_cast<TFormEingabefelder&>(dialog)); };
        TFormEingabefelder dialog;
        const bool ok = dialog.Execute(Window->TemplateInputs(), pages);
        Prompt.OnModal = nullptr;
        return ok;
    }

    TMainWindowEnvironment Env;
    TAnsweringPrompt Prompt;
    std::unique_ptr<TFQuillon> Window = std::make_unique<TFQuillon>(QStringList());
};

}

TEST_F(LayoutDialogsTest, ToolbarDialogListsWhatTheCodesNameWithWholeCaptions)
{
    TStringArray codes = {"UNDO", "XXXX", "----", "----", "undo", "HELP", "UNDO", "UND"};
    const TStringArray given = codes;
    EXPECT_FALSE(RunButtons(codes, [&](TFormButtons& d) {
        // Every caption is shown whole ("Titelinformationen aus Da..." in
        // the German lists).
        d.show();
        for (TLayoutList* list : {d.TreeView1, d.TreeView2})
            for (int row = 0; row < list->count(); ++row)
                EXPECT_LE(list->sizeHintForIndex(list->model()->index(row, 0)).width(), list->viewport()->width())
                    << list->item(row)->text().toStdString();
        // Unknown codes give nothing, a code twice two items, separators
        // their own items; the available list omits what is used and keeps
        // one separator.
        EXPECT_EQ(d.UsedCodes(), TStringArray({"UNDO", "----", "----", "HELP", "UNDO"}));
        EXPECT_EQ(d.TreeView1->count(), ToolbarButtonCount - 2 + 1);
        EXPECT_EQ(RowOfText(d.TreeView1, ButtonText(*Window, "UNDO")), -1);
        return QDialog::Rejected;
    }));
    EXPECT_EQ(codes, given);

    // Emptied, then reset: the default tool bar.
    EXPECT_TRUE(RunButtons(codes, [](TFormButtons& d) {
        while (d.TreeView2->count() > 0) {
            d.TreeView2->SelectItem(d.TreeView2->item(0));
            d.ActEntfernenExecute();
        }
        return QDialog::Accepted;
    }));
    EXPECT_TRUE(codes.isEmpty());
    EXPECT_TRUE(RunButtons(codes, [](TFormButtons& d) {
        d.ActZuruecksetzenExecute();
        return QDialog::Accepted;
    }));
    EXPECT_EQ(codes, DefaultToolbar());
}

TEST_F(LayoutDialogsTest, ToolbarDialogAddsRemovesAndMoves)
{
    TStringArray codes = {"DIRB", "DIRN"};
    EXPECT_TRUE(RunButtons(codes, [this](TFormButtons& d) {
        // Added after the selected item; the separator stays available.
        SelectRow(d.TreeView2, 0);
        SelectRow(d.TreeView1, 0);
        d.ActHinzufuegenExecute();
        SelectRow(d.TreeView1, 0);
        d.ActHinzufuegenExecute();
        EXPECT_EQ(d.TreeView1->item(0)->text(), QStringLiteral("Trennzeichen"));
        EXPECT_EQ(d.UsedCodes(), TStringArray({"DIRB", "----", "----", "DIRN"}));
        // A button moves over and back into table order.
        SelectRow(d.TreeView1, RowOfText(d.TreeView1, ButtonText(*Window, "HELP")));
        d.ActHinzufuegenExecute();
        EXPECT_EQ(RowOfText(d.TreeView1, ButtonText(*Window, "HELP")), -1);
        // Listed by its caption as plain text ("&Einstellungen...").
        SelectRow(d.TreeView1, RowOfText(d.TreeView1, QStringLiteral("Einstellungen")));
        d.ActHinzufuegenExecute();
        // Each added item is selected, so the next one follows it.
        EXPECT_EQ(d.UsedCodes(), TStringArray({"DIRB", "----", "----", "HELP", "SETT", "DIRN"}));
        SelectRow(d.TreeView2, 3);
        d.ActEntfernenExecute();
        EXPECT_EQ(d.TreeView1->SelectedItem()->text(), ButtonText(*Window, "HELP"));
        EXPECT_EQ(d.TreeView1->SelectedRow(), d.TreeView1->count() - 1);
        SelectRow(d.TreeView2, 3);
        d.ActEntfernenExecute();
        EXPECT_EQ(d.TreeView1->SelectedRow(), 1); // SETT is the first row of the table
        // A separator removed just goes.
        SelectRow(d.TreeView2, 1);
        d.ActEntfernenExecute();
        EXPECT_EQ(d.TreeView1->count(), ToolbarButtonCount - 2 + 1);
        // Moving: up not from the top, down not from the bottom.
        SelectRow(d.TreeView2, 0);
        EXPECT_FALSE(d.ButNachOben->isEnabled());
        d.ActNachUntenExecute();
        d.ActNachUntenExecute();
        EXPECT_FALSE(d.ButNachUnten->isEnabled());
        EXPECT_EQ(d.UsedCodes(), TStringArray({"----", "DIRN", "DIRB"}));
        d.ActNachObenExecute();
        EXPECT_EQ(d.UsedCodes(), TStringArray({"----", "DIRB", "DIRN"}));
        EXPECT_EQ(Prompt.Beeps, 0);
        return QDialog::Accepted;
    }));
    EXPECT_EQ(codes, TStringArray({"----", "DIRB", "DIRN"}));
}

// The settings keep every button once and MaxToolbarSeparators separators,
// MaxInputPages pages and MaxFavorites favourites: the dialogs and commands
// that make these lists make them no longer.
TEST_F(LayoutDialogsTest, NoListGrowsLongerThanTheSettingsKeep)
{
    TStringArray codes = TStringArray(MaxToolbarSeparators, QStringLiteral("----")) + TStringArray({"DIRB"});
    EXPECT_TRUE(RunButtons(codes, [this](TFormButtons& d) {
        SelectRow(d.TreeView1, 0); // the separator
        EXPECT_FALSE(d.ButHinzufuegen->isEnabled());
        d.ActHinzufuegenExecute();
        EXPECT_EQ(Prompt.Beeps, 1);
        EXPECT_EQ(d.TreeView2->count(), MaxToolbarSeparators + 1);
        // A button can still be added; a separator once one is gone.
        SelectRow(d.TreeView1, 1);
        EXPECT_TRUE(d.ButHinzufuegen->isEnabled());
        SelectRow(d.TreeView2, 0);
        d.ActEntfernenExecute();
        SelectRow(d.TreeView1, 0);
        EXPECT_TRUE(d.ButHinzufuegen->isEnabled());
        d.ActHinzufuegenExecute();
        EXPECT_EQ(d.TreeView2->count(), MaxToolbarSeparators + 1);
        return QDialog::Accepted;
    }));

    TEingabeSeiten pages;
    for (int i = 0; i < MaxInputPages; ++i)
        pages.Add(QStringLiteral("Page %1").arg(i));
    Prompt.Beeps = 0;
    EXPECT_TRUE(RunPages(pages, [this](TFormEingabefelder& d) {
        EXPECT_FALSE(d.ButNeueSeite->isEnabled());
        Prompt.Inputs = {QStringLiteral("One too many")};
        d.ActNeueSeiteExecute();
        EXPECT_EQ(Prompt.Beeps, 1);
        EXPECT_EQ(d.TCSeiten->count(), MaxInputPages + 1);
        d.ActSeiteLoeschenExecute();
        EXPECT_TRUE(d.ButNeueSeite->isEnabled());
        return QDialog::Accepted;
    }));
    EXPECT_EQ(pages.Count(), MaxInputPages - 1);

    Window->SetTreePath(Env.Folder());
    while (Window->Favorites().Count() < MaxFavorites)
        Window->Favorites().Add(QStringLiteral("F"), Env.Folder());
    Window->UpdateActions();
    EXPECT_FALSE(Window->Action(QStringLiteral("ActAddToFavorites"))->isEnabled());
    Prompt.Beeps = 0;
    Prompt.Inputs = {QStringLiteral("One too many")};
    Window->ActAddToFavoritesExecute();
    EXPECT_EQ(Prompt.Beeps, 1);
    EXPECT_EQ(Window->Favorites().Count(), MaxFavorites);
}

TEST_F(LayoutDialogsTest, JunkStoredToolbarsLoadWithoutHarm)
{
    Window.reset();
    const QStringList junk = {QStringLiteral("undoUNDOUN"), QStringLiteral("ÄÖÜ-----UNDO\x01\x02"),
                              QString(5000, QLatin1Char('Z'))};
    const QList<TStringArray> expected = {{"UNDO"}, {"----", "UNDO"}, {}};
    for (int i = 0; i < junk.size(); ++i) {
        Store([&](TRegistry& reg) { reg.WriteString(QStringLiteral("Buttons"), junk.at(i)); });
        TFQuillon window({});
        // Nothing stored that names a button gives the default tool bar.
        EXPECT_EQ(window.GetToolbarCodes(), expected.at(i).isEmpty() ? DefaultToolbar() : expected.at(i)) << i;
    }
    // Unknown codes given are dropped; no codes, no tool bar.
    TFQuillon window({});
    window.SetToolbarCodes({"DIRB", "----", "NONE", "UNDO"});
    EXPECT_EQ(window.GetToolbarCodes(), TStringArray({"DIRB", "----", "UNDO"}));
    window.SetToolbarCodes({});
    EXPECT_TRUE(window.ToolBar1->actions().isEmpty());
}

TEST_F(LayoutDialogsTest, APresetButtonAddedInTheDialogOffersTheTemplates)
{
    Prompt.OnModal = [this](QDialog& dialog) {
        auto& d = dynamic_cast<TFormButtons&>(dialog);
        SelectRow(d.TreeView1, RowOfText(d.TreeView1, ButtonText(*Window, "FNPR")));
        d.ActHinzufuegenExecute();
        return int(QDialog::Accepted);
    };
    Window->Action(QStringLiteral("ActSymbolleisteAnpassen"))->trigger();
    Prompt.OnModal = nullptr;
    EXPECT_EQ(Window->GetToolbarCodes().last(), QStringLiteral("FNPR"));

    QToolButton* button = nullptr;
    for (QToolButton* candidate : Window->ToolBar1->findChildren<QToolButton*>())
        if (candidate->defaultAction() == Window->Action(QStringLiteral("ActChangeFileNamePreset")))
            button = candidate;
    ASSERT_NE(button, nullptr);
    ASSERT_NE(button->menu(), nullptr);
    emit button->menu()->aboutToShow();
    const QList<QAction*> items = button->menu()->actions();
    ASSERT_EQ(items.size(), FileNamePresetDefaultCount);
    items.at(1)->trigger();
    EXPECT_EQ(Window->Settings().FileNamePattern, QStringLiteral("%N %A - %T"));
}

TEST_F(LayoutDialogsTest, PagesDialogFollowsThePageTabs)
{
    TEingabeSeiten pages;
    EXPECT_TRUE(RunPages(pages, [this](TFormEingabefelder& d) {
        // Without pages: only the empty tab, where no field can be added.
        EXPECT_EQ(TabTexts(d.TCSeiten), QStringList({Lang("EmptyPage")}));
        SelectRow(d.TVLinks, 0);
        d.ActHinzufuegenExecute();
        EXPECT_EQ(Prompt.Beeps, 1);
        // A new page goes before the empty tab and is shown.
        Prompt.Inputs = {QStringLiteral("First"), QStringLiteral("Second")};
        d.ActNeueSeiteExecute();
        EXPECT_EQ(TabTexts(d.TCSeiten), QStringList({"First", Lang("EmptyPage")}));
        for (const char* id : {"TIT2", "TPE1"}) {
            SelectRow(d.TVLinks, RowOfText(d.TVLinks, GetFrameName(QString::fromLatin1(id))));
            d.ActHinzufuegenExecute();
        }
        // Added before the selected field.
        SelectRow(d.TVRechts, 0);
        SelectRow(d.TVLinks, RowOfText(d.TVLinks, GetFrameName(QStringLiteral("TALB"))));
        d.ActHinzufuegenExecute();
        // From the empty tab, a new page leaves the others as they are.
        d.TCSeiten->setCurrentIndex(1);
        d.ActNeueSeiteExecute();
        EXPECT_EQ(TabTexts(d.TCSeiten), QStringList({"First", "Second", Lang("EmptyPage")}));
        return QDialog::Accepted;
    }));
    EXPECT_EQ(PagesText(pages), QStringList({"First:TALB,TIT2,TPE1", "Second:"})); // an empty page stays

    // Deleting pages: the fields are offered again only next time.
    EXPECT_TRUE(RunPages(pages, [this](TFormEingabefelder& d) {
        Prompt.Beeps = 0;
        d.ActSeiteLoeschenExecute();
        EXPECT_EQ(RowOfText(d.TVLinks, GetFrameName(QStringLiteral("TIT2"))), -1);
        d.ActSeiteLoeschenExecute();
        d.ActSeiteLoeschenExecute();
        d.ActSeiteUmbenennenExecute();
        EXPECT_EQ(Prompt.Beeps, 2);
        return QDialog::Accepted;
    }));
    EXPECT_EQ(pages.Count(), 0);
}

TEST_F(LayoutDialogsTest, PagesDialogReturnsOnlyWhatTheWindowBuilds)
{
    QSet<QString> handled;
    for (const TID3v2Frame* input : Window->TemplateInputs())
        for (const QString& id : input->FrameIDs())
            handled.insert(id);
    QString unhandled;
    for (const TID3FrameName& row : ID3FrameNames)
        if (!handled.contains(QString::fromLatin1(row.ID)) && unhandled.isEmpty())
            unhandled = QString::fromLatin1(row.ID);
    ASSERT_FALSE(unhandled.isEmpty());

    TEingabeSeiten pages;
    pages.Add(QStringLiteral("%PageGeneralTitle")).FrameIDs = {"TIT2", "ZZZZ", unhandled, "TPE1", "TIT2"};
    pages.Add(QStringLiteral("R&B")).FrameIDs = {"TIT2", "TALB"};
    const QStringList given = PagesText(pages);
    EXPECT_FALSE(RunPages(pages, [&](TFormEingabefelder& d) {
        EXPECT_EQ(TabTexts(d.TCSeiten), QStringList({Lang("PageGeneralTitle"), "R&&B", Lang("EmptyPage")}));
        EXPECT_EQ(ItemTexts(d.TVRechts), QStringList({GetFrameName("TIT2"), GetFrameName("TPE1")}));
        EXPECT_EQ(RowOfText(d.TVLinks, GetFrameName(unhandled)), -1);
        // Renaming offers the title as shown.
        d.TCSeiten->setCurrentIndex(1);
        Prompt.Inputs = {QStringLiteral("Rock & Roll")};
        d.ActSeiteUmbenennenExecute();
        EXPECT_EQ(Prompt.Offered, QStringList({"R&B"}));
        EXPECT_EQ(d.TCSeiten->tabText(1), QStringLiteral("Rock && Roll"));
        return QDialog::Rejected;
    }));
    EXPECT_EQ(PagesText(pages), given);

    EXPECT_TRUE(RunPages(pages, [](TFormEingabefelder&) { return QDialog::Accepted; }));
    EXPECT_EQ(PagesText(pages), QStringList({Lang("PageGeneralTitle") + ":TIT2,TPE1", "R&B:TALB"}));

    // Reset gives the default pages, taken over on OK only.
    EXPECT_TRUE(RunPages(pages, [](TFormEingabefelder& d) {
        d.ActZuruecksetzenExecute();
        return QDialog::Accepted;
    }));
    ASSERT_EQ(pages.Count(), DefaultInputPages().Count());
    EXPECT_EQ(pages.Items(1).Title, Lang("PageAdditionalTitle"));
}

namespace {

class InputPagesCommandTest : public ::testing::Test, protected TRenameFixture, protected TSettingsStoreFixture {};

}

TEST_F(InputPagesCommandTest, AFrameListedTwiceGetsOneInputAndIsWrittenOnce)
{
    Store(
        [](TRegistry& reg) {
            reg.WriteString(QStringLiteral("0"), QStringLiteral("TIT2TPE1TIT2"));
            reg.WriteString(QStringLiteral("N0"), QStringLiteral("Tom & Jerry"));
            reg.WriteString(QStringLiteral("1"), QStringLiteral("TIT2TALB"));
            reg.WriteString(QStringLiteral("N1"), QStringLiteral("Two"));
        },
        QStringLiteral("Felder"));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "Old"}}));
    Open();
    EXPECT_EQ(InputCount(*Window, QStringLiteral("TIT2")), 1);
    EXPECT_EQ(Window->PagInfos->tabText(0), QStringLiteral("Tom && Jerry"));
    EXPECT_EQ(PagesText(Window->InputPages()), QStringList({"Tom & Jerry:TIT2,TPE1", "Two:TALB"}));

    Select({"a.mp3"});
    TypeInto(InputOf(*Window, QStringLiteral("TIT2")), QStringLiteral("New"));
    Window->CommitEdits();
    EXPECT_EQ(MutagenTexts(ReadWithMutagen(Dir() + "a.mp3"), QStringLiteral("TIT2")), QStringList({"New"}));
}

TEST_F(InputPagesCommandTest, OkWithoutPagesLeavesTheFixedPagesUntilTheNextStart)
{
    Open();
    // Cancel changes nothing.
    Prompt.OnModal = [](QDialog& dialog) {
        auto& d = dynamic_cast<TFormEingabefelder&>(dialog);
        d.ActSeiteLoeschenExecute();
        return int(QDialog::Rejected);
    };
    Window->Action(QStringLiteral("ActEingabefelder"))->trigger();
    EXPECT_EQ(Window->PagInfos->count(), DefaultInputPages().Count() + 2);

    Prompt.OnModal = [](QDialog& dialog) {
        auto& d = dynamic_cast<TFormEingabefelder&>(dialog);
        while (d.TCSeiten->count() > 1)
            d.ActSeiteLoeschenExecute();
        return int(QDialog::Accepted);
    };
    Window->Action(QStringLiteral("ActEingabefelder"))->trigger();
    Prompt.OnModal = nullptr;
    EXPECT_EQ(Window->PagInfos->count(), 2);
    EXPECT_TRUE(Window->PageInputs().empty());

    // Stored without pages, the next start fills in the default pages.
    Window.reset();
    Open();
    EXPECT_EQ(Window->PagInfos->count(), DefaultInputPages().Count() + 2);
}
