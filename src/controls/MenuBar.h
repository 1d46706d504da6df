#pragma once

#include <QMenu>
#include <QPointer>
#include <QToolBar>

#include <vector>

class QShortcut;
class QToolButton;

// Shows the top-level items of a main menu as flat text buttons of a tool
// bar, so that the menu can sit in the tool-bar area beside other bars. Each
// button shows its item's caption and enabled state and opens its submenu;
// Alt + the caption's mnemonic opens it from the keyboard.
class TMenuBar : public QToolBar {
    Q_OBJECT
public:
    explicit TMenuBar(QWidget* parent = nullptr);

    QMenu* Menu() const { return m_menu; }
    // Binds the bar to a menu (not owned); the buttons are rebuilt only when
    // the menu differs from the current one. nullptr removes every button.
    void SetMenu(QMenu* menu);

    int ButtonCount() const { return static_cast<int>(m_buttons.size()); }
    QToolButton* Button(int index) const { return m_buttons.at(static_cast<size_t>(index)); }

private:
    void ClearButtons();
    void AddButton(QAction* item);
    void UpdateMnemonic(size_t index);

    QPointer<QMenu> m_menu;
    std::vector<QToolButton*> m_buttons;
    std::vector<QAction*> m_buttonActions; // own the buttons
    std::vector<QShortcut*> m_shortcuts;
};
