// The favourites organiser on its own.

#include "DialogTestSupport.h"
#include "FormFavoritesTestSupport.h"
#include "support/gui/MainWindowTestSupport.h"

#include <QAction>
#include <QDialog>

#include <gtest/gtest.h>

namespace {

class FavoritesTest : public ::testing::Test {
protected:
    TMainWindowEnvironment Env;
    TAnsweringPrompt Prompt;
};

// Runs the organiser with a script that works on its tree.
bool Organise(TAnsweringPrompt& prompt, TNameValueCollection& favorites,
              const std::function<int(TFormFavorites&)>& script)
{
    prompt.OnModal = [&script](QDialog& dialog) { return script(dynamic_cast<TFormFavorites&>(dialog)); };
    TFormFavorites organiser;
    const bool applied = organiser.Execute(favorites);
    prompt.OnModal = nullptr;
    return applied;
}

TNameValueCollection FourFavorites()
{
    TNameValueCollection favorites;
    for (const char* name : {"one", "two", "three", "four"})
        favorites.Add(QString::fromLatin1(name), QStringLiteral("/music/") + QString::fromLatin1(name));
    return favorites;
}

}

TEST_F(FavoritesTest, TheOrganiserRenamesAndDeletesOnlyOnOk)
{
    TNameValueCollection favorites = FourFavorites();
    const bool applied = Organise(Prompt, favorites, [](TFormFavorites& organiser) {
        EXPECT_EQ(organiser.TreeView1->topLevelItemCount(), 4);
        EXPECT_FALSE(organiser.actDelete->isEnabled()); // nothing selected yet
        EXPECT_FALSE(organiser.actRename->isEnabled());
        SelectNode(organiser, 0);
        EXPECT_TRUE(organiser.actDelete->isEnabled());
        organiser.actDelete->trigger(); // "one"
        SelectNode(organiser, 1);
        organiser.actDelete->trigger(); // "three"
        organiser.TreeView1->topLevelItem(0)->setText(0, QStringLiteral("second & best"));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(applied);
    EXPECT_EQ(Pairs(favorites), QStringList({"second & best=/music/two", "four=/music/four"}));

    // Cancel after deletions and an empty name leaves everything.
    const TNameValueCollection before = FourFavorites();
    favorites = before;
    EXPECT_FALSE(Organise(Prompt, favorites, [](TFormFavorites& organiser) {
        SelectNode(organiser, 2);
        organiser.actDelete->trigger();
        organiser.TreeView1->topLevelItem(0)->setText(0, QString());
        return int(QDialog::Rejected);
    }));
    EXPECT_EQ(favorites, before);

    // Any text is taken, the empty one too; deleting everything is allowed.
    EXPECT_TRUE(Organise(Prompt, favorites, [](TFormFavorites& organiser) {
        organiser.TreeView1->topLevelItem(3)->setText(0, QString());
        for (int i = 0; i < 3; ++i) {
            SelectNode(organiser, 0);
            organiser.actDelete->trigger();
        }
        return int(QDialog::Accepted);
    }));
    EXPECT_EQ(Pairs(favorites), QStringList({"=/music/four"}));
}
