#include "LocalisationTestSupport.h"

#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class ComponentTranslationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LangStrings.SetCustomLangStrings(TLanguageLines::FromLines({
            "Title=Window",
            "Caption=Label <b>text</b>",
            "Hint=a <i>hint</i>",
            "Button=Press",
            "Group=Group",
            "Act=Action",
            "ActHint=Action hint",
            "Menu=&File",
            "Tab=First tab",
            "Filter=HTML files (*.htm *.html);;All files (*)",
        }));
        LangStrings.SetCurrentLangStrings(TLanguageLines());
    }

    TLanguageStateGuard m_guard;
};

TEST_F(ComponentTranslationTest, TranslatesEveryTextOfAWindowOnceAndButtonsFollowTheirAction)
{
    QDialog window;
    window.setWindowTitle("%Title");
    auto* label = new QLabel("%Caption", &window);
    label->setToolTip("%Hint");
    auto* literal = new QLabel("%%Title", &window);
    auto* group = new QGroupBox("%Group", &window);
    auto* button = new QPushButton("%Button", group); // a grandchild
    auto* edit = new QLineEdit("%Unknown", &window);
    auto* tabs = new QTabWidget(&window);
    tabs->addTab(new QWidget, "%Tab");
    auto* combo = new QComboBox(&window);
    combo->addItem("%Button");

    TranslateComponentTree(&window);
    EXPECT_EQ(window.windowTitle(), "Window");
    EXPECT_EQ(label->text(), "Label <b>text</b>");
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->toolTip(), Qt::convertFromPlainText("a <i>hint</i>", Qt::WhiteSpaceNormal));
    EXPECT_EQ(literal->text(), "%Title");
    EXPECT_EQ(group->title(), "Group");
    EXPECT_EQ(button->text(), "Press");
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(tabs->tabText(0), "First tab");
    EXPECT_EQ(combo->itemText(0), "Press");

    // A second pass, or one from an enclosing window, leaves translated texts
    // alone: "%Title" stays literal.
    TranslateComponentTree(&window);
    EXPECT_EQ(literal->text(), "%Title");

    // Actions, and the buttons that show them.
    QWidget owner;
    auto* action = new QAction("%Act", &owner);
    action->setToolTip("%ActHint");
    auto* plainAction = new QAction("%%Act", &owner);
    auto* tool = new QToolButton(&owner);
    tool->setDefaultAction(action);
    auto* menu = new QMenu("%Menu", &owner);
    auto* item = menu->addAction("%Act");

    TranslateComponentTree(&owner);
    EXPECT_EQ(action->text(), "Action");
    EXPECT_EQ(action->toolTip(), "Action hint");
    EXPECT_EQ(tool->toolTip(), "Action hint");
    EXPECT_EQ(plainAction->text(), "%Act");
    EXPECT_EQ(plainAction->toolTip(), "%Act"); // its tool tip follows the text, not looked up
    EXPECT_EQ(menu->menuAction()->text(), "&File");
    EXPECT_EQ(item->text(), "Action");
}

TEST_F(ComponentTranslationTest, FileDialogsGetTheirFilters)
{
    for (const auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        dialog.setNameFilter("%Filter");
        dialog.selectFile("%Title.htm");
        TranslateComponentTree(&dialog);
        EXPECT_EQ(dialog.nameFilters(), QStringList({"HTML files (*.htm *.html)", "All files (*)"}));
        // The file name shown is not a key.
        for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>())
            EXPECT_NE(edit->text(), "Window.htm");
    }
}

}
