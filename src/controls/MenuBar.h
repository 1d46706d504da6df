#pragma once

#include <QMenu>
#include <QPointer>
#include <QToolBar>

#include <vector>

class QMenuBar;

// Puts the top-level items of a main menu into a tool bar, so that the menu
// sits in the tool-bar area beside other bars. The items live in a real menu
// bar inside the tool bar, so menu tracking works as everywhere: moving the
// mouse or the arrow keys from one open menu to the next, Alt + mnemonic.
// Each title shows its item's caption (never its picture) and follows the
// item's text, enabled state and visibility.
class TMenuBar : public QToolBar {
    Q_OBJECT
public:
    explicit TMenuBar(QWidget* parent = nullptr);

    QMenu* Menu() const { return m_menu; }
    // Binds the bar to a menu (not owned); the titles are rebuilt only when
    // the menu differs from the current one. nullptr removes every title.
    void SetMenu(QMenu* menu);

    int ButtonCount() const { return static_cast<int>(m_items.size()); }
    // The menu item shown at this place.
    QAction* Item(int index) const { return m_items.at(static_cast<size_t>(index)); }
    QMenuBar* Bar() const { return m_bar; }

private:
    void AddTitle(QAction* item);

    QPointer<QMenu> m_menu;
    QMenuBar* m_bar;
    std::vector<QAction*> m_items;
};
