#include "common/LayoutStrings.h"

#include <gtest/gtest.h>

TEST(LayoutStringsTest, SplitCutsWholeCodesAndDropsARemainder)
{
    EXPECT_TRUE(SplitLayoutCodes(QString()).isEmpty());
    EXPECT_TRUE(SplitLayoutCodes(QStringLiteral("DIR")).isEmpty());
    EXPECT_EQ(SplitLayoutCodes(QStringLiteral("DIRB----DIRN")),
              TStringArray({"DIRB", "----", "DIRN"}));
    // The short tail never becomes a code.
    EXPECT_EQ(SplitLayoutCodes(QStringLiteral("TPE1TIT2TA")), TStringArray({"TPE1", "TIT2"}));
}

TEST(LayoutStringsTest, JoinLeavesOutCodesThatWouldShiftTheRest)
{
    const TStringArray codes = {"DIRB", "----", "----", "UNDO"};
    EXPECT_EQ(SplitLayoutCodes(JoinLayoutCodes(codes)), codes);
    EXPECT_EQ(JoinLayoutCodes({"DIRB", "", "UND", "UNDO", "TOOLONG"}), QStringLiteral("DIRBUNDO"));
    EXPECT_EQ(JoinLayoutCodes({}), QString());
}

TEST(LayoutStringsTest, WidthsAreLittleEndianPairsAndAnOddByteIsIgnored)
{
    const TWordArray widths = {150, 0x1234, 65535, 0};
    const QByteArray bytes = WidthsToBytes(widths);
    ASSERT_EQ(bytes.size(), 8);
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 0x34);
    EXPECT_EQ(static_cast<unsigned char>(bytes[3]), 0x12);
    EXPECT_EQ(WidthsFromBytes(bytes), widths);

    EXPECT_TRUE(WidthsFromBytes(QByteArray("\x96", 1)).isEmpty());
    EXPECT_EQ(WidthsFromBytes(QByteArray("\x96\x00\x50", 3)), TWordArray({150}));
    EXPECT_TRUE(WidthsToBytes({}).isEmpty());
}
