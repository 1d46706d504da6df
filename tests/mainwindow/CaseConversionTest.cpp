#include "mainwindow/CaseConversion.h"

#include <gtest/gtest.h>

namespace {

QString Words(const QString& text)
{
    return ConvertCase(text, cmWords);
}

}

TEST(CaseConversionTest, WordsBeginAfterSeparatorsOnly)
{
    EXPECT_EQ(Words("the BEST of (live)"), "The Best Of (Live)");
    EXPECT_EQ(Words("rock'n'roll"), "Rock'n'roll");
    EXPECT_EQ(Words("4ever young"), "4Ever Young");
    EXPECT_EQ(Words("AC/DC-live:at the.club;now"), "Ac/Dc-Live:At The.Club;Now");
    EXPECT_EQ(Words("snake_case #tag *star"), "Snake_case #Tag *Star");
    EXPECT_EQ(Words(""), "");
    EXPECT_EQ(Words("über alles"), "Über Alles");
    EXPECT_EQ(Words("ǆungla"), "ǅungla"); // a digraph takes its title-case form
    // Each line of a comment begins a word.
    EXPECT_EQ(Words("first line\r\nsecond line\nthird"), "First Line\r\nSecond Line\nThird");
}

TEST(CaseConversionTest, UnicodeWithoutLanguageRules)
{
    EXPECT_EQ(ConvertCase("über", cmUpper), "ÜBER");
    EXPECT_EQ(ConvertCase("straße", cmUpper), "STRASSE");
    EXPECT_EQ(ConvertCase("ΟΔΟΣ", cmLower), "οδος");
    EXPECT_EQ(Words("ΟΔΟΣ ΑΣ"), "Οδος Ας");
    // No Turkish rules: i upper is I, I lower is i.
    EXPECT_EQ(ConvertCase("istanbul", cmUpper), "ISTANBUL");
    EXPECT_EQ(ConvertCase("ISTANBUL", cmLower), "istanbul");
    // Letters outside the basic plane (Deseret) are letters too.
    EXPECT_EQ(ConvertCase(QString::fromUtf8("\xF0\x90\x90\xA8x"), cmUpper), QString::fromUtf8("\xF0\x90\x90\x80X"));
    EXPECT_EQ(Words(QString::fromUtf8("\xF0\x90\x90\x80\xF0\x90\x90\x80 a")),
              QString::fromUtf8("\xF0\x90\x90\x80\xF0\x90\x90\xA8 A"));
}

TEST(CaseConversionTest, FirstLetterAndOtherModes)
{
    EXPECT_EQ(ConvertCase("HELLO WORLD", cmFirstOnly), "Hello world");
    EXPECT_EQ(ConvertCase("", cmFirstOnly), "");
    EXPECT_EQ(ConvertCase("éCOLE", cmFirstOnly), "École");
    EXPECT_EQ(ConvertCase("MiXeD", 0), "MiXeD");
    EXPECT_EQ(ConvertCase("MiXeD", 5), "MiXeD");
}

TEST(CaseConversionTest, EveryStringOfAListBeginsAnew)
{
    EXPECT_EQ(ConvertCase(QStringList{"simon", "GARFUNKEL"}, cmWords), (QStringList{"Simon", "Garfunkel"}));
    EXPECT_EQ(ConvertCase(QStringList{"rock", "pop"}, cmFirstOnly), (QStringList{"Rock", "Pop"}));
    EXPECT_EQ(ConvertCase(QStringList{"rock", "pop"}, cmUpper), (QStringList{"ROCK", "POP"}));
}
