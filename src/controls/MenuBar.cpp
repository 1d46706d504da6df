#include "controls/MenuBar.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>

TMenuBar::TMenuBar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("MenuBar1"));
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void TMenuBar::SetMenu(QMenu* menu)
{
    if (menu == m_menu)
        return;
    ClearButtons();
    m_menu = menu;
    if (!menu)
        return;
    for (QAction* item : menu->actions())
        if (!item->isSeparator())
            AddButton(item);
}

void TMenuBar::ClearButtons()
{
    while (!m_buttons.empty()) {
        delete m_shortcuts.back();
        delete m_buttonActions.back();
        m_shortcuts.pop_back();
        m_buttonActions.pop_back();
        m_buttons.pop_back();
    }
}

void TMenuBar::AddButton(QAction* item)
{
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setDefaultAction(item); // sets a popup mode of its own
    button->setPopupMode(QToolButton::InstantPopup);
    // A menu title, not a drop-down button: no arrow.
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    m_buttonActions.push_back(addWidget(button));
    auto* shortcut = new QShortcut(this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, button, [button] {
        if (button->isEnabled())
            button->showMenu();
    });
    m_buttons.push_back(button);
    m_shortcuts.push_back(shortcut);
    const size_t index = m_buttons.size() - 1;
    connect(item, &QAction::changed, shortcut, [this, index] { UpdateMnemonic(index); });
    UpdateMnemonic(index);
}

void TMenuBar::UpdateMnemonic(size_t index)
{
    if (index >= m_buttons.size())
        return;
    QAction* item = m_buttons[index]->defaultAction();
    const QKeySequence mnemonic = item ? QKeySequence::mnemonic(item->text()) : QKeySequence();
    m_shortcuts[index]->setKey(mnemonic);
}
