#include "EnglishTexts.h"

#include "common/InputPages.h"
#include "common/StoredNames.h"

#include <stdexcept>

// The dialogs work on a copy of the default layout; it must stay as built.
TEST(InputPageTest, CopiesOfTheDefaultLayoutLeaveItAsBuilt)
{
    TEingabeSeiten working = DefaultInputPages();
    working.Items(0).FrameIDs.clear();
    working.Items(1).Title = QStringLiteral("Renamed");
    working.Add(QStringLiteral("Third"));
    EXPECT_EQ(DefaultInputPages().Count(), 2);
    EXPECT_FALSE(DefaultInputPages().Items(0).FrameIDs.isEmpty());
    EXPECT_EQ(DefaultInputPages().Items(1).Title, QStringLiteral("%PageAdditionalTitle"));
    working.Assign(DefaultInputPages());
    working.Assign(working);
    ASSERT_EQ(working.Count(), 2);
    EXPECT_EQ(working.Items(0).FrameIDs, DefaultInputPages().Items(0).FrameIDs);
}

TEST(InputPagesListTest, PagesKeepTheirPlaceAndBadIndexesAreRefused)
{
    TEingabeSeiten pages;
    EXPECT_THROW(pages.Items(0), std::out_of_range);
    TEingabeSeite& first = pages.Add(QStringLiteral("One"));
    first.FrameIDs.append(QStringLiteral("TPE1"));
    for (int i = 0; i < 100; ++i)
        pages.Add(QString::number(i));
    // A page handed out by Add stays valid while others are added.
    EXPECT_EQ(&pages.Items(0), &first);
    EXPECT_EQ(first.FrameIDs, QStringList({"TPE1"}));

    pages.Clear();
    pages.Add(QStringLiteral("B"));
    pages.Insert(0, QStringLiteral("A"));
    EXPECT_THROW(pages.Insert(3, QStringLiteral("X")), std::out_of_range);
    EXPECT_FALSE(pages.Delete(2));
    EXPECT_TRUE(pages.Delete(0));
    EXPECT_EQ(pages.Items(0).Title, QStringLiteral("B"));
    EXPECT_THROW(pages.Items(-1), std::out_of_range);
}

using StoredTitlesTest = EnglishTextsTest;

TEST_F(StoredTitlesTest, BuiltInTitlesAreShownTranslatedAndStoredAsKeys)
{
    EXPECT_EQ(ShownName(DefaultInputPages().Items(0).Title), QStringLiteral("General"));
    EXPECT_EQ(ShownName(DefaultInputPages().Items(1).Title), QStringLiteral("Additional"));
    EXPECT_EQ(StoredInputPageTitle(QStringLiteral("General")), QStringLiteral("%PageGeneralTitle"));
    // Anything else is the user's and stays as typed, case included.
    EXPECT_EQ(StoredInputPageTitle(QStringLiteral("general")), QStringLiteral("general"));
    EXPECT_EQ(StoredInputPageTitle(QString()), QString());
}
