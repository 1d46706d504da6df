#include "export/TemplateBlock.h"

namespace {

struct TTagSpan {
    qsizetype Start; // the tag's "<"
    qsizetype End;   // one past its ">"
};

// The tag around a marker at position: from the nearest "<" before it (or the
// start) to the first ">" from the character after the marker on (or the
// last character).
TTagSpan TagAround(const QString& text, qsizetype position, qsizetype markerLength)
{
    const qsizetype open = position > 0 ? text.lastIndexOf(QLatin1Char('<'), position - 1) : -1;
    const qsizetype close = text.indexOf(QLatin1Char('>'), position + markerLength);
    return {open < 0 ? 0 : open, close < 0 ? text.size() : close + 1};
}

// name=value pairs separated by blanks; only double quotes quote.
TTagParams ParseBlockAttributes(const QString& text)
{
    TTagParams params;
    QString name;
    QString value;
    bool inValue = false;
    bool inQuote = false;
    const auto addPair = [&] {
        if (!name.isEmpty())
            params.Lines << name + QLatin1Char('=') + value;
        name.clear();
        value.clear();
        inValue = false;
    };
    for (const QChar c : text) {
        if (c.unicode() <= ' ' && !inQuote) {
            addPair();
        } else if (c.unicode() <= ' ') {
            value += c;
        } else if (c == QLatin1Char('=')) {
            if (inValue)
                value += c;
            inValue = true;
        } else if (c == QLatin1Char('"')) {
            if (inValue)
                inQuote = !inQuote;
        } else {
            (inValue ? value : name) += c;
        }
    }
    addPair();
    return params;
}

}

bool ExtractTemplateBlock(const QString& beginMarker, const QString& endMarker, const QString& replacement,
                          QString& templateText, QString& body, TTagParams& attributes)
{
    attributes.Lines.clear();
    body.clear();
    const qsizetype begin = templateText.indexOf(beginMarker);
    if (templateText.isEmpty() || begin < 0)
        return false;
    const TTagSpan beginTag = TagAround(templateText, begin, beginMarker.size());
    // Only an end marker after the begin tag closes the block.
    qsizetype end = templateText.lastIndexOf(endMarker);
    if (end < beginTag.End)
        end = -1;
    TTagSpan endTag =
        end >= 0 ? TagAround(templateText, end, endMarker.size()) : TTagSpan{templateText.size(), templateText.size()};
    endTag.Start = qMax(endTag.Start, beginTag.End);

    body = templateText.mid(beginTag.End, endTag.Start - beginTag.End);
    const qsizetype markerEnd = begin + beginMarker.size();
    const QString tagRest = templateText.mid(markerEnd, beginTag.End - markerEnd);
    attributes = ParseBlockAttributes(tagRest.isEmpty() ? tagRest : tagRest.chopped(1)); // without the ">"
    templateText = templateText.left(beginTag.Start) + replacement + templateText.mid(endTag.End);
    return true;
}
