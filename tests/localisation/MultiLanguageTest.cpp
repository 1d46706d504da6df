#include "LocalisationTestSupport.h"

#include "localisation/MultiLanguage.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

class MultiLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LangStrings.SetCustomLangStrings(TLanguageLines::FromBytes(LanguageFileBytes({
            "Language=Deutsch",
            "##### GeneralLabels ####",
            "OK=OK",
            "Cancel=Abbrechen",
            "OnlyBase=Basis",
            "Escapes=a\\nb|a\\\\b|\\x|a\\",
            "Files=%0:s Dateien",
            "Exists=Die Datei \"%0:s\" gibt es schon.",
            "Caption=Umbenennen",
        })));
        LangStrings.SetCurrentLangStrings(TLanguageLines::FromBytes(LanguageFileBytes({
            "Language=English",
            "OK=Okay",
            "ok=second line never wins",
            "Cancel=",
            " Spaced = kept ",
            "Equals=a=b",
            "Files=%0:s files",
            "Swapped=%1:s before %0:s",
            "Caption=Rename",
        })));
    }

    TLanguageStateGuard m_guard;
};

TEST_F(MultiLanguageTest, LooksUpKeysAndCaptionKeysInTheChosenLanguageThenTheBase)
{
    EXPECT_TRUE(LangStrings.IsLanguageLoaded());
    EXPECT_EQ(Lang("OK"), "Okay");
    EXPECT_EQ(Lang("ok"), "Okay");            // keys ignore case; first line wins
    EXPECT_EQ(Lang("Cancel"), "Abbrechen");   // empty value falls back to the base
    EXPECT_EQ(Lang("OnlyBase"), "Basis");
    EXPECT_EQ(Lang("Missing"), "");
    EXPECT_EQ(Lang("Equals"), "a=b");
    EXPECT_EQ(Lang(" Spaced "), " kept ");    // neither key nor value is trimmed
    EXPECT_EQ(Lang("Escapes"), "a\r\nb|a\\b|x|a\\"); // resolved once

    // Caption keys ("%Key") are looked up the same way.
    const auto translated = [](QString text, bool expectKey) {
        EXPECT_EQ(LangStrings.TranslateText(text), expectKey) << text.toStdString();
        return text;
    };
    EXPECT_EQ(translated("%OK", true), "Okay");
    EXPECT_EQ(translated("%", false), "%");
    EXPECT_EQ(translated("%%OK", true), "%OK");
    EXPECT_EQ(translated("%Unknown", true), "");
    EXPECT_EQ(translated("OK", false), "OK");
    LangStrings.SetCurrentLangStrings(TLanguageLines());
    EXPECT_FALSE(LangStrings.IsLanguageLoaded());
    EXPECT_EQ(Lang("OK"), "OK");
}

TEST_F(MultiLanguageTest, FormatsPositionalArguments)
{
    EXPECT_EQ(LangFmt("Files", {"3"}), "3 files");
    EXPECT_EQ(LangFmt("Swapped", {"one", "two"}), "two before one");
    // Nothing fits: the text stands as it is.
    EXPECT_EQ(LangFmt("Files", {3}), "%0:s files");
    // A placeholder in an argument is not expanded again.
    EXPECT_EQ(LangFmt("Swapped", {"%1:s", "%0:s"}), "%0:s before %1:s");
    // A caption that leaves the name out in every language stays as it is.
    EXPECT_EQ(LangFmt("Caption", {"a.mp3"}), "Rename");

    // A translation whose placeholders do not fit shows the base text with
    // the file name, never its raw pattern.
    const QString base = "Die Datei \"a.mp3\" gibt es schon.";
    for (const char* broken : {"The file already exists.", "The file \"%999:s\" already exists.",
                               "The file \"%n\" already exists.", "The file \"%0:d\" already exists.",
                               "The file \"%1:s\" already exists."}) {
        const QString line = QStringLiteral("Exists=") + QString::fromLatin1(broken);
        LangStrings.SetCurrentLangStrings(TLanguageLines::FromLines({"Language=Broken", line}));
        EXPECT_EQ(LangFmt("Exists", {"a.mp3"}), base) << broken;
    }
    LangStrings.SetCurrentLangStrings(TLanguageLines::FromLines({"Language=Good", "Exists=\"%0:s\" exists."}));
    EXPECT_EQ(LangFmt("Exists", {"a.mp3"}), "\"a.mp3\" exists.");
}

TEST(LanguageLinesTest, DecodesWindows1252AndUtf8AndTrimsOnlyBlanksAndControlCharacters)
{
    // 0x80 is the euro sign in Windows-1252; 0xE4 is a-umlaut.
    const TLanguageLines cp1252 = TLanguageLines::FromBytes("A=\x80\xE4\r\nB=x");
    EXPECT_EQ(cp1252.Value("A"), QString::fromUtf8("€ä"));
    const TLanguageLines utf8 = TLanguageLines::FromBytes("\xEF\xBB\xBF" "A=\xE2\x82\xAC\xC3\xA4\nB=x");
    EXPECT_EQ(utf8.Value("A"), QString::fromUtf8("€ä"));
    EXPECT_EQ(utf8.Count(), 2);

    // CR, LF and CR LF all end lines; a NUL ends the text.
    const TLanguageLines mixed = TLanguageLines::FromBytes(QByteArray("A=1\rB=2\nC=3\r\n\r\nD=4\0E=5", 22));
    EXPECT_EQ(mixed.Lines(), QStringList({"A=1", "B=2", "C=3", "", "D=4"}));
    EXPECT_FALSE(mixed.HasKey("E"));

    // A no-break space (0xA0) is text, not a blank.
    EXPECT_EQ(TrimBlanks(QString::fromUtf8("\t\x01 \u00A0x\u00A0 \r")), QString::fromUtf8("\u00A0x\u00A0"));
    EXPECT_EQ(TrimBlanks(QByteArray("\x01 \xA0x \x1F")), QByteArray("\xA0x"));
}

}
