#include "export/TemplateTagProducer.h"

#include "export/ExportError.h"
#include "localisation/Cp1252.h"
#include "tagengine/FrameCodecs.h"

namespace {

bool IsBlank(QChar c)
{
    return c.unicode() < 33;
}

bool IsFieldSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

bool IsSymbolStart(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_';
}

bool IsSymbolChar(QChar c)
{
    const char16_t u = c.unicode();
    return IsSymbolStart(c) || (u >= '0' && u <= '9');
}

// The end of the token that starts at i: a symbol, or one character.
qsizetype TokenEnd(const QString& text, qsizetype i)
{
    if (i >= text.size())
        return i;
    if (!IsSymbolStart(text.at(i)))
        return i + 1;
    qsizetype j = i + 1;
    while (j < text.size() && IsSymbolChar(text.at(j)))
        ++j;
    return j;
}

qsizetype SkipBlanks(const QString& text, qsizetype i)
{
    while (i < text.size() && IsBlank(text.at(i)))
        ++i;
    return i;
}

QString TrimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text.at(first)))
        ++first;
    while (last > first && IsBlank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

// The attribute text of a tag: from `from` to the first ">" outside quotes.
qsizetype AttributeEnd(const QString& text, qsizetype from)
{
    bool inDouble = false;
    bool inSingle = false;
    for (qsizetype k = from; k < text.size(); ++k) {
        const QChar c = text.at(k);
        if (c == QLatin1Char('"') && !inSingle)
            inDouble = !inDouble;
        else if (c == QLatin1Char('\'') && !inDouble)
            inSingle = !inSingle;
        else if (c == QLatin1Char('>') && !inDouble && !inSingle)
            return k;
    }
    return text.size();
}

// Cuts the attribute text into fields at blanks outside double quotes.
QStringList CutFields(const QString& attributes)
{
    QStringList fields;
    qsizetype k = 0;
    const qsizetype size = attributes.size();
    while (k < size) {
        while (k < size && IsFieldSeparator(attributes.at(k)))
            ++k;
        if (k >= size)
            break;
        const bool leadingQuote = attributes.at(k) == QLatin1Char('"');
        bool inQuote = false;
        QString field;
        for (; k < size; ++k) {
            const QChar c = attributes.at(k);
            if (c == QLatin1Char('"'))
                inQuote = !inQuote;
            else if (!inQuote && IsFieldSeparator(c))
                break;
            field += c;
        }
        if (leadingQuote) {
            field.remove(0, 1);
            const qsizetype closing = field.indexOf(QLatin1Char('"'));
            if (closing >= 0)
                field.remove(closing, 1);
        }
        fields << field;
    }
    return fields;
}

// From the end towards the start: a quote opens a pair and goes, the next
// earlier quote of the same kind closes it and goes too.
QString StripQuotes(QString field)
{
    for (qsizetype k = field.size() - 1; k >= 0; --k) {
        const QChar quote = field.at(k);
        if (quote != QLatin1Char('"') && quote != QLatin1Char('\''))
            continue;
        field.remove(k, 1);
        qsizetype p = k - 1;
        while (p >= 0 && field.at(p) != quote)
            --p;
        if (p >= 0)
            field.remove(p, 1);
        k = p;
    }
    return field;
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// "+" is a blank, "%%" a "%", "%" and two hexadecimal digits a byte; runs of
// such bytes are read as UTF-8 where they form it, else as Windows-1252.
QString UrlDecode(const QString& field)
{
    QString result;
    QByteArray bytes;
    const auto flushBytes = [&] {
        if (!bytes.isEmpty())
            result += DecodeUtf8OrCp1252(bytes);
        bytes.clear();
    };
    for (qsizetype k = 0; k < field.size(); ++k) {
        const QChar c = field.at(k);
        if (c != QLatin1Char('%')) {
            flushBytes();
            result += c == QLatin1Char('+') ? QChar(QLatin1Char(' ')) : c;
            continue;
        }
        if (k + 1 < field.size() && field.at(k + 1) == QLatin1Char('%')) {
            flushBytes();
            result += QLatin1Char('%');
            ++k;
            continue;
        }
        const int high = k + 2 < field.size() ? HexValue(field.at(k + 1)) : -1;
        const int low = k + 2 < field.size() ? HexValue(field.at(k + 2)) : -1;
        if (high < 0 || low < 0)
            throw TExportError(QStringLiteral("Invalid URL encoding in template tag attribute \"%1\"").arg(field));
        bytes += static_cast<char>(high * 16 + low);
        k += 2;
    }
    flushBytes();
    return result;
}

}

QString TTagParams::Value(const QString& name) const
{
    for (const QString& line : Lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(line).left(eq).compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return {};
}

void TTemplateTagProducer::SetHTMLDoc(const QString& text)
{
    m_lines = SplitTextLines(text);
    m_pieces.reset();
}

QString TTemplateTagProducer::HTMLDocText() const
{
    QString text;
    qsizetype size = 0;
    for (const QString& line : m_lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : m_lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text;
}

void TTemplateTagProducer::SetStripParamQuotes(bool strip)
{
    m_stripParamQuotes = strip;
    m_pieces.reset();
}

std::shared_ptr<const TTemplateTagProducer::TPieces> TTemplateTagProducer::Pieces()
{
    if (m_pieces)
        return m_pieces;
    const QString text = HTMLDocText();
    auto pieces = std::make_shared<TPieces>();
    QString literal;
    const auto addTag = [&](const QString& name, const QString& attributes) {
        if (!literal.isEmpty())
            pieces->push_back(TPiece{literal, false, {}});
        literal.clear();
        TPiece tag{name, true, {}};
        for (const QString& field : CutFields(TrimBlanks(attributes)))
            tag.Params.Lines << UrlDecode(m_stripParamQuotes ? StripQuotes(field) : field);
        pieces->push_back(std::move(tag));
    };
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const qsizetype open = text.indexOf(QLatin1Char('<'), i);
        if (open < 0) {
            literal += QStringView(text).mid(i);
            break;
        }
        literal += QStringView(text).mid(i, open - i);
        const qsizetype next = SkipBlanks(text, open + 1);
        if (next >= size) {
            literal += QLatin1Char('<');
            break;
        }
        if (text.at(next) != QLatin1Char('#')) {
            // Not a tag: "<", then the token and its blanks, as plain text.
            const qsizetype tokenEnd = TokenEnd(text, next);
            const qsizetype blanksEnd = SkipBlanks(text, tokenEnd);
            literal += QLatin1Char('<');
            literal += QStringView(text).mid(next, blanksEnd - next);
            i = blanksEnd;
            continue;
        }
        const qsizetype nameStart = SkipBlanks(text, next + 1);
        const qsizetype nameEnd = TokenEnd(text, nameStart);
        const qsizetype close = AttributeEnd(text, nameEnd);
        addTag(text.mid(nameStart, nameEnd - nameStart), text.mid(nameEnd, close - nameEnd));
        if (close >= size)
            break; // no closing ">": the rest was this tag's
        i = close + 1;
    }
    if (!literal.isEmpty())
        pieces->push_back(TPiece{literal, false, {}});
    m_pieces = std::move(pieces);
    return m_pieces;
}

QString TTemplateTagProducer::Content()
{
    const std::shared_ptr<const TPieces> pieces = Pieces();
    QString output;
    for (const TPiece& piece : *pieces) {
        if (!piece.IsTag) {
            output += piece.Text;
            continue;
        }
        QString replaceText;
        if (m_handler)
            m_handler(*this, piece.Text, piece.Params, replaceText);
        output += replaceText;
    }
    return output;
}
