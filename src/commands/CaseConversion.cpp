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

// What the conversion turns a code point of the text into.
enum class TPointCase { Lower, Upper, Title };

// Each code point's case in the mode: words (mode 1) take the title case of
// their first letter, a text in mode 4 only of its first character.
std::vector<TPointCase> PointCases(const std::vector<char32_t>& points, int mode)
{
    std::vector<TPointCase> cases(points.size(), mode == cmUpper ? TPointCase::Upper : TPointCase::Lower);
    if (mode == cmFirstOnly && !cases.empty())
        cases.front() = TPointCase::Title;
    if (mode != cmWords)
        return cases;
    bool capitaliseNext = true;
    for (size_t i = 0; i < points.size(); ++i) {
        const char32_t c = points[i];
        if (IsCasedLetter(c)) {
            if (capitaliseNext)
                cases[i] = TPointCase::Title;
            capitaliseNext = false;
        } else if (IsWordSeparator(c)) {
            capitaliseNext = true;
        }
    }
    return cases;
}

// The text in lower case but for the code points to be titled, which take
// their title-case form from themselves: a capital that is right stays as it
// is ("İ" keeps its dot, "ẞ" stays a capital), where going through the lower
// case would give other bytes. Between them the text is lowered in runs, with
// a cased stand-in for a cased neighbour, so that a final sigma stays final.
QString LowerExceptTitled(const std::vector<char32_t>& points, const std::vector<TPointCase>& cases)
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
        if (cases[i] != TPointCase::Title) {
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

// How many UTF-16 units the code point becomes in its case on its own. Only
// the final sigma depends on its neighbours, and it is one unit either way,
// so these lengths add up to the whole text's conversion.
qsizetype ConvertedLength(char32_t c, TPointCase how)
{
    QString alone;
    AppendCodePoint(alone, c);
    switch (how) {
    case TPointCase::Upper:
        return Upper(alone).size();
    case TPointCase::Title:
        return QChar::requiresSurrogates(QChar::toTitleCase(c)) ? 2 : 1;
    case TPointCase::Lower:
        break;
    }
    return Lower(alone).size();
}

// The converted text with each combining sequence (a character and the marks
// that follow it) that the conversion changed composed (NFC). A mapping can
// leave a letter and a combining mark where one letter belongs: "i" + dot
// above (the lower case of "İ") turns into "I" + dot above, which composes
// back to "İ". A sequence the conversion left alone keeps its code points,
// also where NFC would replace them (the ångström sign U+212B, the CJK
// compatibility ideographs, U+FB2A).
QString ComposeChanged(const std::vector<char32_t>& points, const std::vector<TPointCase>& cases,
                       const QString& converted)
{
    QString result;
    result.reserve(converted.size());
    qsizetype at = 0;
    for (size_t begin = 0; begin < points.size();) {
        size_t end = begin + 1;
        while (end < points.size() && QChar::combiningClass(points[end]) != 0)
            ++end;
        QString original;
        qsizetype length = 0;
        for (size_t i = begin; i < end; ++i) {
            AppendCodePoint(original, points[i]);
            length += ConvertedLength(points[i], cases[i]);
        }
        const QString sequence = converted.mid(at, length);
        result += sequence == original ? original : sequence.normalized(QString::NormalizationForm_C);
        at += length;
        begin = end;
    }
    // Lengths that do not add up would cut sequences at the wrong places:
    // the conversion is then left as it is.
    return at == converted.size() ? result : converted;
}

}

QString ConvertCase(const QString& text, int mode)
{
    if (mode < cmWords || mode > cmFirstOnly)
        return text;
    const std::vector<char32_t> points = CodePoints(text);
    const std::vector<TPointCase> cases = PointCases(points, mode);
    const QString converted = mode == cmUpper ? Upper(text) : LowerExceptTitled(points, cases);
    if (converted == text)
        return text;
    return ComposeChanged(points, cases, converted);
}

QStringList ConvertCase(const QStringList& strings, int mode)
{
    QStringList result;
    result.reserve(strings.size());
    for (const QString& text : strings)
        result.append(ConvertCase(text, mode));
    return result;
}
