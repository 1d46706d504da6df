#include "controls/MenuBar.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(MenuBarTest, OneButtonPerTopLevelItemFollowingTheItems)
{
    QMenu main;
    std::vector<std::unique_ptr<QMenu>> submenus;
    for (const char* caption : {"&File", "&Edit", "E&xtras", "&View", "&Help"}) {
        submenus.push_back(std::make_unique<QMenu>());
        submenus.back()->addAction(QStringLiteral("item"));
        QAction* item = main.addMenu(submenus.back().get());
        item->setText(QString::fromLatin1(caption));
    }
    main.addSeparator();

    TMenuBar bar;
    bar.SetMenu(&main);
    ASSERT_EQ(bar.ButtonCount(), 5);
    QToolButton* edit = bar.Button(1);
    EXPECT_EQ(edit->defaultAction(), main.actions().at(1));
    EXPECT_EQ(edit->text(), QStringLiteral("Edit"));
    EXPECT_EQ(edit->popupMode(), QToolButton::InstantPopup);

    // Captions and states follow the items.
    main.actions().at(1)->setText(QStringLiteral("&Bearbeiten"));
    main.actions().at(1)->setEnabled(false);
    EXPECT_EQ(edit->text(), QStringLiteral("Bearbeiten"));
    EXPECT_FALSE(edit->isEnabled());

    // The same menu again changes nothing; no menu removes every button.
    bar.SetMenu(&main);
    EXPECT_EQ(bar.Button(1), edit);
    bar.SetMenu(nullptr);
    EXPECT_EQ(bar.ButtonCount(), 0);
    EXPECT_TRUE(bar.actions().isEmpty());
    bar.SetMenu(&main);
    EXPECT_EQ(bar.ButtonCount(), 5);
}
