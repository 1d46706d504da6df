#include "FormSpaltenTestSupport.h"
#include "support/gui/MainWindowTestSupport.h"

#include "controls/UpDownEdit.h"
#include "dialogs/FormSpalten.h"
#include "common/ColumnCatalogue.h"

#include <QDialog>
#include <QLabel>

#include <gtest/gtest.h>

TEST(FormSpaltenTest, WidthsAreFilledInFollowTheColumnClickedAndAreReturnedOnOK)
{
    TMainWindowEnvironment env;
    TStringArray ids{"TIT2", "NONE", "*FIN", "TPE1"};
    TWordArray widths{111};
    TBoolArray ticks;
    env.Prompt.OnModal = [](QDialog& dialog) {
        auto& form = static_cast<TFormSpalten&>(dialog);
        EXPECT_EQ(form.TreeView2->topLevelItemCount(), 3) << "unknown IDs are dropped";

        // "*FIN" removed after getting a width and added again keeps it.
        SelectChosen(form, 1);
        TypeWidth(form, "77");
        form.ActEntfernenExecute();
        EXPECT_EQ(form.TreeView2->topLevelItemCount(), 2);
        EXPECT_EQ(form.TreeView1->topLevelItem(0)->text(0), QStringLiteral("Dateiname")) << "catalogue order kept";
        SelectChosen(form, 1);
        SelectAvailable(form, "*FIN");
        form.ActHinzufuegenExecute();
        EXPECT_EQ(form.TreeView2->currentItem()->text(0), QStringLiteral("Dateiname"));
        EXPECT_EQ(form.EBreite->PositionInt(), 77);
        return int(QDialog::Accepted);
    };
    TFormSpalten form;
    ASSERT_TRUE(form.Execute(QString(), true, false, ids, widths, ticks));
    EXPECT_EQ(ids, TStringArray({"TIT2", "TPE1", "*FIN"}));
    EXPECT_EQ(widths, TWordArray({111, DefaultWidth("TPE1"), 77}));
    EXPECT_EQ(ticks, TBoolArray({false, false, false}));

    // Cancel leaves the arrays alone.
    env.Prompt.OnModal = [](QDialog& dialog) {
        static_cast<TFormSpalten&>(dialog).ActZuruecksetztenExecute();
        return int(QDialog::Rejected);
    };
    EXPECT_FALSE(form.Execute(QString(), true, false, ids, widths, ticks));
    EXPECT_EQ(ids, TStringArray({"TIT2", "TPE1", "*FIN"}));
    EXPECT_EQ(widths, TWordArray({111, DefaultWidth("TPE1"), 77}));

    // The width edit follows the column clicked.
    widths = {150, 100, 120};
    env.Prompt.OnModal = [](QDialog& dialog) {
        auto& form = static_cast<TFormSpalten&>(dialog);
        form.show();
        ClickChosen(form, 1);
        EXPECT_EQ(form.EBreite->PositionInt(), 100);
        TypeWidth(form, "210");
        ClickChosen(form, 2);
        EXPECT_EQ(form.EBreite->PositionInt(), 120);
        ClickChosen(form, 0);
        EXPECT_EQ(form.EBreite->PositionInt(), 150);
        TypeWidth(form, "300");
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(form.Execute(QString(), true, false, ids, widths, ticks));
    EXPECT_EQ(widths, TWordArray({300, 210, 120}));
}

TEST(FormSpaltenTest, TicksMovesAndReset)
{
    TMainWindowEnvironment env;
    TStringArray ids{"*FIN", "TIT2"};
    TWordArray widths;
    TBoolArray ticks{true};
    env.Prompt.OnModal = [&](QDialog& dialog) {
        auto& form = static_cast<TFormSpalten&>(dialog);
        EXPECT_EQ(TFormSpalten::ImageOf(form.TreeView2->topLevelItem(0)), TFormSpalten::imTicked);
        EXPECT_EQ(TFormSpalten::ImageOf(form.TreeView2->topLevelItem(1)), TFormSpalten::imUnticked);

        // A new column starts unticked; space ticks it, again unticks it.
        SelectChosen(form, 0);
        SelectAvailable(form, "TALB");
        form.ActHinzufuegenExecute();
        QTreeWidgetItem* album = form.TreeView2->topLevelItem(1);
        EXPECT_EQ(form.ColumnOf(album)->ID, QStringLiteral("TALB"));
        EXPECT_EQ(TFormSpalten::ImageOf(album), TFormSpalten::imUnticked);
        QTest::keyClick(form.TreeView2, Qt::Key_Space);
        QTest::keyClick(form.TreeView2, Qt::Key_Space);
        QTest::keyClick(form.TreeView2, Qt::Key_Space);
        EXPECT_EQ(TFormSpalten::ImageOf(album), TFormSpalten::imTicked);

        // Move up and down keep the tick; the ends disable the moves.
        form.ActNachObenExecute();
        EXPECT_EQ(form.TreeView2->indexOfTopLevelItem(album), 0);
        EXPECT_FALSE(form.ActNachOben->isEnabled());
        form.ActNachUntenExecute();
        form.ActNachUntenExecute();
        EXPECT_EQ(form.TreeView2->indexOfTopLevelItem(album), 2);
        EXPECT_FALSE(form.ActNachUnten->isEnabled());
        EXPECT_EQ(env.Prompt.Beeps, 0);
        return int(QDialog::Accepted);
    };
    TFormSpalten form;
    ASSERT_TRUE(form.Execute(QStringLiteral("Pick links"), false, true, ids, widths, ticks));
    EXPECT_EQ(ids, TStringArray({"*FIN", "TIT2", "TALB"}));
    EXPECT_EQ(ticks, TBoolArray({true, false, true}));
    EXPECT_EQ(widths.size(), 3);

    // Reset: the default columns, none ticked, default widths.
    env.Prompt.OnModal = [](QDialog& dialog) {
        auto& form = static_cast<TFormSpalten&>(dialog);
        form.ActZuruecksetztenExecute();
        form.TreeView2->clearSelection();
        form.TreeView2->setCurrentItem(nullptr);
        form.ActEntfernenExecute(); // nothing selected: a beep
        return int(QDialog::Accepted);
    };
    ASSERT_TRUE(form.Execute(QString(), false, true, ids, widths, ticks));
    EXPECT_EQ(ids, DefaultColumns());
    EXPECT_EQ(ticks, TBoolArray(DefaultColumns().size(), false));
    EXPECT_EQ(widths.first(), DefaultWidth("*FIN"));
    EXPECT_EQ(env.Prompt.Beeps, 1);
}
