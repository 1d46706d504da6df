#include "tagengine/EngineText.h"
#include "tagengine/FrameCatalogue.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cstring>

TEST(FrameCatalogue, TableHoldsAllFramesInOrderWithTheirKeys)
{
    QSet<QString> ids;
    QStringList v1Frames;
    for (const TID3FrameName& row : ID3FrameNames) {
        const QString id = QLatin1String(row.ID);
        EXPECT_EQ(id.size(), 4) << row.ID;
        ids.insert(id);
        EXPECT_EQ(QLatin1String(row.NameKey), QStringLiteral("FName") + id);
        EXPECT_EQ(QLatin1String(row.DescKey), QStringLiteral("FDesc") + id);
        EXPECT_TRUE(row.Versions & ivID3v2_4) << row.ID;
        if (row.Versions & ivID3v1)
            v1Frames << id;
    }
    EXPECT_EQ(ids.size(), 81);
    EXPECT_EQ(ID3FrameNames.size(), 81u);
    EXPECT_EQ(v1Frames, (QStringList{"TIT2", "TALB", "TRCK", "TPE1", "TCON", "TDRC", "COMM"}));
}

TEST(FrameCatalogue, FrameAndGenreLookupsAreExactAndUnknownsGiveDefaults)
{
    EXPECT_TRUE(IsMultipleFrame("TXXX"));
    EXPECT_FALSE(IsMultipleFrame("TIT2"));
    EXPECT_FALSE(IsMultipleFrame("txxx"));
    EXPECT_FALSE(IsMultipleFrame("XXXX"));

    EXPECT_TRUE(IsFrameInVersion("TDRC", ivID3v1));
    EXPECT_FALSE(IsFrameInVersion("TMOO", ivID3v2_3));
    EXPECT_TRUE(IsFrameInVersion("TMOO", ivID3v2_4));
    EXPECT_FALSE(IsFrameInVersion("XXXX", ivID3v2_4));

    EXPECT_EQ(FindFrameName("TIT2"), &ID3FrameNames[1]);
    EXPECT_EQ(FindFrameName(""), nullptr);

    // Genres by index and by name.
    EXPECT_EQ(GetGenreName(0), "Blues");
    EXPECT_EQ(GetGenreName(147), "Synthpop");
    EXPECT_EQ(GetGenreName(148), "");
    EXPECT_EQ(GetGenreName(-1), "");

    EXPECT_EQ(FindGenreIndex("hard rock"), 79);
    EXPECT_EQ(FindGenreIndex("Hard"), -1);
    EXPECT_EQ(FindGenreIndex(""), -1);
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
    for (std::size_t i = 0; i < ID3Languages.size(); ++i) {
        const QString code = QLatin1String(ID3Languages[i].Code);
        EXPECT_EQ(code.size(), 3) << ID3Languages[i].Code;
        EXPECT_EQ(code, code.toLower());
        EXPECT_GT(std::strlen(ID3Languages[i].Name), 0u);
        if (i > 0) {
            const int order = std::strcmp(ID3Languages[i - 1].Code, ID3Languages[i].Code);
            EXPECT_LE(order, 0) << ID3Languages[i].Code;
            if (order == 0)
                duplicates << code;
        }
    }
    EXPECT_EQ(duplicates, (QStringList{"ine", "mak", "ssw"}));

    EXPECT_EQ(GetLanguageName("ger"), "German");
    EXPECT_EQ(GetLanguageName("afa"), "Afro-Asiatic (Other)");
    EXPECT_EQ(GetLanguageName("und"), "Undetermined");
    EXPECT_EQ(GetLanguageName("ine"), "Indo-European (Other)");
    EXPECT_EQ(GetLanguageName("mak"), "Makasar");
    EXPECT_EQ(GetLanguageName("ssw"), "Swati");
    EXPECT_EQ(GetLanguageName("vol"), QString::fromUtf8("Volap\xC3\xBCk"));
    EXPECT_EQ(GetLanguageName("ENG"), "");
    EXPECT_EQ(GetLanguageName("xx"), "");
}
