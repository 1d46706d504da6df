#include "tagengine/DateTexts.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

TDateGenauigkeit PrecisionOf(const QString& text, TSystemTime& time)
{
    TDateGenauigkeit precision = gnSecond;
    ParseISODateTime(text, time, precision);
    return precision;
}

} // namespace

TEST(DateTexts, ParsesLeadingPartsAndFormatsToThePrecision)
{
    TSystemTime time;
    time.Year = 1999;
    time.Month = 12;
    EXPECT_EQ(PrecisionOf("", time), gnNone);
    EXPECT_EQ(PrecisionOf("200", time), gnNone);
    EXPECT_EQ(time.Year, 1999);

    EXPECT_EQ(PrecisionOf("2004", time), gnYear);
    EXPECT_EQ(time.Year, 2004);
    EXPECT_EQ(time.Month, 12);
    EXPECT_EQ(PrecisionOf("2004-5", time), gnYear); // a part must be whole
    EXPECT_EQ(PrecisionOf("2004-05-06 07:08", time), gnDay);
    EXPECT_EQ(PrecisionOf("2004-05-06T07:08:09Z", time), gnSecond);
    EXPECT_EQ(time.Second, 9);
    // Ranges are not checked here; only ASCII digits count.
    EXPECT_EQ(PrecisionOf("2004-13", time), gnMonth);
    EXPECT_EQ(PrecisionOf(QString::fromUtf8("\xD9\xA2\xD9\xA0\xD9\xA0\xD9\xA4"), time), gnNone);

    // Formatting stops at the precision.
    const QDateTime dt(QDate(804, 5, 6), QTime(7, 8, 9));
    EXPECT_EQ(FormatISODateTime(dt, gnNone), "");
    EXPECT_EQ(FormatISODateTime(dt, gnYear), "0804");
    EXPECT_EQ(FormatISODateTime(dt, gnSecond), "0804-05-06T07:08:09");
    EXPECT_EQ(FormatISODateTime(dt, TDateGenauigkeit(7)), "");
    EXPECT_EQ(PrecisionOf(FormatISODateTime(dt, gnMinute), time), gnMinute);
}

TEST(DateTexts, PicturesPerKindAlsoForLocaleTexts)
{
    // A date picture stops at the day, a time picture shows nothing below an hour.
    EXPECT_EQ(GetDateTimePicture(gnSecond, 0), "dd'.'MM'.'yyyy");
    EXPECT_EQ(GetDateTimePicture(gnDay, 1), "' '");
    EXPECT_EQ(GetDateTimePicture(gnSecond, 4, "kept"), "kept");

    // Locale texts use fixed pictures with Latin digits.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(ISODateToLocaleText("x2004"), "");
    EXPECT_EQ(ISODateToLocaleText("2004-05"), "05.2004");
    EXPECT_EQ(ISODateToLocaleText("2004-05-06T17:08:09"), "06.05.2004 17:08:09");
    // Dates that do not exist show nothing.
    EXPECT_EQ(ISODateToLocaleText("2003-02-29"), "");
    EXPECT_EQ(ISODateToLocaleText("2004-05-06T24"), "");
    QLocale::setDefault(previous);
}
