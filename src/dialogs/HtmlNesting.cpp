#include "dialogs/HtmlNesting.h"

#include <QString>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// One element open at the point read. An element whose name is not certain
// may be any element: no start tag ends it, and an end tag ends it only where
// that ends fewer elements than the end tag could.
struct TOpenElement {
    QString Name;
    bool Unsure = false;
};

// A word of a tag as Qt reads it (quoted or up to the next delimiter).
// Unsure when it holds "&": Qt replaces character references in it, so it
// may name something else than it spells.
struct TWord {
    QStringView Text;
    bool Unsure = false;
};

bool IsEmptyElement(const QString& name)
{
    return name == u"img" || name == u"hr" || name == u"br" || name == u"meta";
}

// Whether Qt keeps an element of that name inside an open one of the parent's
// name, or ends the parent first.
bool MayBeInside(const QString& name, const QString& parent)
{
    if (name == u"td" || name == u"th")
        return parent == u"tr";
    if (name == u"tr")
        return parent == u"table" || parent == u"thead" || parent == u"tbody" || parent == u"tfoot";
    if (name == u"thead" || name == u"tbody" || name == u"tfoot")
        return parent == u"table";
    if (name == u"dd")
        return parent == u"dt" || parent == u"dl";
    if (name == u"dt")
        return parent == u"dl";
    return true;
}

// Follows the elements Qt's rich-text reader keeps open while it reads a page.
// Where Qt's choice depends on what cannot be known here (a name spelt with
// character references, a style that makes an element a block), the open
// elements are kept as if Qt ended the fewest, so the depth counted is never
// below Qt's.
class TNestingReader {
public:
    TNestingReader(QStringView html, int levels) : m_text(html), m_levels(levels) {}

    // Whether the elements nest deeper than the levels.
    bool TooDeep()
    {
        while (!m_tooDeep) {
            const qsizetype tag = m_text.indexOf(u'<', m_pos);
            if (tag < 0)
                break;
            m_pos = tag + 1;
            ReadTag();
        }
        return m_tooDeep;
    }

private:
    bool AtEnd() const { return m_pos >= m_text.size(); }
    bool At(char16_t c, qsizetype ahead = 0) const
    {
        return m_pos + ahead < m_text.size() && m_text.at(m_pos + ahead) == QChar(c);
    }

    void SkipSpace()
    {
        while (!AtEnd() && m_text.at(m_pos).isSpace() && m_text.at(m_pos) != QChar::ParagraphSeparator)
            ++m_pos;
    }

    void SkipPast(char16_t end)
    {
        while (!AtEnd())
            if (m_text.at(m_pos++) == QChar(end))
                break;
    }

    TWord ReadQuoted(char16_t quote)
    {
        const qsizetype start = ++m_pos;
        while (!AtEnd()) {
            const QChar c = m_text.at(m_pos++);
            // A single quote after a backslash does not end the word.
            if (c == QChar(quote) && (quote == u'"' || m_text.at(m_pos - 2) != u'\\'))
                return Word(start, m_pos - 1, quote == u'"');
        }
        return Word(start, m_pos, quote == u'"');
    }

    TWord ReadWord()
    {
        if (At(u'"') || At(u'\''))
            return ReadQuoted(m_text.at(m_pos).unicode());
        const qsizetype start = m_pos;
        while (!AtEnd()) {
            const QChar c = m_text.at(m_pos);
            if (c == u'>' || (c == u'/' && At(u'>', 1)) || c == u'<' || c == u'=' || c.isSpace())
                break;
            ++m_pos;
        }
        return Word(start, m_pos, true);
    }

    TWord Word(qsizetype start, qsizetype end, bool referencesRead) const
    {
        const QStringView text = m_text.sliced(start, end - start);
        return {text, referencesRead && text.contains(u'&')};
    }

    void SkipAttributes()
    {
        while (!AtEnd()) {
            SkipSpace();
            if (At(u'>') || At(u'/') || ReadWord().Text.isEmpty())
                return;
            SkipSpace();
            if (At(u'=')) {
                ++m_pos;
                SkipSpace();
                ReadWord();
            }
        }
    }

