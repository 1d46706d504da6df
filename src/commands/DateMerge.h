#pragma once

#include "tagengine/DateTexts.h"

#include <QString>

#include <optional>

// Dates of date frames against the last-write times of files (nanoseconds
// since the epoch, UTC). Local time always uses the offset in force at the
// date in question, not today's.

// The file time as a date text of this precision in local time; parts finer
// than the precision are cut, never rounded up.
QString FileTimeAsDateText(qint64 timeNs, TDateGenauigkeit precision);

// The file time a date text gives a file whose time is oldNs: the parts the
// text holds (from the year on) replace those of the file's local date and
// time, the other parts and the fraction of a second stay. A day taken from
// the file that the text's month lacks becomes that month's last day ("2003-02"
// on a file of the 30th gives the 28th). Nothing when the text does not begin
// with a year or holds a part that does not exist (month 13, day 31 of June,
// hour 25) or lies beyond the file times' range (after 2262). A time the clock skips when summer time begins counts as the same
// time after the change (02:30 becomes 03:30).
std::optional<qint64> MergeDateIntoFileTime(const QString& text, qint64 oldNs);
