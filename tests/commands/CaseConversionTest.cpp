#include "commands/CaseConversion.h"

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
    EXPECT_EQ(Words("ǆungla"), "ǅungla"); // a digraph takes its title-case form
    // Each line of a comment begins a word.
    EXPECT_EQ(Words("first line\r\nsecond line\nthird"), "First Line\r\nSecond Line\nThird");
}

TEST(CaseConversionTest, UnicodeWithoutLanguageRules)
{
    EXPECT_EQ(Words("ΟΔΟΣ ΑΣ"), "Οδος Ας");
    // No Turkish rules: i upper is I, I lower is i.
    EXPECT_EQ(ConvertCase("istanbul", cmUpper), "ISTANBUL");
    EXPECT_EQ(ConvertCase("ISTANBUL", cmLower), "istanbul");
    // Letters outside the basic plane (Deseret) are letters too.
    EXPECT_EQ(ConvertCase(QString::fromUtf8("\xF0\x90\x90\xA8x"), cmUpper), QString::fromUtf8("\xF0\x90\x90\x80X"));
    EXPECT_EQ(Words(QString::fromUtf8("\xF0\x90\x90\x80\xF0\x90\x90\x80 a")),
              QString::fromUtf8("\xF0\x90\x90\x80\xF0\x90\x90\xA8 A"));
}

TEST(CaseConversionTest, TextAlreadyInTheAskedCaseKeepsItsBytes)
{
    // A capital that is right is not rebuilt from its lower case: "İ" would
    // lose its dot to a combining one, a capital "ẞ" would become "ß".
    EXPECT_EQ(Words("İstanbul"), "İstanbul");
    EXPECT_EQ(ConvertCase("İstanbul", cmFirstOnly), "İstanbul");
    EXPECT_EQ(ConvertCase("İSTANBUL", cmUpper), "İSTANBUL");
    EXPECT_EQ(Words("ẞtraße"), "ẞtraße");
    EXPECT_EQ(ConvertCase("ǄEMAL", cmFirstOnly), "ǅemal");
    EXPECT_EQ(Words("ΑΣ.ΒΣ"), "Ασ.Βς"); // a sigma before ".Β" is no final one

    // Every mode applied to its own output changes nothing.
    const QStringList table = {"İstanbul izmir KİTAP", "straße STRASSE ẞ", "ǆungla ǅemal Ǆ", "ΟΔΟΣ ας σοφός ΑΣ.ΒΣ",
                               "rock'n'roll O’BRIEN d'Arc", "the BEST of (live) 4ever", "x", ""};
    for (const QString& text : table) {
        for (const int mode : {cmWords, cmUpper, cmLower, cmFirstOnly}) {
            const QString once = ConvertCase(text, mode);
            EXPECT_EQ(ConvertCase(once, mode), once) << "mode " << mode << ": " << text.toStdString();
        }
    }
}

TEST(CaseConversionTest, ConvertedTextIsComposed)
{
    // "İ" lower is "i" + a combining dot; upper or title case of that "i"
    // must give "İ" back, not "I" + the dot (other bytes, not NFC).
    const QString lowered = ConvertCase("İn Case", cmLower);
    EXPECT_EQ(lowered.toUtf8(), QByteArray("i\xCC\x87n case"));
    EXPECT_EQ(ConvertCase(lowered, cmFirstOnly).toUtf8(), QString("İn case").toUtf8());
    EXPECT_EQ(Words(lowered).toUtf8(), QString("İn Case").toUtf8());
    EXPECT_EQ(ConvertCase(lowered, cmUpper).toUtf8(), QString("İN CASE").toUtf8());
    // A decomposed text that is converted comes out composed; one already
    // in the mode's case keeps its bytes.
    const QString decomposed = QString::fromUtf8("CAFE\xCC\x81");
    EXPECT_EQ(ConvertCase(decomposed, cmLower).toUtf8(), QByteArray("caf\xC3\xA9"));
    EXPECT_EQ(ConvertCase(decomposed, cmUpper), decomposed);
    // A lone surrogate (a byte of a name that is not valid UTF-8) stays.
    const QString raw = QChar(0xDCE9) + QStringLiteral("AB");
    EXPECT_EQ(ConvertCase(raw, cmLower), QChar(0xDCE9) + QStringLiteral("ab"));
}

TEST(CaseConversionTest, OnlyWhatTheConversionChangedIsComposed)
{
    // The CJK compatibility ideograph U+F9D1 and the Hebrew shin with dots
    // U+FB2A have no case, and the ångström sign U+212B keeps its own at the
    // start of a word and in upper case: NFC of the whole text would replace
    // them (by U+516D, a decomposition, U+00C5).
    const QString caseless = QStringLiteral(u"\uF9D1 \uFB2A ");
    for (const int mode : {cmWords, cmUpper, cmLower, cmFirstOnly}) {
        const QString converted = ConvertCase(caseless + QStringLiteral(u"tItle"), mode);
        EXPECT_TRUE(converted.startsWith(caseless)) << "mode " << mode << ": " << converted.toStdString();
    }
    const QString title = QStringLiteral(u"\uF9D1 \uFB2A \u212B the best");
    EXPECT_EQ(Words(title), QStringLiteral(u"\uF9D1 \uFB2A \u212B The Best"));
    EXPECT_EQ(ConvertCase(QStringLiteral(u"a\uF9D1B \u212Bngstr\u00F6m"), cmUpper),
              QStringLiteral(u"A\uF9D1B \u212BNGSTR\u00D6M"));
    // Lowered inside a word, the ångström sign is a changed letter: "å".
    EXPECT_EQ(Words(QStringLiteral(u"\u212B\u212B")), QStringLiteral(u"\u212B\u00E5"));
    // A letter that changed is composed with its mark; the same letter and
    // mark the conversion left alone keep their code points.
    EXPECT_EQ(ConvertCase(QStringLiteral(u"CAFE\u0301 cafe\u0301"), cmLower),
              QStringLiteral(u"caf\u00E9 cafe\u0301"));
}

TEST(CaseConversionTest, FirstLetterUnknownModesAndLists)
{
    EXPECT_EQ(ConvertCase("éCOLE WORLD", cmFirstOnly), "École world");
    EXPECT_EQ(ConvertCase("MiXeD", 5), "MiXeD");
    // Every string of a list begins anew.
    EXPECT_EQ(ConvertCase(QStringList{"rock", "pop"}, cmFirstOnly), (QStringList{"Rock", "Pop"}));
}
