// The favourite folders: the favourites menu, adding the tree's folder,
// opening a favourite and the organiser.
#include "mainwindow/FQuillon.h"

#include "dialogs/FormFavorites.h"
#include "mainwindow/FormMenu.h"
#include "controls/Guarded.h"
#include "controls/ImageLists.h"

#include "localisation/MultiLanguage.h"
#include "platform/NativePath.h"
#include "platform/PathMoves.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

// Marks the menu items the last build created.
const char* const FavoriteItemProperty = "quillonFavorite";

// A name as the user typed it: no letter after "&" becomes an accelerator
// and a tab does not split the caption.
QString MenuCaption(const QString& name)
{
    QString caption = name;
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    caption.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return caption;
}

}

void TFQuillon::BindFavoriteActions()
{
    // The menu holds at most MaxFavorites of them.
    BindAction(QStringLiteral("ActAddToFavorites"), [this] { ActAddToFavoritesExecute(); },
               [this] { return m_favorites.Count() < MaxFavorites; });
    BindAction(QStringLiteral("ActOrganizeFavorites"), [this] { ActOrganizeFavoritesExecute(); });
    BuildFavoritesMenu();
}

void TFQuillon::BuildFavoritesMenu()
{
    QMenu* menu = m_formMenu->FavoritesMenu();
    for (QAction* item : menu->actions()) {
        if (!item->property(FavoriteItemProperty).toBool())
            continue;
        menu->removeAction(item);
        item->deleteLater(); // it may be the item whose click runs now
    }
    const QIcon icon = ImageLists::ToolButtonImages().at(ImageLists::tiFavorite);
    for (int i = 0; i < m_favorites.Count(); ++i) {
        auto* item = new QAction(icon, MenuCaption(m_favorites.Names(i)), menu);
        item->setProperty(FavoriteItemProperty, true);
        item->setData(i);
        item->setStatusTip(m_favorites.Values(i));
        connect(item, &QAction::triggered, this, [this, i] {
            RunGuarded(this, [this, i] { OpenFavorite(i); });
            UpdateActions();
        });
        menu->addAction(item);
    }
}

void TFQuillon::FavoritesFollowMoves(const TPathMoves& moves)
{
    // A folder renamed or moved here keeps its favourites, as it keeps its
    // place in the histories.
    bool changed = false;
    for (int i = 0; i < m_favorites.Count(); ++i) {
        const QString folder = ResolveShownPath(QDir::cleanPath(m_favorites.Values(i)));
        if (const std::optional<QString> moved = moves.NewPathOf(folder)) {
            m_favorites.SetValue(i, ShownPath(*moved));
            changed = true;
        }
    }
    if (changed)
        BuildFavoritesMenu();
}

void TFQuillon::OpenFavorite(int index)
{
    if (index < 0 || index >= m_favorites.Count()) {
        CurrentPrompt()->Beep();
        return;
    }
    // Stored as shown: a folder whose name is not valid UTF-8 is found by
    // its bytes.
    const QString folder = ResolveShownPath(QDir::cleanPath(m_favorites.Values(index)));
    if (!IsFolderPath(folder)) {
        CurrentPrompt()->Error(this, Lang("FavoriteNotFound"));
        return;
    }
    // Paths compare exactly: two folders may differ only in case.
    if (folder != QDir::cleanPath(TreePath()))
        SetTreePath(folder);
}

void TFQuillon::ActAddToFavoritesExecute()
{
    const QString path = TreePath();
    if (path.isEmpty() || !IsFolderPath(path) || m_favorites.Count() >= MaxFavorites) {
        CurrentPrompt()->Beep();
        return;
    }
    const QString shown = ShownPath(path);
    const QString lastElement = QFileInfo(shown).fileName();
    const std::optional<QString> name = CurrentPrompt()->Input(this, Lang("NewFavoriteTitle"), Lang("NewFavoriteText"),
                                                               lastElement.isEmpty() ? shown : lastElement);
    if (!name)
        return;
    m_favorites.Add(*name, shown);
    BuildFavoritesMenu();
}

void TFQuillon::ActOrganizeFavoritesExecute()
{
    TFormFavorites organiser(this);
    if (organiser.Execute(m_favorites))
        BuildFavoritesMenu();
}
