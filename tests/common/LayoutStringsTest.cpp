#include "common/LayoutStrings.h"

#include <gtest/gtest.h>

TEST(LayoutStringsTest, JoinLeavesOutCodesThatWouldShiftTheRest)
{
    const TStringArray codes = {"DIRB", "----", "----", "UNDO"};
    EXPECT_EQ(SplitLayoutCodes(JoinLayoutCodes(codes)), codes);
    EXPECT_EQ(JoinLayoutCodes({"DIRB", "", "UND", "UNDO", "TOOLONG"}), QStringLiteral("DIRBUNDO"));
    EXPECT_EQ(JoinLayoutCodes({}), QString());
}

// Column widths are stored as the older program stored them.
TEST(LayoutStringsTest, WidthsAreStoredAsLittleEndianPairs)
{
    EXPECT_EQ(WidthsToBytes({150, 0x1234}), QByteArray("\x96\x00\x34\x12", 4));
    EXPECT_EQ(WidthsFromBytes(QByteArray("\x96\x00\x34\x12\x01", 5)), TWordArray({150, 0x1234}));
}
