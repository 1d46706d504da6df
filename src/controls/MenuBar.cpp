#include "controls/MenuBar.h"

#include <QAction>
#include <QMenuBar>

TMenuBar::TMenuBar(QWidget* parent) : QToolBar(parent), m_bar(new QMenuBar(this))
{
    setObjectName(QStringLiteral("MenuBar1"));
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Inside a tool bar the menu bar must not become the platform's global one.
    m_bar->setNativeMenuBar(false);
    addWidget(m_bar);
}

void TMenuBar::SetMenu(QMenu* menu)
{
    if (menu == m_menu)
        return;
    m_bar->clear();
    m_items.clear();
    m_menu = menu;
    if (!menu)
        return;
    for (QAction* item : menu->actions())
        if (!item->isSeparator())
            AddTitle(item);
}

void TMenuBar::AddTitle(QAction* item)
{
    // A title of our own that opens the item's submenu: the menu bar would
    // show the item's picture instead of its caption.
    auto* title = new QAction(m_bar);
    title->setMenu(item->menu());
    const auto follow = [title, item] {
        title->setText(item->text());
        title->setEnabled(item->isEnabled());
        title->setVisible(item->isVisible());
    };
    follow();
    connect(item, &QAction::changed, title, follow);
    if (!item->menu())
        connect(title, &QAction::triggered, item, &QAction::trigger);
    m_bar->addAction(title);
    m_items.push_back(item);
}
