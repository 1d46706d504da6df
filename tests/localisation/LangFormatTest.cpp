#include "localisation/LangFormat.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

QString Format(const QString& pattern, const TLangArgs& args)
{
    return FormatPositional(pattern, args).value_or(QStringLiteral("<failed>"));
}

TEST(LangFormatTest, FillsTextsIntegersAndRealNumbers)
{
    EXPECT_EQ(Format("%s and %s", {"a", "b"}), "a and b");
    EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b", "c"}), "b a b"); // after an index, the next one follows it
    EXPECT_EQ(Format("100%% %d", {-7}), "100% -7");
    EXPECT_EQ(Format("[%5s|%-5s|%.2s]", {"ab", "cd", "xyz"}), "[   ab|cd   |xy]");
    EXPECT_EQ(Format("%.3d %x %u", {7, 255, 9}), "007 FF 9");
    EXPECT_EQ(Format("%*d", {4, 1}), "   1");
    EXPECT_EQ(Format("%0:-4d|", {1}), "1   |");

    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(Format("%.1f", {2.24}), "2.2");
    EXPECT_EQ(Format("%n", {1234567.891}), "1,234,567.89");
    EXPECT_EQ(Format("%.3e", {12345.0}), "1.23E+004");
    EXPECT_EQ(Format("%g", {0.5}), "0.5");
    QLocale::setDefault(previous);
}

TEST(LangFormatTest, RefusesWhatDoesNotFit)
{
    EXPECT_FALSE(FormatPositional("%0:s", {}));            // missing argument
    EXPECT_FALSE(FormatPositional("%d", {"text"}));        // wrong kind
    EXPECT_FALSE(FormatPositional("%p", {"a"}));           // unknown type
    EXPECT_FALSE(FormatPositional("%", {"a"}));            // cut off
    EXPECT_FALSE(FormatPositional("%99999999999999999999s", {"a"})); // width out of bounds
    EXPECT_FALSE(FormatPositional("%2000s", {"a"}));
    EXPECT_FALSE(FormatPositional("%*s", {-1, "a"}));
    EXPECT_TRUE(FormatPositional("%1024s", {"a"}));
    // A short text may not blow up into a huge one.
    EXPECT_FALSE(FormatPositional(QString("%0:1024s").repeated(5000), {"a"}));
}

TEST(LangFormatTest, EveryArgumentMustBeTakenWhenAsked)
{
    constexpr TArgumentUse every = TArgumentUse::Every;
    EXPECT_EQ(FormatPositional("no name", {"a"}), "no name");
    EXPECT_FALSE(FormatPositional("no name", {"a"}, every));
    EXPECT_FALSE(FormatPositional("%1:s", {"a", "b"}, every));
    EXPECT_EQ(FormatPositional("%1:s %0:s", {"a", "b"}, every), "b a");
    EXPECT_EQ(FormatPositional("%*d", {4, 1}, every), "   1"); // a width taken from an argument takes it
    EXPECT_EQ(FormatPositional("%0:s %0:s", {"a"}, every), "a a");
    EXPECT_EQ(FormatPositional("none", {}, every), "none");

    // The first text that shows every argument, else the first that can be
    // filled in at all, else the first as it stands.
    EXPECT_EQ(FillFirstFitting({"%0:s here", "%0:s da"}, {"x"}), "x here");
    EXPECT_EQ(FillFirstFitting({"here", "%0:s da"}, {"x"}), "x da");
    EXPECT_EQ(FillFirstFitting({"%999:s here", "%0:s da"}, {"x"}), "x da");
    EXPECT_EQ(FillFirstFitting({"%n here", "%s da"}, {"x"}), "x da");
    EXPECT_EQ(FillFirstFitting({"here", "da"}, {"x"}), "here");
    EXPECT_EQ(FillFirstFitting({"%999:s here", "da"}, {"x"}), "da");
    EXPECT_EQ(FillFirstFitting({"%999:s here", "%d da"}, {"x"}), "%999:s here");
}

}
