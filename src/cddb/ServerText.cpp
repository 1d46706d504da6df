#include "cddb/ServerText.h"

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

// Invisible characters that steer how a text is shown; the two joiners
// are part of how some scripts and emoji are written.
bool IsSteering(char32_t c)
{
    return QChar::category(c) == QChar::Other_Format && c != 0x200C && c != 0x200D;
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
        const qsizetype units = c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
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
        } else if (!IsSteering(code)) {
            cleaned += text.mid(i, units);
            separated = false;
        }
        i += units;
    }
    return cleaned;
}
