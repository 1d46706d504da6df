#include "localisation/LanguageLines.h"

#include "localisation/Cp1252.h"

namespace {

QString KeyOf(const QString& line, bool* hasKey)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    *hasKey = eq >= 0;
    return eq < 0 ? QString() : line.left(eq);
}

bool IsBlankOrControl(char16_t c)
{
    return c <= 0x20;
}

}

QList<TLineSpan> LanguageLineSpans(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    const qsizetype size = nul < 0 ? bytes.size() : nul;
    QList<TLineSpan> spans;
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        spans << TLineSpan{start, i - start};
        if (c == '\r' && i + 1 < size && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        spans << TLineSpan{start, size - start};
    return spans;
}

QList<QByteArray> SplitLanguageBytes(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    for (const TLineSpan& span : LanguageLineSpans(bytes))
        lines << bytes.mid(span.start, span.length);
    return lines;
}

std::optional<QByteArray> RawLineKey(const QByteArray& line)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return line.left(eq);
}

TLanguageLines TLanguageLines::FromBytes(const QByteArray& bytes)
{
    TLanguageLines result;
    result.m_raw = SplitLanguageBytes(bytes);
    const qsizetype nul = bytes.indexOf('\0');
    const bool utf8 = IsValidUtf8(nul < 0 ? bytes : bytes.left(nul));
    for (const QByteArray& raw : result.m_raw)
        result.m_lines << (utf8 ? QString::fromUtf8(raw) : DecodeCp1252(raw));
    if (utf8 && !result.m_lines.isEmpty() && result.m_lines.first().startsWith(QChar(0xFEFF)))
        result.m_lines.first().remove(0, 1);
    result.BuildIndex();
    return result;
}

TLanguageLines TLanguageLines::FromLines(const QStringList& lines)
{
    TLanguageLines result;
    for (const QString& line : lines)
        result.m_raw << line.toUtf8();
    result.m_lines = lines;
    result.BuildIndex();
    return result;
}

void TLanguageLines::BuildIndex()
{
    m_index.clear();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        bool hasKey = false;
        const QString key = KeyOf(m_lines.at(i), &hasKey);
        const QString folded = key.toCaseFolded();
        if (hasKey && !m_index.contains(folded))
            m_index.insert(folded, i); // the first line of a key wins
    }
}

QString TLanguageLines::Value(const QString& key) const
{
    const auto it = m_index.constFind(key.toCaseFolded());
    if (it == m_index.constEnd())
        return QString();
    const QString& line = m_lines.at(it.value());
    return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

bool TLanguageLines::HasKey(const QString& key) const
{
    return m_index.contains(key.toCaseFolded());
}

QByteArray TrimBlanks(const QByteArray& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && static_cast<unsigned char>(text.at(begin)) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text.at(end - 1)) <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString TrimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlankOrControl(text.at(begin).unicode()))
        ++begin;
    while (end > begin && IsBlankOrControl(text.at(end - 1).unicode()))
        --end;
    return text.mid(begin, end - begin);
}
