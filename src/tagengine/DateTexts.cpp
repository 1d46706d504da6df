#include "tagengine/DateTexts.h"

#include "tagengine/FrameCodecs.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <algorithm>

namespace {

// The parts of an ISO date text: separator before the number, its width and
// where it goes.
struct TDatePart {
    char Separator;
    int Width;
    int TSystemTime::*Field;
};

constexpr TDatePart DateParts[] = {
    {'\0', 4, &TSystemTime::Year},  {'-', 2, &TSystemTime::Month},  {'-', 2, &TSystemTime::Day},
    {'T', 2, &TSystemTime::Hour},   {':', 2, &TSystemTime::Minute}, {':', 2, &TSystemTime::Second},
};

// Exactly `width` ASCII digits at position, or -1.
int ReadDigits(const QString& text, qsizetype position, int width)
{
    if (position + width > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < width; ++i) {
        const QChar c = text.at(position + i);
        if (!IsASCIIDigit(c))
            return -1;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

QString Padded(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

} // namespace

void ParseISODateTime(const QString& text, TSystemTime& time, TDateGenauigkeit& precision)
{
    precision = gnNone;
    qsizetype position = 0;
    int level = gnYear;
    for (const TDatePart& part : DateParts) {
        if (part.Separator != '\0') {
            if (position >= text.size() || text.at(position) != QLatin1Char(part.Separator))
                return;
            ++position;
        }
        const int value = ReadDigits(text, position, part.Width);
        if (value < 0)
            return;
        time.*part.Field = value;
        precision = TDateGenauigkeit(level++);
        position += part.Width;
    }
}

QString FormatISODateTime(const QDateTime& dateTime, TDateGenauigkeit precision)
{
    if (precision < gnYear || precision > gnSecond)
        return {};
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const int values[] = {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
    QString text;
    for (int i = 0; i < precision; ++i) {
        if (DateParts[i].Separator != '\0')
            text.append(QLatin1Char(DateParts[i].Separator));
        text.append(Padded(values[i], DateParts[i].Width));
    }
    return text;
}

QString GetDateTimePicture(TDateGenauigkeit precision, int kind, const QString& unchanged)
{
    // Per kind: the picture for the coarsest precision, then for each finer
    // step; precisions beyond the table use its last picture.
    static const char* const pictures[4][4] = {
        {"' '", "yyyy", "MM'.'yyyy", "dd'.'MM'.'yyyy"},
        {"' '", "HH", "HH':'mm", "HH':'mm':'ss"},
        {"\" \"", "yyyy", "mm\".\"yyyy", "dd\".\"mm\".\"yyyy"},
        {"\" \"", "hh", "hh\":\"nn", "hh\":\"nn\":\"ss"},
    };
    if (kind < 0 || kind > 3)
        return unchanged;
    const int coarsest = kind % 2 == 0 ? gnNone : gnDay;
    const int step = std::clamp(int(precision) - coarsest, 0, 3);
    return QLatin1String(pictures[kind][step]);
}

QString ISODateToLocaleText(const QString& text)
{
    TSystemTime parts;
    TDateGenauigkeit precision = gnNone;
    ParseISODateTime(text, parts, precision);
    if (precision == gnNone)
        return {};
    // A date or time that does not exist (month 13, 25 o'clock) shows nothing.
    const QDate date(parts.Year, parts.Month, parts.Day);
    const QTime time(parts.Hour, parts.Minute, parts.Second);
    if (!date.isValid() || !time.isValid())
        return {};
    // The pictures are fixed; the C locale keeps their digits ASCII.
    const QLocale c = QLocale::c();
    QString result = c.toString(date, GetDateTimePicture(precision, 0));
    if (precision >= gnHour)
        result += QLatin1Char(' ') + c.toString(time, GetDateTimePicture(precision, 1));
    return result;
}
