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
    m_menu = menu;
    if (!menu)
        return;
    for (QAction* item : menu->actions())
        if (!item->isSeparator())
            m_bar->addAction(item);
}

int TMenuBar::ButtonCount() const
{
    return static_cast<int>(m_bar->actions().size());
}

QAction* TMenuBar::Item(int index) const
{
    return m_bar->actions().value(index);
}
