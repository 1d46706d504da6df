#include "tagengine/EngineText.h"
#include "tagengine/FrameCatalogue.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cstring>

TEST(FrameCatalogue, RowsAreUniqueAndKeyedByTheirIDs)
{
    QSet<QString> ids;
    for (const TID3FrameName& row : ID3FrameNames) {
        const QString id = QLatin1String(row.ID);
        ids.insert(id);
        EXPECT_EQ(QLatin1String(row.NameKey), QStringLiteral("FName") + id);
        EXPECT_EQ(QLatin1String(row.DescKey), QStringLiteral("FDesc") + id);
        EXPECT_TRUE(row.Versions & ivID3v2_4) << row.ID;
    }
    EXPECT_EQ(size_t(ids.size()), ID3FrameNames.size());
}

TEST(FrameCatalogue, FrameAndGenreLookupsAreExactAndUnknownsGiveDefaults)
{
    EXPECT_TRUE(IsMultipleFrame("TXXX"));
    EXPECT_FALSE(IsMultipleFrame("txxx"));
    EXPECT_FALSE(IsFrameInVersion("TMOO", ivID3v2_3));
    EXPECT_TRUE(IsFrameInVersion("TMOO", ivID3v2_4));
    EXPECT_FALSE(IsFrameInVersion("XXXX", ivID3v2_4));

    EXPECT_EQ(GetGenreName(147), "Synthpop");
    EXPECT_EQ(GetGenreName(148), "");
    EXPECT_EQ(GetGenreName(-1), "");
    EXPECT_EQ(FindGenreIndex("hard rock"), 79);
    EXPECT_EQ(FindGenreIndex("Hard"), -1);
}

TEST(FrameCatalogue, NamesComeFromTheLanguageWithEnglishFallback)
{
    EXPECT_EQ(GetFrameName("TPE1"), "Artist");
    EXPECT_EQ(GetFrameDescription("APIC"), "");
    EXPECT_EQ(GetFrameName("ZZZZ"), "");

    SetEngineTextLookup([](const QString& key) {
        return key == "FNameTPE1" ? QStringLiteral("Interpret") : QString();
    });
    EXPECT_EQ(GetFrameName("TPE1"), "Interpret");
    EXPECT_EQ(GetFrameName("TALB"), "Album");
    SetEngineTextLookup({});
}

TEST(FrameCatalogue, LanguageTableIsSortedAndLookupsFindTheFirstOfThreeDuplicates)
{
    QStringList duplicates;
    for (std::size_t i = 1; i < ID3Languages.size(); ++i) {
        const int order = std::strcmp(ID3Languages[i - 1].Code, ID3Languages[i].Code);
        EXPECT_LE(order, 0) << ID3Languages[i].Code;
        if (order == 0)
            duplicates << QLatin1String(ID3Languages[i].Code);
    }
    EXPECT_EQ(duplicates, (QStringList{"ine", "mak", "ssw"}));

    EXPECT_EQ(GetLanguageName("ine"), "Indo-European (Other)");
    EXPECT_EQ(GetLanguageName("mak"), "Makasar");
    EXPECT_EQ(GetLanguageName("ssw"), "Swati");
    EXPECT_EQ(GetLanguageName("ENG"), "");
}
