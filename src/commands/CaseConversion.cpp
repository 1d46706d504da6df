#include "commands/CaseConversion.h"

#include <QLocale>
#include <QStringView>

#include <vector>

namespace {

// The characters after which a new word begins.
bool IsWordSeparator(char32_t c)
{
    static const QString separators = QStringLiteral(" !\"&()+,-./:;<=>?\r\n");
    return c < 0x80 && separators.contains(QChar(c));
}

bool IsCasedLetter(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
        return true;
    default:
        return QChar::toUpper(c) != c || QChar::toLower(c) != c;
    }
}

void AppendCodePoint(QString& text, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        text.append(QChar(QChar::highSurrogate(c)));
        text.append(QChar(QChar::lowSurrogate(c)));
    } else {
        text.append(QChar(c));
    }
}

// The text's code points; a lone surrogate (a byte of a file name that is not
// valid UTF-8, as a path text carries it) stays as it is.
std::vector<char32_t> CodePoints(const QString& text)
{
    std::vector<char32_t> points;
    points.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else {
            points.push_back(c.unicode());
        }
    }
    return points;
}

// The language-independent full mappings (final sigma, "ß" to "SS").
QString Lower(const QString& text)
{
    return QLocale::c().toLower(text);
}

QString Upper(const QString& text)
{
    return QLocale::c().toUpper(text);
}

// The text in lower case but for the marked code points, which take their
// title-case form from themselves: a capital that is right stays as it is
// ("İ" keeps its dot, "ẞ" stays a capital), where going through the lower
// case would give other bytes. Between them the text is lowered in runs, with
// a cased stand-in for a cased neighbour, so that a final sigma stays final.
QString LowerExceptTitled(const std::vector<char32_t>& points, const std::vector<bool>& titled)
{
    const QString standIn = QStringLiteral("a");
    QString result;
    result.reserve(static_cast<qsizetype>(points.size()));
    QString run;
    bool casedBefore = false;
    const auto flushRun = [&](bool casedAfter) {
        if (run.isEmpty())
            return;
        const QString lowered = Lower((casedBefore ? standIn : QString()) + run + (casedAfter ? standIn : QString()));
        const qsizetype from = casedBefore ? standIn.size() : 0;
        result += QStringView(lowered).sliced(from, lowered.size() - from - (casedAfter ? standIn.size() : 0));
        run.clear();
    };
    for (size_t i = 0; i < points.size(); ++i) {
        if (!titled[i]) {
            AppendCodePoint(run, points[i]);
            continue;
        }
        flushRun(IsCasedLetter(points[i]));
        AppendCodePoint(result, QChar::toTitleCase(points[i]));
        casedBefore = IsCasedLetter(points[i]);
    }
    flushRun(false);
    return result;
}

// The text in lower case with the first letter of each word in title case;
// with onlyFirst only the text's first character.
QString Capitalised(const QString& text, bool onlyFirst)
{
    const std::vector<char32_t> points = CodePoints(text);
    std::vector<bool> titled(points.size(), false);
    if (onlyFirst) {
        if (!titled.empty())
            titled.front() = true;
        return LowerExceptTitled(points, titled);
    }
    bool capitaliseNext = true;
    for (size_t i = 0; i < points.size(); ++i) {
        const char32_t c = points[i];
        if (IsCasedLetter(c)) {
            titled[i] = capitaliseNext;
            capitaliseNext = false;
        } else if (IsWordSeparator(c)) {
            capitaliseNext = true;
        }
    }
    return LowerExceptTitled(points, titled);
}

}

QString ConvertCase(const QString& text, int mode)
{
    QString converted;
    switch (mode) {
    case cmWords:
        converted = Capitalised(text, false);
        break;
    case cmUpper:
        converted = Upper(text);
        break;
    case cmLower:
        converted = Lower(text);
        break;
    case cmFirstOnly:
        converted = Capitalised(text, true);
        break;
    default:
        return text;
    }
    if (converted == text)
        return text;
    // A mapping can leave a letter and a combining mark where one letter
    // belongs: "i" + dot above (the lower case of "İ") turns into "I" + dot
    // above, which composes back to "İ".
    return converted.normalized(QString::NormalizationForm_C);
}

QStringList ConvertCase(const QStringList& strings, int mode)
{
    QStringList result;
    result.reserve(strings.size());
    for (const QString& text : strings)
        result.append(ConvertCase(text, mode));
    return result;
}
