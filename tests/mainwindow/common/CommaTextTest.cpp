#include "mainwindow/common/CommaText.h"

#include <gtest/gtest.h>

TEST(CommaTextTest, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(CommaText({}), QString());
    EXPECT_EQ(CommaText({QString()}), QStringLiteral("\"\""));
    EXPECT_EQ(CommaText({"TIT2", "TPE1"}), QStringLiteral("TIT2,TPE1"));
    EXPECT_EQ(CommaText({"a b", "c,d", "say \"hi\"", "", "tab\there"}),
              QStringLiteral("\"a b\",\"c,d\",\"say \"\"hi\"\"\",,\"tab\there\""));
}

TEST(CommaTextTest, ReadsBackWhatItWrites)
{
    const QList<QStringList> lists = {
        {},
        {QString()},
        {"one"},
        {"Simon & Garfunkel", "AC/DC", "a,b", "\"quoted\"", " padded ", "", "ÄÖÜ ß", "line\r\nbreak"},
        {"", ""},
        {"x", ""},
    };
    for (const QStringList& list : lists)
        EXPECT_EQ(FromCommaText(CommaText(list)), list) << CommaText(list).toStdString();
}

TEST(CommaTextTest, ReadsTextsWrittenByHandAsBefore)
{
    // Unquoted blanks split items; blanks round items and commas go.
    EXPECT_EQ(FromCommaText(QStringLiteral("a b")), (QStringList{"a", "b"}));
    EXPECT_EQ(FromCommaText(QStringLiteral("  a ,  b  ")), (QStringList{"a", "b"}));
    EXPECT_EQ(FromCommaText(QStringLiteral("a,,b")), (QStringList{"a", "", "b"}));
    EXPECT_EQ(FromCommaText(QStringLiteral("a,")), (QStringList{"a", ""}));
    EXPECT_EQ(FromCommaText(QStringLiteral("\"open")), (QStringList{"open"}));
    EXPECT_EQ(FromCommaText(QStringLiteral("\"a\"b,c")), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(FromCommaText(QStringLiteral("   ")), QStringList());
}
