#include "common/CommaText.h"
#include "common/NameValueCollection.h"

#include <gtest/gtest.h>

TEST(CommaTextTest, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(JoinCommaText({"Music", "C:\\My Music", "x", "D:\\y"}), QStringLiteral("Music,\"C:\\My Music\",x,D:\\y"));
    EXPECT_EQ(JoinCommaText({"a,b", "say \"hi\"", "tab\there", "", "plain"}),
              QStringLiteral("\"a,b\",\"say \"\"hi\"\"\",\"tab\there\",,plain"));
    EXPECT_EQ(JoinCommaText({""}), QStringLiteral("\"\""));
}

TEST(CommaTextTest, ReadsWhatOthersWrote)
{
    EXPECT_EQ(SplitCommaText(QStringLiteral("  a, b ,c")), QStringList({"a", "b", "c"}));
    // Empty items between two commas and after a final comma.
    EXPECT_EQ(SplitCommaText(QStringLiteral("a,,b,")), QStringList({"a", "", "b", ""}));
    // A bare item ends at a blank: the rest is an item of its own.
    EXPECT_EQ(SplitCommaText(QStringLiteral("a b,c")), QStringList({"a", "b", "c"}));
    EXPECT_EQ(SplitCommaText(QStringLiteral("\"a \"\"q\"\", b\",c")), QStringList({"a \"q\", b", "c"}));
    // A quote never closed runs to the end.
    EXPECT_EQ(SplitCommaText(QStringLiteral("x,\"open, end")), QStringList({"x", "open, end"}));
    EXPECT_TRUE(SplitCommaText(QStringLiteral("  ")).isEmpty());
}

TEST(NameValueCollectionTest, PairsSurviveTheirCommaText)
{
    TNameValueCollection odd;
    odd.Add(QStringLiteral("kept"), QStringLiteral("/k"));
    odd.SetCommaText(QStringLiteral("a,/b,c")); // the third item has no value
    ASSERT_EQ(odd.Count(), 2);
    EXPECT_EQ(odd.Names(0), QStringLiteral("kept"));
    EXPECT_EQ(odd.Names(1), QStringLiteral("a"));
    EXPECT_EQ(odd.Values(1), QStringLiteral("/b"));

    // Anything a user may type or a folder may be called comes back as it was.
    TNameValueCollection awkward;
    const QStringList names = {"", "Rock & Roll", "\"quoted\", too", "  padded  ", QString::fromUtf8("Музыка 音楽"),
                               "Same", "Same"};
    const QStringList folders = {"/m/a", "/m/with space", "/m/\"q\",c", "/m/ ", QString::fromUtf8("/m/Ünï/音楽"),
                                 "/m/case", "/m/CASE"};
    for (qsizetype i = 0; i < names.size(); ++i)
        awkward.Add(names.at(i), folders.at(i));
    TNameValueCollection back;
    back.SetCommaText(awkward.GetCommaText());
    EXPECT_EQ(back, awkward);
}
