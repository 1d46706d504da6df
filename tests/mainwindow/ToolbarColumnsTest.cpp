#include "support/gui/MainWindowTestSupport.h"

#include "dialogs/FormSpaltenTestSupport.h"

#include "controls/MyListView.h"
#include "mainwindow/FQuillon.h"
#include "common/ColumnCatalogue.h"

#include <QCoreApplication>
#include <QDialog>

#include <gtest/gtest.h>

TEST(ToolbarColumnsTest, ColumnsKeepTheirWidthsAndFollowTheHeaderOrder)
{
    TMainWindowEnvironment env;
    TFQuillon window({});
    // Widths go with the code at the same position, even past unknown codes.
    window.SetColumns({"TIT2", "XXXX", "*FIN", "TRCK"}, {111, 5, 66});
    TStringArray codes;
    TWordArray widths;
    window.GetColumns(codes, widths);
    EXPECT_EQ(codes, TStringArray({"TIT2", "*FIN", "TRCK"}));
    EXPECT_EQ(widths, TWordArray({111, 66, static_cast<quint16>(FindColumn(QStringLiteral("TRCK"))->DefaultWidth)}));

    // A column dragged to another place: the new order is the stored one.
    window.LVFiles->Header()->moveSection(3, 1);
    QCoreApplication::processEvents();
    window.GetColumns(codes, widths);
    EXPECT_EQ(codes, TStringArray({"TRCK", "TIT2", "*FIN"}));
    EXPECT_EQ(window.LVFiles->ColumnOrder(), QList<int>({0, 1, 2, 3}));
}

TEST(FormSpaltenTest, MainWindowColumnsGoThroughTheChooser)
{
    TMainWindowEnvironment env;
    TFQuillon window({});
    window.SetColumns({"TIT2", "*FIN"}, {120, 90});
    env.Prompt.OnModal = [](QDialog& dialog) {
        auto& form = static_cast<TFormSpalten&>(dialog);
        EXPECT_EQ(form.EBreite->PositionInt(), 120);
        SelectAvailable(form, "TPE1");
        form.ActHinzufuegenExecute();
        TypeWidth(form, "44");
        return int(QDialog::Accepted);
    };
    window.Action(QStringLiteral("ActSpalten"))->trigger();
    TStringArray codes;
    TWordArray widths;
    window.GetColumns(codes, widths);
    EXPECT_EQ(codes, TStringArray({"TIT2", "TPE1", "*FIN"}));
    EXPECT_EQ(widths, TWordArray({120, 44, 90}));
}
