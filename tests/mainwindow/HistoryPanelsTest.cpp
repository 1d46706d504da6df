#include "FileOpsTestSupport.h"

#include <QMenu>
#include <QSplitter>
#include <QStyleOptionMenuItem>

#include <gtest/gtest.h>

namespace {

class HistoryTest : public ::testing::Test, protected TWindowFixture {
protected:
    QString A, B, C, D;

    void SetUp() override
    {
        A = Folder("A");
        B = Folder("B");
        C = Folder("C");
        D = Folder("C/D");
        Open(A);
        Visit(B);
        Visit(C);
    }

    QStringList PopupCaptions(const char* name)
    {
        QMenu* popup = Window->PopupMenu(QString::fromLatin1(name));
        Window->PopDirZurueckPopup(popup);
        QStringList captions;
        for (QAction* item : popup->actions())
            captions << item->text();
        return captions;
    }

    QString Shown() const { return QDir::cleanPath(Window->CurrentFolder()); }
};

class PanelTest : public ::testing::Test, protected TWindowFixture {
protected:
    void SetUp() override
    {
        MakeFile(Folder("music") + "/a.mp3", "A");
        Open(Folder("music"));
        Show();
    }

    bool Visible(const char* action) { return Window->Action(QString::fromLatin1(action))->isVisible(); }
    bool Checked(const char* action)
    {
        Window->UpdateActions();
        return Window->Action(QString::fromLatin1(action))->isChecked();
    }

    // The places of the input panel that the menu View > Input Fields shows
    // checked when it is opened. Each is drawn as one choice among them, with
    // its mark (no picture in the mark's place).
    QStringList CheckedPlaces()
    {
        struct TMenuLook : QMenu {
            using QMenu::initStyleOption;
        };
        QMenu* menu = Window->Action(QStringLiteral("ActEingabefeld"))->menu();
        emit menu->aboutToShow(); // opened (without taking the focus from the panel)
        QStringList checked;
        for (const char* name : {"ActEingabefeldNachOben", "ActEingabefeldNachUnten", "ActEingabefeldVerstecken"}) {
            QStyleOptionMenuItem look;
            (menu->*&TMenuLook::initStyleOption)(&look, Window->Action(QString::fromLatin1(name)));
            EXPECT_EQ(look.checkType, QStyleOptionMenuItem::Exclusive) << name;
            EXPECT_TRUE(look.icon.isNull()) << name;
            if (look.checked)
                checked << QString::fromLatin1(name);
        }
        return checked;
    }
};

}

TEST_F(HistoryTest, BackForwardAndTheirPopups)
{
    EXPECT_EQ(Window->BackHistory(), QStringList({A, B, C}));
    Trigger("ActDirZurueck");
    Trigger("ActDirZurueck");
    EXPECT_EQ(Shown(), A);
    // Nearest first; the back pop-up never lists the folder shown.
    EXPECT_EQ(PopupCaptions("PopDirVorwaerts"), QStringList({"B", "C"}));
    EXPECT_TRUE(PopupCaptions("PopDirZurueck").isEmpty());

    // The forward pop-up goes two steps; back and forward add no duplicate.
    Window->PopupMenu("PopDirVorwaerts")->actions().at(1)->trigger();
    Settle();
    EXPECT_EQ(Shown(), C);
    Trigger("ActDirZurueck");
    Trigger("ActDirVor");
    EXPECT_EQ(Window->BackHistory(), QStringList({A, B, C}));
    EXPECT_EQ(PopupCaptions("PopDirZurueck"), QStringList({"B", "A"}));

    // The same folder twice is recorded once; a new folder after going back
    // clears the forward history.
    Visit(C);
    EXPECT_EQ(Window->BackHistory().size(), 3);
    Trigger("ActDirZurueck");
    Visit(D);
    EXPECT_EQ(Window->BackHistory(), QStringList({A, B, D}));
    EXPECT_TRUE(Window->ForwardHistory().isEmpty());

    // Up goes to the parent folder; beyond the history: a beep and nothing else.
    Trigger("ActAufwaerts");
    Window->GoFolderHistory(-10);
    EXPECT_EQ(Prompt.Beeps, 1);
    EXPECT_EQ(Shown(), C);
}

TEST_F(HistoryTest, AVanishedFolderIsDroppedAndTheShownOneStays)
{
    ASSERT_TRUE(QDir(B).removeRecursively());
    Window->GoFolderHistory(-1);
    Settle();
    EXPECT_EQ(Prompt.Beeps, 1);
    EXPECT_EQ(Window->BackHistory(), QStringList({A, C}));
    EXPECT_EQ(Shown(), C);
    Window->GoFolderHistory(-1);
    Settle();
    EXPECT_EQ(Shown(), A);
    EXPECT_EQ(Window->ForwardHistory(), QStringList({C}));
    ASSERT_TRUE(QDir(C).removeRecursively());
    Window->GoFolderHistory(1);
    Settle();
    EXPECT_EQ(Prompt.Beeps, 2);
    EXPECT_TRUE(Window->ForwardHistory().isEmpty());
    EXPECT_EQ(Shown(), A);

    // Paths compare exactly: a case variant is another folder, "A/" is not.
    const QString upper = Folder("a");
    Visit(upper);
    Visit(A + "/");
    EXPECT_EQ(Window->BackHistory(), QStringList({A, upper, A}));
    // A root is captioned whole.
    Visit("/");
    Window->GoFolderHistory(-1);
    Settle();
    EXPECT_EQ(PopupCaptions("PopDirVorwaerts").value(0), "/");
}

