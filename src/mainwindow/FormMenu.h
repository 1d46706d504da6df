#pragma once

#include <QString>

#include <initializer_list>
#include <memory>
#include <vector>

class QMenu;
class TFQuillon;

// Carries the main menu, built from the main window's actions (each item is
// bound to the action of its name, which gives caption, hint, image and
// state). Never shown itself: the main window's menu tool bar shows it.
class TFormMenu {
public:
    explicit TFormMenu(TFQuillon& owner);
    ~TFormMenu();
    TFormMenu(const TFormMenu&) = delete;
    TFormMenu& operator=(const TFormMenu&) = delete;

    // The top-level items, each with its submenu.
    QMenu* MainMenu() const { return m_mainMenu; }
    // The favourites submenu (fixed items "add", "organize", a separator).
    QMenu* FavoritesMenu() const { return m_favorites; }

private:
    // A submenu bound to the action `parentAction`, holding the actions
    // named in `items` ("-" is a separator).
    QMenu* AddSubmenu(QMenu* into, const char* parentAction, std::initializer_list<const char*> items);
    QMenu* NewMenu();
    void Fill(QMenu* menu, std::initializer_list<const char*> items);

    TFQuillon& m_owner;
    std::vector<std::unique_ptr<QMenu>> m_menus;
    QMenu* m_mainMenu = nullptr;
    QMenu* m_favorites = nullptr;
};