    // Skips to the end of a start tag; whether a "/" on the way closed it.
    bool SkipToTagEnd()
    {
        bool closed = false;
        for (; !AtEnd() && !At(u'>'); ++m_pos)
            closed = closed || At(u'/');
        ++m_pos;
        return closed;
    }

    void ReadTag()
    {
        SkipSpace();
        if (At(u'!'))
            ReadDeclaration();
        else if (At(u'/'))
            ReadEndTag();
        else
            ReadStartTag();
    }

    // A comment or a declaration such as a document type: no element.
    void ReadDeclaration()
    {
        ++m_pos;
        if (At(u'-') && At(u'-', 1)) {
            const qsizetype end = m_text.indexOf(u"-->", m_pos + 2);
            m_pos = end < 0 ? m_text.size() : end + 3;
        } else {
            SkipPast(u'>');
        }
    }

    void ReadEndTag()
    {
        ++m_pos;
        const TWord word = ReadWord();
        SkipPast(u'>');
        const QString name = word.Text.toString().toLower().trimmed();
        if (!name.isEmpty() && !word.Unsure)
            End(name);
    }

    void ReadStartTag()
    {
        const TWord word = ReadWord();
        if (!AtEnd() && m_text.at(m_pos).isSpace())
            SkipAttributes();
        const bool closed = SkipToTagEnd();
        if (word.Unsure) {
            // It may be a cell that opens a table and a row around itself.
            for (int level = 0; level < 3; ++level)
                Push({QString(), true});
        } else if (const QString name = word.Text.toString().toLower(); !name.isEmpty()) {
            Start(name, closed);
        }
    }

    // Qt ends the innermost open element of that name with everything inside
    // it, and ignores an end tag that matches none.
    void End(const QString& name)
    {
        // An element of unsure name on the way may be the one ended.
        qsizetype unsure = -1;
        qsizetype match = qsizetype(m_open.size()) - 1;
        for (; match >= 0 && (m_open[match].Unsure || m_open[match].Name != name); --match) {
            if (m_open[match].Unsure && unsure < 0)
                unsure = match;
        }
        if (match >= 0)
            Keep(unsure >= 0 ? unsure : match);
    }

    void Start(const QString& name, bool closed)
    {
        // A cell outside a row, or a row outside a table, gets them added.
        if (name == u"td" && !IsOpen(u"tr")) {
            Push({QStringLiteral("table")});
            Push({QStringLiteral("tr")});
        } else if (name == u"tr" && !IsOpen(u"table")) {
            Push({QStringLiteral("table")});
        }
        // A paragraph or list item directly inside another one ends it.
        if ((name == u"p" || name == u"li") && !m_open.empty() && !m_open.back().Unsure && m_open.back().Name == name)
            Keep(m_open.size() - 1);
        while (!m_open.empty() && !m_open.back().Unsure && !MayBeInside(name, m_open.back().Name))
            Keep(m_open.size() - 1);
        if (!closed && !IsEmptyElement(name))
            Push({name});
    }

    bool IsOpen(QStringView name) const
    {
        for (const TOpenElement& element : m_open)
            if (!element.Unsure && element.Name == name)
                return true;
        return false;
    }

    void Push(TOpenElement element)
    {
        m_open.push_back(std::move(element));
        m_tooDeep = m_tooDeep || qsizetype(m_open.size()) > m_levels;
    }

    // Ends the open elements from the count-th on.
    void Keep(qsizetype count) { m_open.resize(std::min(qsizetype(m_open.size()), count)); }

    QStringView m_text;
    qsizetype m_pos = 0;
    int m_levels;
    std::vector<TOpenElement> m_open;
    bool m_tooDeep = false;
};

}

bool HtmlNestsDeeperThan(QStringView html, int levels)
{
    return TNestingReader(html, levels).TooDeep();
}

bool FramesNestDeeperThan(const QTextDocument& document, int levels)
{
    // Walked without recursion: the frames may nest thousands deep.
    std::vector<std::pair<const QTextFrame*, int>> pending{{document.rootFrame(), 0}};
    while (!pending.empty()) {
        const auto [frame, depth] = pending.back();
        pending.pop_back();
        if (depth > levels)
            return true;
        for (const QTextFrame* child : frame->childFrames())
            pending.emplace_back(child, depth + 1);
    }
    return false;
}
