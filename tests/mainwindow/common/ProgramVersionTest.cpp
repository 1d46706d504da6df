#include "mainwindow/common/ProgramVersion.h"

#include <QString>

#include <gtest/gtest.h>

// The version text is the major number, a point and the minor number with at
// least two digits, and it agrees with the numbers the update check compares.
TEST(ProgramVersionTest, TextFollowsTheNumbers)
{
    EXPECT_EQ(QString::fromLatin1(ProgramVersion),
              QStringLiteral("%1.%2").arg(ProgramMajorVersion).arg(ProgramMinorVersion, 2, 10, QLatin1Char('0')));
}
