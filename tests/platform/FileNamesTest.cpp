#include "platform/FileNames.h"

#include <gtest/gtest.h>

TEST(FileNames, CleanNamesAreNeitherHiddenNorShownOtherThanTheyAre)
{
    // A name never starts with a dot, also where blanks or dropped
    // characters stood before it; dots inside and at the end stay.
    EXPECT_EQ(CleanFileName(".Dotband - Song"), "Dotband - Song");
    EXPECT_EQ(CleanFileName(".. -"), "-");
    EXPECT_EQ(CleanFileName(" . ..x "), "x");
    EXPECT_EQ(CleanFileName(QStringLiteral("\u202E.\t.x")), "x");
    EXPECT_EQ(CleanFileName("Mr. Jones ... live."), "Mr. Jones ... live.");
    EXPECT_EQ(CleanFileName(". .. ."), "");

    // Reordering marks and control characters go wherever they stand.
    EXPECT_EQ(CleanFileName(QStringLiteral("abc\u202Egnp.exe")), "abcgnp.exe");
    EXPECT_EQ(CleanFileName(QStringLiteral("\u202Aa\u202Bb\u202Cc\u202Dd\u2066e\u2067f\u2068g\u2069h\x7F\x01")),
              "abcdefgh");
    // Their neighbours are ordinary characters (the paragraph separator and
    // the narrow no-break space, the invisible operators) and stay, as do
    // letters of right-to-left scripts.
    for (const char16_t kept : {u'\u2029', u'\u202F', u'\u2065', u'\u206A', u'\u05D0'})
        EXPECT_FALSE(IsForbiddenInNames(QChar(kept))) << int(kept);
    for (const char16_t gone : {u'\u202A', u'\u202E', u'\u2066', u'\u2069', u'/', u'\0', u'\x1F'})
        EXPECT_TRUE(IsForbiddenInNames(QChar(gone))) << int(gone);
}
