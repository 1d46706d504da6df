#include "TimeZoneTestSupport.h"

#include "commands/DateMerge.h"

#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

constexpr qint64 NsPerSecond = 1000000000;

class DateMergeTest : public ::testing::Test {
protected:
    // Nanoseconds of a Berlin wall-clock time given in UTC plus the offset.
    static qint64 Utc(int y, int mo, int d, int h, int mi, int s, qint64 fraction = 0)
    {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone::utc()).toSecsSinceEpoch() * NsPerSecond
               + fraction;
    }

    const TScopedTimeZone Zone{"Europe/Berlin"};
};

}

TEST_F(DateMergeTest, FileTimeAsTextInTheOffsetOfItsDate)
{
    // 2021-01-15 11:59:59.999 UTC is 12:59:59 in winter, cut not rounded.
    const qint64 winter = Utc(2021, 1, 15, 11, 59, 59, 999999999);
    EXPECT_EQ(FileTimeAsDateText(winter, gnSecond), "2021-01-15T12:59:59");
    // Summer: two hours ahead of UTC.
    EXPECT_EQ(FileTimeAsDateText(Utc(2021, 7, 1, 10, 0, 0), gnHour), "2021-07-01T12");
    // Before 1970 the fraction is cut toward the earlier second too.
    EXPECT_EQ(FileTimeAsDateText(Utc(1960, 6, 1, 10, 0, 0) - 1, gnSecond), "1960-06-01T10:59:59");
}

TEST_F(DateMergeTest, MergesTheTextsPartsIntoTheFileTime)
{
    // File: 2021-01-30 12:34:56.25 local (11:34:56 UTC).
    const qint64 file = Utc(2021, 1, 30, 11, 34, 56, 250000000);
    // A year keeps month, day, time and fraction.
    EXPECT_EQ(MergeDateIntoFileTime("1999", file), Utc(1999, 1, 30, 11, 34, 56, 250000000));
    // A month without the file's day: clamped to the month's end, in any year.
    EXPECT_EQ(MergeDateIntoFileTime("2003-02", file), Utc(2003, 2, 28, 11, 34, 56, 250000000));
    EXPECT_EQ(MergeDateIntoFileTime("2004-02", file), Utc(2004, 2, 29, 11, 34, 56, 250000000));
    // A summer date takes the summer offset.
    EXPECT_EQ(MergeDateIntoFileTime("2003-07-21T14:05:09", file), Utc(2003, 7, 21, 12, 5, 9, 250000000));
    // The same second: the same time, fraction and all.
    EXPECT_EQ(MergeDateIntoFileTime("2021-01-30T12:34:56", file), file);
}

TEST_F(DateMergeTest, PartsThatDoNotExistGiveNoDate)
{
    const qint64 file = Utc(2021, 1, 30, 11, 34, 56);
    for (const char* text : {"unknown", "", "99", "2003-13", "2003-00", "2003-02-30", "2003-06-31", "2003-01-00",
                             "2003-01-01T25", "2003-01-01T10:60", "2003-01-01T10:00:60", "0000", "9999"})
        EXPECT_EQ(MergeDateIntoFileTime(QString::fromLatin1(text), file), std::nullopt) << text;
    // A date text followed by something else: the parts read count.
    EXPECT_EQ(MergeDateIntoFileTime("2004-02-29 (leap)", file), Utc(2004, 2, 29, 11, 34, 56));
}

TEST_F(DateMergeTest, SkippedAndRepeatedHoursOfSummerTime)
{
    // 2021-03-28 02:00 local does not exist: 02:30 is read as 03:30 CEST.
    const qint64 file = Utc(2021, 1, 1, 0, 0, 0);
    EXPECT_EQ(MergeDateIntoFileTime("2021-03-28T02:30:00", file), Utc(2021, 3, 28, 1, 30, 0));
    EXPECT_EQ(MergeDateIntoFileTime("2021-03-28T03:30:00", file), Utc(2021, 3, 28, 1, 30, 0));
    EXPECT_EQ(MergeDateIntoFileTime("2021-03-28T01:30:00", file), Utc(2021, 3, 28, 0, 30, 0));
    // 02:30 on 2021-10-31 happens twice; either reading is an existing time.
    const auto repeated = MergeDateIntoFileTime("2021-10-31T02:30:00", file);
    ASSERT_TRUE(repeated.has_value());
    EXPECT_TRUE(*repeated == Utc(2021, 10, 31, 0, 30, 0) || *repeated == Utc(2021, 10, 31, 1, 30, 0));
    EXPECT_EQ(FileTimeAsDateText(*repeated, gnSecond), "2021-10-31T02:30:00");
}