TEST_F(HistoryTest, AShownFolderThatGoesAwayGivesWayToTheFolderAboveIt)
{
    // Its neighbour, an unrelated folder, is neither loaded nor recorded.
    const QString neighbour = Folder("C/E");
    Visit(D);
    ASSERT_TRUE(QDir(D).removeRecursively());
    Window->ShellTreeModel->Refresh();
    Settle();
    EXPECT_EQ(QDir::cleanPath(Window->TreePath()), C);
    EXPECT_EQ(Shown(), C);
    EXPECT_FALSE(Window->BackHistory().contains(neighbour));

    // A folder above the shown one likewise.
    Visit(neighbour);
    ASSERT_TRUE(QDir(C).removeRecursively());
    Window->ShellTreeModel->Refresh();
    Settle();
    EXPECT_EQ(QDir::cleanPath(Window->TreePath()), Env.Folder());
    EXPECT_EQ(Shown(), Env.Folder());
}

TEST_F(PanelTest, FolderBarDockedFloatingHidden)
{
    using S = TFQuillon::TPanelState;
    Trigger("ActBrowserleisteDropDown"); // docked: a beep
    EXPECT_EQ(Prompt.Beeps, 1);
    Trigger("ActBrowserleisteKreuz");
    EXPECT_EQ(Window->FolderBarState(), S::Hidden);
    EXPECT_FALSE(Checked("ActBrowserleiste"));

    // Floating: over the list, just below the title bar.
    Trigger("ActBrowserleisteDropDown");
    EXPECT_EQ(Window->FolderBarState(), S::Floating);
    const QPoint below = Window->PanMP3Titel->mapTo(Window.get(), QPoint(0, Window->PanMP3Titel->height()));
    EXPECT_EQ(Window->PanLeft->geometry().topLeft(), below);
    // The focus elsewhere closes it; so does choosing a folder.
    Window->LVFiles->setFocus();
    Settle();
    EXPECT_EQ(Window->FolderBarState(), S::Hidden);
    Trigger("ActBrowserleisteDropDown");
    Visit(Folder("other"));
    EXPECT_EQ(Window->FolderBarState(), S::Hidden);
    Trigger("ActBrowserleisteDropDown");
    Trigger("ActBrowserleistePin");
    EXPECT_EQ(Window->PanLeft->parentWidget(), Window->Splitter1);
}

TEST_F(PanelTest, InputPanelTopBottomFloatingHiddenAndStored)
{
    using S = TFQuillon::TPanelState;
    Trigger("ActEingabefeldNachOben");
    EXPECT_EQ(Window->SplitterID3->indexOf(Window->PanID3), 0);
    EXPECT_FALSE(Visible("ActEingabefeldNachOben2"));
    EXPECT_EQ(CheckedPlaces(), QStringList({"ActEingabefeldNachOben"}));
    Trigger("ActEingabefeldNachUnten2");
    EXPECT_EQ(Window->SplitterID3->indexOf(Window->PanID3), 1);
    EXPECT_TRUE(Checked("ActEingabefeldNachUnten"));
    EXPECT_EQ(CheckedPlaces(), QStringList({"ActEingabefeldNachUnten"}));
    // The checked place cannot be unchecked by choosing it again.
    Trigger("ActEingabefeldNachUnten");
    EXPECT_EQ(CheckedPlaces(), QStringList({"ActEingabefeldNachUnten"}));

    Trigger("ActEingabeFeldKreuz");
    EXPECT_EQ(Window->InputPanelState(), S::Hidden);
    EXPECT_TRUE(Checked("ActEingabefeldVerstecken"));
    EXPECT_EQ(CheckedPlaces(), QStringList({"ActEingabefeldVerstecken"}));
    Trigger("ActEingabeFeldDropDown");
    EXPECT_EQ(Window->InputPanelState(), S::Floating);
    EXPECT_EQ(CheckedPlaces(), QStringList()) << "floating, it is at no place";
    EXPECT_EQ(Window->PanID3->width(), Window->PanMP3Titel->width());
    EXPECT_EQ(Window->InputPanelPosition(), TInputPanelPos::Bottom);
    Window->LVFiles->setFocus();
    Settle();
    EXPECT_EQ(Window->InputPanelState(), S::Hidden);
    EXPECT_EQ(Window->InputPanelPosition(), TInputPanelPos::Hidden);

    // What is stored comes back at the next start.
    Trigger("ActEingabefeldNachOben");
    Trigger("ActBrowserleisteKreuz");
    Window.reset();
    Open(Folder("music"));
    EXPECT_EQ(Window->InputPanelPosition(), TInputPanelPos::Top);
    EXPECT_EQ(Window->FolderBarState(), S::Hidden);
}
