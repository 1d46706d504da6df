#include "commands/TrackNumbers.h"

#include "commands/FileNameParts.h"
#include "tagengine/Eintragdaten.h"
#include "tagengine/FrameCodecs.h"

#include <algorithm>
#include <limits>

std::optional<qint32> TrackNumberFromFileName(const QString& fileName)
{
    const QString stem = SplitFileName(fileName).Stem;
    qsizetype position = 0;
    while (position < stem.size() && !IsASCIIDigit(stem.at(position)))
        ++position;
    if (position == stem.size())
        return std::nullopt;
    qint64 value = 0;
    for (; position < stem.size() && IsASCIIDigit(stem.at(position)); ++position) {
        value = value * 10 + (stem.at(position).unicode() - '0');
        if (value > std::numeric_limits<qint32>::max())
            return std::nullopt;
    }
    return static_cast<qint32>(value);
}

void AssignTrackNumbers(std::vector<TTrackNrMp3>& items, const TTrackNrEinstellungen& settings)
{
    qint64 highest = -1;
    for (size_t i = 0; i < items.size(); ++i) {
        TTrackNrMp3& item = items[i];
        item.Number = item.Total = -1;
        if (settings.NumberingType == 0) {
            item.Number = settings.StartValue + static_cast<qint64>(i);
        } else if (const auto number = TrackNumberFromFileName(item.Entry->FileName)) {
            item.Number = *number;
        }
        highest = std::max(highest, item.Number);
    }
    for (TTrackNrMp3& item : items) {
        if (settings.TotalMode == 1)
            item.Total = highest;
        else if (settings.TotalMode == 2)
            item.Total = settings.FixedTotal;
    }
}

QString TrackText(qint64 number, qint64 total)
{
    if (number < 1)
        return {};
    QString text = QString::number(number);
    if (total >= 1)
        text += QLatin1Char('/') + QString::number(total);
    return text;
}
