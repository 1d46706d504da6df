#include "dialogs/HtmlTokenizer.h"

#include <QtGui/private/qtexthtmlparser_p.h>

#include <utility>

namespace {

// Qt reads at most this many characters after a "&" for a reference.
constexpr qsizetype MaxReferenceLength = 9;

}

bool THtmlTokenizer::At(char16_t c, qsizetype ahead) const
{
    return m_pos + ahead < m_text.size() && m_text.at(m_pos + ahead) == QChar(c);
}

void THtmlTokenizer::SkipSpace()
{
    while (!AtEnd() && m_text.at(m_pos).isSpace() && m_text.at(m_pos) != QChar::ParagraphSeparator)
        ++m_pos;
}

void THtmlTokenizer::SkipPast(char16_t end)
{
    while (!AtEnd())
        if (m_text.at(m_pos++) == QChar(end))
            break;
}

// After a "&": the character a reference stands for, read by Qt's own
// table, or the "&" itself when the characters up to a ";" name none.
QString THtmlTokenizer::Reference()
{
    const qsizetype start = m_pos;
    qsizetype length = 0;
    bool broken = false;
    while (!AtEnd()) {
        const QChar c = m_text.at(m_pos++);
        if (c.isSpace() || m_pos - start > MaxReferenceLength) {
            broken = true;
            break;
        }
        if (c == u';')
            break;
        ++length;
    }
    if (!broken && length > 0) {
        const QString character = QTextHtmlParser::parseEntity(m_text.sliced(start, length));
        if (!character.isNull())
            return character;
    }
    m_pos = start;
    return QStringLiteral("&");
}

QString THtmlTokenizer::DoubleQuoted()
{
    QString word;
    ++m_pos;
    while (!AtEnd()) {
        const QChar c = m_text.at(m_pos++);
        if (c == u'"')
            break;
        if (c == u'&')
            word += Reference();
        else
            word += c;
    }
    return word;
}

// Single quotes keep references as they are; a quote after a backslash
// does not end the word.
QString THtmlTokenizer::SingleQuoted()
{
    QString word;
    ++m_pos;
    while (!AtEnd()) {
        const QChar c = m_text.at(m_pos++);
        if (c == u'\'' && m_text.at(m_pos - 2) != u'\\')
            break;
        word += c;
    }
    return word;
}

QString THtmlTokenizer::Unquoted()
{
    QString word;
    while (!AtEnd()) {
        const QChar c = m_text.at(m_pos);
        if (c == u'>' || (c == u'/' && At(u'>', 1)) || c == u'<' || c == u'=' || c.isSpace())
            break;
        ++m_pos;
        if (c == u'&')
            word += Reference();
        else
            word += c;
    }
    return word;
}

THtmlTokenizer::TWord THtmlTokenizer::Word()
{
    TWord word;
    word.From = m_pos;
    if (At(u'"'))
        word.Text = DoubleQuoted();
    else if (At(u'\''))
        word.Text = SingleQuoted();
    else
        word.Text = Unquoted();
    word.To = m_pos;
    return word;
}

std::optional<THtmlTag> THtmlTokenizer::Next()
{
    const qsizetype at = m_text.indexOf(u'<', m_pos);
    if (at < 0) {
        m_pos = m_text.size();
        return std::nullopt;
    }
    THtmlTag tag;
    tag.From = at;
    m_pos = at + 1;
    SkipSpace();
    if (At(u'!'))
        ReadDeclaration(tag);
    else if (At(u'/'))
        ReadEndTag(tag);
    else
        ReadStartTag(tag);
    tag.To = m_pos;
    return tag;
}

QString THtmlTokenizer::Text(qsizetype from, qsizetype to)
{
    QString text;
    const qsizetype next = std::exchange(m_pos, from);
    while (m_pos < to) {
        const QChar c = m_text.at(m_pos++);
        if (c == u'&')
            text += Reference();
        else
            text += c;
    }
    m_pos = next;
    return text;
}

// A comment ends at the first "-->", anything else after "<!" at the
// first ">".
void THtmlTokenizer::ReadDeclaration(THtmlTag& tag)
{
    tag.Kind = THtmlTag::Declaration;
    ++m_pos;
    if (At(u'-') && At(u'-', 1)) {
        const qsizetype end = m_text.indexOf(u"-->", m_pos + 2);
        m_pos = end < 0 ? m_text.size() : end + 3;
    } else {
        SkipPast(u'>');
    }
}

void THtmlTokenizer::ReadEndTag(THtmlTag& tag)
{
    tag.Kind = THtmlTag::End;
    ++m_pos;
    tag.Name = Word().Text.toLower().trimmed();
    SkipPast(u'>');
}

void THtmlTokenizer::ReadStartTag(THtmlTag& tag)
{
    tag.Kind = THtmlTag::Start;
    tag.Name = Word().Text.toLower();
    // Attributes only after a blank.
    if (!AtEnd() && m_text.at(m_pos).isSpace())
        ReadAttributes(tag);
    for (; !AtEnd() && !At(u'>'); ++m_pos)
        tag.Closed = tag.Closed || At(u'/');
    if (!AtEnd())
        ++m_pos;
}

void THtmlTokenizer::ReadAttributes(THtmlTag& tag)
{
    while (!AtEnd()) {
        SkipSpace();
        if (At(u'>') || At(u'/'))
            return;
        THtmlAttribute attribute;
        attribute.Name = Word().Text.toLower();
        if (attribute.Name.isEmpty())
            return;
        attribute.Value = QStringLiteral("1");
        SkipSpace();
        if (At(u'=')) {
            ++m_pos;
            SkipSpace();
            const TWord value = Word();
            attribute.Value = value.Text;
            attribute.ValueFrom = value.From;
            attribute.ValueTo = value.To;
        }
        if (!attribute.Value.isEmpty())
            tag.Attributes << attribute;
    }
}
