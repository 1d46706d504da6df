#pragma once

#include <QDateTime>
#include <QString>

// How many leading parts of an ISO 8601 date text are present.
enum TDateGenauigkeit : int { gnNone = 0, gnYear, gnMonth, gnDay, gnHour, gnMinute, gnSecond };

struct TSystemTime {
    int Year = 0;
    int Month = 1;
    int Day = 1;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
};

// Reads YYYY-MM-DDThh:mm:ss or a leading part of it; fields past the text
// keep the caller's values.
void ParseISODateTime(const QString& text, TSystemTime& time, TDateGenauigkeit& precision);
QString FormatISODateTime(const QDateTime& dateTime, TDateGenauigkeit precision);
// Kind 0/1: date/time pictures of the locale formatter ("dd'.'MM'.'yyyy");
// kind 2/3 the same in the class-library syntax (dd"."mm"."yyyy).
QString GetDateTimePicture(TDateGenauigkeit precision, int kind, const QString& unchanged = QString());
QString ISODateToLocaleText(const QString& text);
