#include "common/CommaText.h"

namespace {

constexpr QChar Comma = QLatin1Char(',');
constexpr QChar Quote = QLatin1Char('"');

// Blanks and control characters separate items.
bool IsSeparatorSpace(QChar c)
{
    return c.unicode() <= 0x20;
}

bool NeedsQuotes(const QString& item)
{
    for (const QChar c : item)
        if (IsSeparatorSpace(c) || c == Comma || c == Quote)
            return true;
    return false;
}

QString Quoted(const QString& item)
{
    QString result = item;
    result.replace(Quote, QStringLiteral("\"\""));
    return Quote + result + Quote;
}

// Reads a quoted item starting at the opening quote; pos ends after the
// closing quote.
QString ReadQuoted(const QString& text, qsizetype& pos)
{
    QString item;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c != Quote) {
            item += c;
            continue;
        }
        if (pos < text.size() && text.at(pos) == Quote) {
            item += Quote;
            ++pos;
            continue;
        }
        break;
    }
    return item;
}

void SkipSpaces(const QString& text, qsizetype& pos)
{
    while (pos < text.size() && IsSeparatorSpace(text.at(pos)))
        ++pos;
}

}

QString JoinCommaText(const QStringList& items)
{
    if (items.size() == 1 && items.first().isEmpty())
        return QStringLiteral("\"\"");
    QStringList written;
    written.reserve(items.size());
    for (const QString& item : items)
        written << (NeedsQuotes(item) ? Quoted(item) : item);
    return written.join(Comma);
}

QStringList SplitCommaText(const QString& text)
{
    QStringList items;
    qsizetype pos = 0;
    SkipSpaces(text, pos);
    while (pos < text.size()) {
        if (text.at(pos) == Quote) {
            items << ReadQuoted(text, pos);
        } else {
            const qsizetype start = pos;
            while (pos < text.size() && !IsSeparatorSpace(text.at(pos)) && text.at(pos) != Comma)
                ++pos;
            items << text.mid(start, pos - start);
        }
        SkipSpaces(text, pos);
        if (pos < text.size() && text.at(pos) == Comma) {
            if (pos + 1 == text.size())
                items << QString();
            ++pos;
            SkipSpaces(text, pos);
        }
    }
    return items;
}
