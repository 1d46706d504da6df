#include "platform/ProgramVersion.h"

#include <QString>

#include <gtest/gtest.h>

// The version text agrees with the numbers the update check compares.
TEST(ProgramVersionTest, TextFollowsTheNumbers)
{
    EXPECT_EQ(QString::fromLatin1(ProgramVersion),
              QStringLiteral("%1.%2").arg(ProgramMajorVersion).arg(ProgramMinorVersion, 2, 10, QLatin1Char('0')));
}
