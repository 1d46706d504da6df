#include "commands/FileNameParts.h"
#include "commands/TextReplace.h"

#include <gtest/gtest.h>

TEST(TextReplaceTest, ReplacesEveryOccurrence)
{
    EXPECT_EQ(ReplaceText("Aha", "a", "b", true), "bhb");
    EXPECT_EQ(ReplaceText("Aha", "a", "b", false), "Ahb");
    EXPECT_EQ(ReplaceText("ÜBER über", "über", "x", true), "x x");
    EXPECT_EQ(ReplaceText("aaa", "aa", "a", false), "aa");
    EXPECT_EQ(ReplaceText("text", "", "x", true), "text");
}

TEST(TextReplaceTest, NewNamesMustNameAFile)
{
    EXPECT_TRUE(IsUsableNewName("ÄÖÜ song", ""));
    EXPECT_FALSE(IsUsableNewName("", ".mp3"));
    EXPECT_FALSE(IsUsableNewName("..", ""));
    EXPECT_FALSE(IsUsableNewName("a/b", ".mp3"));
    EXPECT_FALSE(IsUsableNewName(QString("a") + QChar(0x7F), ".mp3"));
    // Marks that reorder the shown name: it would show other than it is.
    EXPECT_FALSE(IsUsableNewName(QStringLiteral("abc\u202Egnp.exe"), ".mp3"));
    EXPECT_FALSE(IsUsableNewName(QStringLiteral("a\u2066b"), ".mp3"));
    EXPECT_TRUE(IsUsableNewName(QString(251, 'x'), ".mp3"));
    EXPECT_FALSE(IsUsableNewName(QString(252, 'x'), ".mp3"));
    EXPECT_FALSE(IsUsableNewName(QString(126, QChar(0xE4)), ".mp3")); // 252 bytes in UTF-8 + 4

    EXPECT_EQ(SplitFileName("a.b.MP3").Stem, "a.b");
    EXPECT_EQ(SplitFileName("noext").Extension, "");
}
