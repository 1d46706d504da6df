#include "mainwindow/common/CommaText.h"

namespace {

constexpr QChar Quote = QLatin1Char('"');
constexpr QChar Comma = QLatin1Char(',');

// Blanks and control characters: they end an unquoted item.
bool IsSpace(QChar c)
{
    return c.unicode() <= ' ';
}

bool NeedsQuotes(const QString& item)
{
    for (const QChar c : item)
        if (IsSpace(c) || c == Quote || c == Comma)
            return true;
    return false;
}

QString Quoted(const QString& item)
{
    QString text = item;
    text.replace(Quote, QStringLiteral("\"\""));
    return Quote + text + Quote;
}

// The quoted item starting at position (on its opening quote); position
// moves past the closing quote.
QString ReadQuoted(const QString& text, qsizetype& position)
{
    QString item;
    ++position;
    while (position < text.size()) {
        const QChar c = text.at(position++);
        if (c != Quote) {
            item.append(c);
            continue;
        }
        if (position < text.size() && text.at(position) == Quote) {
            item.append(Quote);
            ++position;
            continue;
        }
        break;
    }
    return item;
}

void SkipSpaces(const QString& text, qsizetype& position)
{
    while (position < text.size() && IsSpace(text.at(position)))
        ++position;
}

}

QString CommaText(const QStringList& items)
{
    if (items.size() == 1 && items.first().isEmpty())
        return QStringLiteral("\"\"");
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            text.append(Comma);
        text.append(NeedsQuotes(items.at(i)) ? Quoted(items.at(i)) : items.at(i));
    }
    return text;
}

QStringList FromCommaText(const QString& text)
{
    QStringList items;
    qsizetype position = 0;
    SkipSpaces(text, position);
    while (position < text.size()) {
        if (text.at(position) == Quote) {
            items.append(ReadQuoted(text, position));
        } else {
            const qsizetype start = position;
            while (position < text.size() && !IsSpace(text.at(position)) && text.at(position) != Comma)
                ++position;
            items.append(text.mid(start, position - start));
        }
        SkipSpaces(text, position);
        if (position < text.size() && text.at(position) == Comma) {
            if (position + 1 == text.size())
                items.append(QString());
            ++position;
            SkipSpaces(text, position);
        }
    }
    return items;
}
