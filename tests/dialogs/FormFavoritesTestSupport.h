#pragma once

// The favourites organiser as the user works it, and favourites as
// "name=folder" pairs.

#include "common/NameValueCollection.h"
#include "dialogs/FormFavorites.h"

#include <QStringList>
#include <QTreeWidget>

// "name=folder" for each favourite.
inline QStringList Pairs(const TNameValueCollection& favorites)
{
    QStringList pairs;
    for (int i = 0; i < favorites.Count(); ++i)
        pairs << favorites.Names(i) + QLatin1Char('=') + favorites.Values(i);
    return pairs;
}

inline void SelectNode(TFormFavorites& organiser, int row)
{
    organiser.TreeView1->setCurrentItem(organiser.TreeView1->topLevelItem(row));
}
