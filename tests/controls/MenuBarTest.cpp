#include "controls/MenuBar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct TMainMenu {
    QMenu Main;
    std::vector<std::unique_ptr<QMenu>> Submenus;

    TMainMenu()
    {
        for (const char* caption : {"&File", "&Edit", "E&xtras", "&View", "&Help"}) {
            Submenus.push_back(std::make_unique<QMenu>());
            Submenus.back()->addAction(QStringLiteral("item"));
            QAction* item = Main.addMenu(Submenus.back().get());
            item->setText(QString::fromLatin1(caption));
        }
        Main.addSeparator();
    }
};

}

TEST(MenuBarTest, OneItemPerTopLevelItemFollowingTheItems)
{
    TMainMenu menu;
    TMenuBar bar;
    bar.SetMenu(&menu.Main);
    ASSERT_EQ(bar.ButtonCount(), 5);
    EXPECT_FALSE(bar.Bar()->isNativeMenuBar());

    // Titles show the captions, never the pictures, and follow the items.
    QAction* title = bar.Bar()->actions().at(1);
    menu.Main.actions().at(1)->setIcon(QIcon(QPixmap(16, 16)));
    menu.Main.actions().at(1)->setText(QStringLiteral("&Bearbeiten"));
    menu.Main.actions().at(1)->setEnabled(false);
    EXPECT_EQ(title->text(), QStringLiteral("&Bearbeiten"));
    EXPECT_TRUE(title->icon().isNull());
    EXPECT_FALSE(title->isEnabled());
    EXPECT_EQ(title->menu(), menu.Submenus[1].get());
    bar.SetMenu(&menu.Main); // the same menu again adds nothing
    EXPECT_EQ(bar.ButtonCount(), 5);
}

TEST(MenuBarTest, ArrowKeysMoveFromOneOpenMenuToTheNext)
{
    TMainMenu menu;
    QWidget window;
    auto* bar = new TMenuBar(&window);
    bar->SetMenu(&menu.Main);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    bar->Bar()->setActiveAction(bar->Bar()->actions().at(0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu.Submenus[0]->isVisible(); }));
    QTest::keyClick(menu.Submenus[0].get(), Qt::Key_Right);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu.Submenus[1]->isVisible(); }));
    EXPECT_FALSE(menu.Submenus[0]->isVisible());
    QTest::keyClick(menu.Submenus[1].get(), Qt::Key_Escape);
}
