#include "platform/FileNames.h"

#include <algorithm>

namespace {

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}

std::pair<QByteArray, QByteArray> SplitExtension(const QByteArray& name)
{
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0)
        return {name, {}};
    return {name.left(dot), name.mid(dot)};
}

QByteArray CutAtCharacter(const QByteArray& text, qsizetype room)
{
    if (text.size() <= room)
        return text;
    qsizetype cut = std::max<qsizetype>(room, 0);
    // Back over the continuation bytes of the character the cut would split
    // (at most three: names that are no UTF-8 are cut near the room too).
    for (int stepped = 0; cut > 0 && stepped < 3 && IsContinuationByte(text[cut]); ++stepped)
        --cut;
    return text.left(cut);
}

bool IsForbiddenInNames(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7F || u == '/' || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

QString CleanFileName(const QString& text)
{
    QString name;
    name.reserve(text.size());
    for (const QChar c : text)
        if (!IsForbiddenInNames(c))
            name += c;
    qsizetype start = 0;
    while (start < name.size() && (name.at(start) == QLatin1Char('.') || name.at(start).isSpace()))
        ++start;
    return name.mid(start).trimmed();
}
