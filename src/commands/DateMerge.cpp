#include "commands/DateMerge.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 NsPerSecond = 1000000000;

// Division and remainder rounding toward minus infinity, so that times before
// 1970 are cut like the others.
qint64 WholeSeconds(qint64 ns)
{
    return ns >= 0 ? ns / NsPerSecond : -((-ns + NsPerSecond - 1) / NsPerSecond);
}

QDateTime LocalTime(qint64 ns)
{
    return QDateTime::fromSecsSinceEpoch(WholeSeconds(ns), Qt::LocalTime);
}

TSystemTime SystemTimeOf(const QDateTime& local)
{
    const QDate date = local.date();
    const QTime time = local.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

// Seconds since the epoch of a local date and time; a time inside a skipped
// hour is read with the offset in force before the change.
qint64 LocalToSeconds(const QDate& date, const QTime& time)
{
    const QDateTime local(date, time, Qt::LocalTime);
    if (local.isValid())
        return local.toSecsSinceEpoch();
    const qint64 wall = QDateTime(date, time, QTimeZone::utc()).toSecsSinceEpoch();
    const int offsetBefore = QDateTime(date.addDays(-1), time, Qt::LocalTime).offsetFromUtc();
    return wall - offsetBefore;
}

bool InRange(int value, int low, int high)
{
    return value >= low && value <= high;
}

}

QString FileTimeAsDateText(qint64 timeNs, TDateGenauigkeit precision)
{
    return FormatISODateTime(LocalTime(timeNs), precision);
}

std::optional<qint64> MergeDateIntoFileTime(const QString& text, qint64 oldNs)
{
    TSystemTime parts = SystemTimeOf(LocalTime(oldNs));
    TDateGenauigkeit precision = gnNone;
    ParseISODateTime(text, parts, precision);
    if (precision == gnNone || parts.Year < 1)
        return std::nullopt;
    if (!InRange(parts.Month, 1, 12) || !InRange(parts.Hour, 0, 23) || !InRange(parts.Minute, 0, 59)
        || !InRange(parts.Second, 0, 59))
        return std::nullopt;
    const int monthDays = QDate(parts.Year, parts.Month, 1).daysInMonth();
    if (precision >= gnDay && !InRange(parts.Day, 1, monthDays))
        return std::nullopt;
    parts.Day = std::min(parts.Day, monthDays);
    const qint64 seconds =
        LocalToSeconds(QDate(parts.Year, parts.Month, parts.Day), QTime(parts.Hour, parts.Minute, parts.Second));
    // Nanosecond file times end in the year 2262.
    constexpr qint64 Limit = std::numeric_limits<qint64>::max() / NsPerSecond - 1;
    if (seconds > Limit || seconds < -Limit)
        return std::nullopt;
    const qint64 fraction = oldNs - WholeSeconds(oldNs) * NsPerSecond;
    return seconds * NsPerSecond + fraction;
}
