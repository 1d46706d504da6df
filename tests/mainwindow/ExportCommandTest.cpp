// The export command of the main window.

#include "dialogs/FormExportTestSupport.h"

#include "mainwindow/FQuillon.h"


#include <gtest/gtest.h>

TEST(FormExportTest, ExportCommandOfTheMainWindow)
{
    TExportFixture f;
    TFQuillon window({});
    window.SetColumns({"TALB", "*LEN"}, {});
    int shown = 0;
    f.Prompt.OnModal = [&](QDialog& dialog) {
        EXPECT_EQ(dynamic_cast<TFormExport&>(dialog).OwnHTMLColumns(), TStringArray({"TALB", "*LEN"}));
        ++shown;
        return int(QDialog::Rejected);
    };
    window.Action(QStringLiteral("ActExport"))->trigger();
    EXPECT_EQ(shown, 1);
}
