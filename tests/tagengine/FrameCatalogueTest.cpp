#include "tagengine/EngineText.h"
#include "tagengine/FrameCatalogue.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cstring>

TEST(FrameCatalogue, TableHoldsAllFramesInOrderWithTheirKeys)
{
    ASSERT_EQ(ID3FrameNames.size(), 81u);
    EXPECT_STREQ(ID3FrameNames.front().ID, "TIT1");
    EXPECT_STREQ(ID3FrameNames[45].ID, "TXXX");
    EXPECT_STREQ(ID3FrameNames[55].ID, "MCDI");
    EXPECT_STREQ(ID3FrameNames.back().ID, "ASPI");

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
    EXPECT_EQ(v1Frames, (QStringList{"TIT2", "TALB", "TRCK", "TPE1", "TCON", "TDRC", "COMM"}));
}

TEST(FrameCatalogue, LookupsAreExactAndUnknownIDsGiveDefaults)
{
    EXPECT_TRUE(IsMultipleFrame("TXXX"));
    EXPECT_TRUE(IsMultipleFrame("COMM"));
    EXPECT_TRUE(IsMultipleFrame("SIGN"));
    EXPECT_FALSE(IsMultipleFrame("TIT2"));
    EXPECT_FALSE(IsMultipleFrame("txxx"));
    EXPECT_FALSE(IsMultipleFrame("XXXX"));

    EXPECT_TRUE(IsFrameInVersion("TDRC", ivID3v1));
    EXPECT_TRUE(IsFrameInVersion("TDRC", ivID3v2_3));
    EXPECT_FALSE(IsFrameInVersion("TMOO", ivID3v2_3));
    EXPECT_TRUE(IsFrameInVersion("TMOO", ivID3v2_4));
    EXPECT_FALSE(IsFrameInVersion("TIT1", ivID3v1));
    EXPECT_FALSE(IsFrameInVersion("XXXX", ivID3v2_4));

    EXPECT_EQ(FindFrameName("TIT2"), &ID3FrameNames[1]);
    EXPECT_EQ(FindFrameName(""), nullptr);
}

TEST(FrameCatalogue, NamesComeFromTheLanguageWithEnglishFallback)
{
    EXPECT_EQ(GetFrameName("TPE1"), "Artist");
    EXPECT_EQ(GetFrameDescription("TPE1"), "Name of Artist");
    EXPECT_EQ(GetFrameDescription("WCOP"), "web address  for information about the copyright of the record");
    EXPECT_EQ(GetFrameDescription("APIC"), "");
    EXPECT_EQ(GetFrameName("ZZZZ"), "");

    SetEngineTextLookup([](const QString& key) {
        return key == "FNameTPE1" ? QStringLiteral("Interpret") : QString();
    });
    EXPECT_EQ(GetFrameName("TPE1"), "Interpret");
    EXPECT_EQ(GetFrameName("TALB"), "Album");
    SetEngineTextLookup({});
}

TEST(FrameCatalogue, GenresByIndexAndName)
{
    ASSERT_EQ(ID3Genres.size(), 148u);
    EXPECT_EQ(GetGenreName(0), "Blues");
    EXPECT_EQ(GetGenreName(17), "Rock");
    EXPECT_EQ(GetGenreName(65), "Carbaret");
    EXPECT_EQ(GetGenreName(118), "Rhythimc Soul");
    EXPECT_EQ(GetGenreName(147), "Synthpop");
    EXPECT_EQ(GetGenreName(148), "");
    EXPECT_EQ(GetGenreName(-1), "");
    EXPECT_EQ(GetGenreName(255), "");

    EXPECT_EQ(FindGenreIndex("hard rock"), 79);
    EXPECT_EQ(FindGenreIndex("Synthpop"), 147);
    EXPECT_EQ(FindGenreIndex("Hard"), -1);
    EXPECT_EQ(FindGenreIndex(""), -1);
}

TEST(FrameCatalogue, LanguageTableIsSortedWithThreeDuplicates)
{
    ASSERT_EQ(ID3Languages.size(), 427u);
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
}

TEST(FrameCatalogue, LanguageLookupFindsTheFirstRow)
{
    EXPECT_EQ(GetLanguageName("ger"), "German");
    EXPECT_EQ(GetLanguageName("deu"), "German");
    EXPECT_EQ(GetLanguageName("eng"), "English");
    EXPECT_EQ(GetLanguageName("afa"), "Afro-Asiatic (Other)");
    EXPECT_EQ(GetLanguageName("mis"), "Miscellaneous (Other)");
    EXPECT_EQ(GetLanguageName("mul"), "Multiple Languages");
    EXPECT_EQ(GetLanguageName("und"), "Undetermined");
    EXPECT_EQ(GetLanguageName("ine"), "Indo-European (Other)");
    EXPECT_EQ(GetLanguageName("mak"), "Makasar");
    EXPECT_EQ(GetLanguageName("ssw"), "Swati");
    EXPECT_EQ(GetLanguageName("vol"), QString::fromUtf8("Volap\xC3\xBCk"));
    EXPECT_EQ(GetLanguageName("ENG"), "");
    EXPECT_EQ(GetLanguageName("xx"), "");
    EXPECT_EQ(GetLanguageName(""), "");
}
