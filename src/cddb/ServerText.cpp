#include "cddb/ServerText.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

const QChar Replacement(QChar::ReplacementCharacter);
const QChar Ellipsis(0x2026);

bool IsPrintable(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format: // bidirectional overrides among them
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        return true;
    }
}

// Characters that only separate a text: they stand between words.
bool IsSeparating(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

// Invisible characters that can hide text or change its order, or that are
// no text: bidirectional embeddings, overrides and isolates, the deprecated
// controls of mirroring, shaping and digits, zero-width spaces and word
// joiners, invisible operators, the byte-order mark, interlinear
// annotations (which hide their annotation) and the language tag and tag
// characters (TagSequenceUnits keeps those of a flag). Other format
// characters are part of how a text is written and stay: the joiners, the
// directional marks LRM, RLM and ALM, the visible signs of Arabic, Syriac
// and other scripts that stand before numbers, the soft hyphen.
bool IsHiding(char32_t c)
{
    return c == 0x200B || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
           (c >= 0x2066 && c <= 0x206F) || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB) ||
           (c >= 0xE0000 && c <= 0xE007F);
}

constexpr char32_t WavingBlackFlag = 0x1F3F4;
constexpr char32_t CancelTag = 0xE007F;

// The tag characters of a flag (an emoji tag sequence such as Scotland's)
// that follow the waving black flag at text[at]: up to seven tag letters or
// digits (a region and subdivision code), then the cancel tag. The UTF-16
// units they take; 0 when no such sequence follows.
qsizetype TagSequenceUnits(const QString& text, qsizetype at)
{
    constexpr int MaxCodeLength = 7;
    const auto tagAt = [&text](qsizetype i) -> char32_t {
        if (i + 1 >= text.size() || !text.at(i).isHighSurrogate() || !text.at(i + 1).isLowSurrogate())
            return 0;
        return QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
    };
    qsizetype i = at;
    for (int length = 0; length <= MaxCodeLength; ++length, i += 2) {
        const char32_t c = tagAt(i);
        if (c == CancelTag && length > 0)
            return i + 2 - at;
        const bool letterOrDigit = (c >= 0xE0030 && c <= 0xE0039) || (c >= 0xE0061 && c <= 0xE007A);
        if (!letterOrDigit)
            return 0;
    }
    return 0;
}

// The text with unprintable characters replaced, cut after at most
// maxChars UTF-16 units on a whole character. A line break (CR LF, CR or
// LF) becomes lineBreak; a tab becomes a blank.
QString Cleaned(const QString& text, qsizetype maxChars, QChar lineBreak, bool& cut)
{
    QString cleaned;
    cleaned.reserve(std::min(text.size(), maxChars));
    cut = false;
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text.at(i).unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            units = 2;
        }
        if (cleaned.size() + units > maxChars) {
            cut = true;
            break;
        }
        if (c == U'\r' || c == U'\n') {
            cleaned += lineBreak;
            if (c == U'\r' && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++units;
        } else if (c == U'\t') {
            cleaned += QLatin1Char(' ');
        } else if (!IsPrintable(c)) {
            cleaned += Replacement;
        } else {
            cleaned += text.mid(i, units);
        }
        i += units;
    }
    if (cut)
        cleaned += Ellipsis;
    return cleaned;
}

}

TServerText TServerText::Of(const QString& text)
{
    const QString trimmed = text.trimmed();
    TServerText result;
    bool cut = false;
    result.Shown = Cleaned(trimmed, MaxShownChars, QLatin1Char(' '), cut);
    if (cut)
        result.Details = Cleaned(trimmed, MaxDetailChars, QLatin1Char('\n'), cut);
    return result;
}

QString TServerText::Clean(const QString& text)
{
    QString cleaned;
    cleaned.reserve(text.size());
    bool separated = false;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        qsizetype units = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const char32_t code = units == 2 ? QChar::surrogateToUcs4(c, text.at(i + 1)) : c.unicode();
        if (IsSeparating(code)) {
            if (!cleaned.endsWith(QLatin1Char(' ')))
                cleaned += QLatin1Char(' ');
            separated = true;
        } else if (separated && c == QLatin1Char(' ')) {
            // The blank that the separators became stands for it.
        } else if (c.isSurrogate() && units == 1) {
            cleaned += Replacement;
            separated = false;
        } else if (!IsHiding(code)) {
            const qsizetype tags = code == WavingBlackFlag ? TagSequenceUnits(text, i + units) : 0;
            cleaned += text.mid(i, units + tags);
            units += tags;
            separated = false;
        }
        i += units;
    }
    return cleaned;
}

bool TServerText::Bound(QString& value)
{
    if (value.size() <= MaxValueChars)
        return false;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, value);
    characters.setPosition(MaxValueChars - 1);
    if (!characters.isAtBoundary())
        characters.toPreviousBoundary();
    value.truncate(std::max<qsizetype>(characters.position(), 0));
    while (!value.isEmpty() && value.back().isSpace())
        value.chop(1);
    value += Ellipsis;
    return true;
}
