// Favourite folders: the menu, opening them through the tree, the organiser
// from the main window, and a rename in the tree.

#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"

#include "dialogs/FormFavoritesTestSupport.h"
#include "mainwindow/FormMenu.h"
#include "mainwindow/ShellTreeModel.h"

#include "localisation/MultiLanguage.h"

#include <QAction>
#include <QFileInfo>

namespace {

class FavoritesTest : public ::testing::Test {
protected:
    std::unique_ptr<TFQuillon> OpenAt(const QString& folder)
    {
        auto window = OpenWindowAt(folder);
        QCoreApplication::processEvents();
        return window;
    }

    // The favourites' items of the menu, after the two fixed ones and the
    // separator.
    static QList<QAction*> FavoriteItems(TFQuillon& window)
    {
        return window.FormMenu()->FavoritesMenu()->actions().mid(3);
    }

    TMainWindowEnvironment Env;
    TAnsweringPrompt Prompt;
};

}

TEST_F(FavoritesTest, FavouritesOpenTheirFoldersExactlyAsTheyAreNamed)
{
    const QString upper = Env.PathOf(QStringLiteral("Rock/"));
    const QString lower = Env.PathOf(QStringLiteral("rock/"));
    ASSERT_TRUE(WriteMp3WithFrames(upper + QStringLiteral("upper.mp3"), {{"TIT2", Text("U")}}));
    ASSERT_TRUE(WriteMp3WithFrames(lower + QStringLiteral("lower.mp3"), {{"TIT2", Text("L")}}));
    auto window = OpenAt(QDir::cleanPath(upper));

    // Added under the name the user gives; the folder's name is offered.
    Prompt.Inputs.push_back(QStringLiteral("Rock & Roll"));
    window->Action(QStringLiteral("ActAddToFavorites"))->trigger();
    EXPECT_EQ(Prompt.Offered, QStringList({"Rock"}));
    window->Favorites().Add(QStringLiteral("small rock"), QDir::cleanPath(lower));
    window->Favorites().Add(QStringLiteral("Rock & Roll"), QDir::cleanPath(upper)); // names may repeat
    window->BuildFavoritesMenu();
    QList<QAction*> items = FavoriteItems(*window);
    ASSERT_EQ(items.size(), 3);
    // "&" is shown, not taken as an accelerator.
    EXPECT_EQ(items[0]->text(), QStringLiteral("Rock && Roll"));

    // The folder differing only in case is another folder.
    items[1]->trigger();
    QCoreApplication::processEvents(); // the tree's change loads its folder
    ASSERT_EQ(window->Entries().size(), 1u);
    EXPECT_EQ(window->Entries()[0]->FileName, QStringLiteral("lower.mp3"));
    items[0]->trigger();
    QCoreApplication::processEvents();

    // A favourite whose folder is gone says so; nothing moves.
    ASSERT_TRUE(QDir(lower).removeRecursively());
    items[1]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(Prompt.Errors, QStringList({Lang("FavoriteNotFound")}));
    EXPECT_EQ(window->TreePath(), QDir::cleanPath(upper));
    // An index outside the favourites beeps.
    window->OpenFavorite(3);
    EXPECT_EQ(Prompt.Beeps, 1);

    // The organiser's OK rebuilds the menu; the fixed items stay.
    Prompt.OnModal = [](QDialog& dialog) {
        auto& organiser = dynamic_cast<TFormFavorites&>(dialog);
        SelectNode(organiser, 1);
        organiser.actDelete->trigger();
        return int(QDialog::Accepted);
    };
    window->Action(QStringLiteral("ActOrganizeFavorites"))->trigger();
    EXPECT_EQ(FavoriteItems(*window).size(), 2);
}

TEST_F(FavoritesTest, AFolderRenamedHereKeepsItsFavourites)
{
    const QString album = Env.PathOf(QStringLiteral("Old/Album/"));
    ASSERT_TRUE(WriteMp3WithFrames(album + QStringLiteral("a.mp3"), {{"TIT2", Text("A")}}));
    const QString other = QDir::cleanPath(Env.PathOf(QStringLiteral("Older/")));
    auto window = OpenAt(other);
    const QString base = QFileInfo(other).path(); // paths made by hand: the folders must not exist yet
    window->Favorites().Add(QStringLiteral("album"), QDir::cleanPath(album));
    window->Favorites().Add(QStringLiteral("old"), base + QStringLiteral("/Old"));
    window->Favorites().Add(QStringLiteral("other"), other);
    window->BuildFavoritesMenu();

    const QModelIndex old = window->ShellTreeModel->index(base + QStringLiteral("/Old"));
    ASSERT_TRUE(window->ShellTreeView1Edited(old, QStringLiteral("New")));
    QCoreApplication::processEvents();
    // "Older" only begins alike.
    EXPECT_EQ(Pairs(window->Favorites()),
              QStringList({"album=" + base + "/New/Album", "old=" + base + "/New", "other=" + other}));
    FavoriteItems(*window).at(0)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(window->Entries().size(), 1u);
}
