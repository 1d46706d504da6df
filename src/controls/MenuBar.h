#pragma once

#include <QMenu>
#include <QPointer>
#include <QToolBar>

class QMenuBar;

// Puts the top-level items of a main menu into a tool bar, so that the menu
// sits in the tool-bar area beside other bars. The items live in a real menu
// bar inside the tool bar, so menu tracking works as everywhere: moving the
// mouse or the arrow keys from one open menu to the next, Alt + mnemonic, and
// captions and enabled states that follow the items.
class TMenuBar : public QToolBar {
    Q_OBJECT
public:
    explicit TMenuBar(QWidget* parent = nullptr);

    QMenu* Menu() const { return m_menu; }
    // Binds the bar to a menu (not owned); the items are rebuilt only when the
    // menu differs from the current one. nullptr removes every item.
    void SetMenu(QMenu* menu);

    int ButtonCount() const;
    // The menu item shown at this place.
    QAction* Item(int index) const;
    QMenuBar* Bar() const { return m_bar; }

private:
    QPointer<QMenu> m_menu;
    QMenuBar* m_bar;
};
