#include "controls/Accelerators.h"

#include <QString>

#include <gtest/gtest.h>

TEST(AcceleratorTest, CaptionsLoseTheirMarksAndTypedTextsKeepTheirs)
{
    EXPECT_EQ(StripAccelerator(QStringLiteral("&Help")), QStringLiteral("Help"));
    EXPECT_EQ(StripAccelerator(QStringLiteral("Rock && Roll")), QStringLiteral("Rock & Roll"));
    EXPECT_EQ(StripAccelerator(QStringLiteral("R&&&D")), QStringLiteral("R&D"));
    EXPECT_EQ(StripAccelerator(QStringLiteral("end&")), QStringLiteral("end"));
    EXPECT_EQ(LiteralCaption(QStringLiteral("Tom & Jerry && Co")), QStringLiteral("Tom && Jerry &&&& Co"));
    EXPECT_EQ(StripAccelerator(LiteralCaption(QStringLiteral("a & b &&"))), QStringLiteral("a & b &&"));
    // As a title or a list entry a caption also loses the dots of a command
    // that opens a dialog; a full stop stays.
    EXPECT_EQ(PlainCaption(QString::fromUtf8("&Über Quillon...")), QString::fromUtf8("Über Quillon"));
    EXPECT_EQ(PlainCaption(QString::fromUtf8("R&&B \u2026")), QStringLiteral("R&B"));
    EXPECT_EQ(PlainCaption(QStringLiteral("Sa&ve as.... ")), QStringLiteral("Save as"));
    EXPECT_EQ(PlainCaption(QStringLiteral("Etc.")), QStringLiteral("Etc."));
}
