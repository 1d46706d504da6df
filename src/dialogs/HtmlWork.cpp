#include "dialogs/HtmlWork.h"

#include "dialogs/HtmlNesting.h"
#include "dialogs/HtmlTokenizer.h"

#include <QtGui/private/qcssparser_p.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using Kind = THtmlElementKind;

// Qt's own bound of a column span.
constexpr int QtMaxColumnSpan = 20480;

bool IsSpan(const THtmlAttribute& attribute)
{
    return attribute.Name == u"colspan" || attribute.Name == u"rowspan";
}

bool IsCell(const THtmlTag& tag)
{
    return tag.Kind == THtmlTag::Start && (tag.Name == u"td" || tag.Name == u"th");
}

// Tags that make Qt build what their place among the tags does not tell: an
// end tag of an empty element makes Qt go on in that element's parent
// (opening again an element ended long before), and an element without a
// name is counted twice by its parent when the next element takes its place.
bool IsTakenOut(const THtmlTag& tag)
{
    return (tag.Kind == THtmlTag::End && IsEmptyElement(tag.Name)) || (tag.Kind == THtmlTag::Start && tag.Name.isEmpty());
}

// The page with larger spans cut and misleading tags taken out.
QString BoundedText(QStringView html, int maxSpan)
{
    QString bounded;
    bounded.reserve(html.size());
    qsizetype copied = 0;
    const auto replace = [&](qsizetype from, qsizetype to, QStringView by) {
        bounded += html.sliced(copied, from - copied);
        bounded += by;
        copied = to;
    };
    const QString span = QLatin1Char('"') + QString::number(maxSpan) + QLatin1Char('"');
    THtmlTokenizer tokens(html);
    while (const std::optional<THtmlTag> tag = tokens.Next()) {
        if (IsTakenOut(*tag))
            replace(tag->From, tag->To, {});
        if (!IsCell(*tag))
            continue;
        for (const THtmlAttribute& attribute : tag->Attributes) {
            bool ok = false;
            const int value = IsSpan(attribute) ? attribute.Value.toInt(&ok) : 0;
            if (ok && value > maxSpan)
                replace(attribute.ValueFrom, attribute.ValueTo, span);
        }
    }
    bounded += html.sliced(copied);
    return bounded;
}

qsizetype SelectorWeight(const QCss::Selector& selector)
{
    qsizetype weight = 0;
    for (const QCss::BasicSelector& basic : selector.basicSelectors)
        weight += 1 + basic.ids.size() + basic.attributeSelectors.size() + basic.pseudos.size();
    return weight;
}

// What checking a rule against one element may cost: each selector's parts,
// and for each selector that matches, the rule's declarations and values.
qsizetype RuleWeight(const QCss::StyleRule& rule)
{
    qsizetype declarations = 0;
    for (const QCss::Declaration& declaration : rule.declarations)
        declarations += 1 + declaration.d->values.size();
    qsizetype weight = 0;
    for (const QCss::Selector& selector : rule.selectors)
        weight += SelectorWeight(selector) + declarations;
    return weight;
}

// The weight of a style sheet's rules, read by Qt's own style sheet reader
// as Qt reads it.
qsizetype StyleSheetWeight(const QString& css)
{
    QCss::Parser parser(css);
    QCss::StyleSheet sheet;
    sheet.origin = QCss::StyleSheetOrigin_Author;
    parser.parse(&sheet, Qt::CaseInsensitive);
    qsizetype weight = 0;
    const auto add = [&](const auto& rules) {
        for (const QCss::StyleRule& rule : rules)
            weight += RuleWeight(rule);
    };
    add(sheet.styleRules);
    add(sheet.nameIndex);
    add(sheet.idIndex);
    for (const QCss::MediaRule& media : sheet.mediaRules)
        add(media.styleRules);
    return weight;
}

// The cell and span of a table that Qt builds, row by row, as Qt counts its
// columns: a cell is placed after the cells of earlier rows that span down
// into its row.
class TTable {
public:
    // Cells of the table: its rows times its columns.
    qsizetype Cells() const { return m_rows * m_columns; }
    void StartRow()
    {
        ++m_rows;
        m_columnsInRow = 0;
    }
    void AddCell(qsizetype columnSpan, qsizetype rowSpan)
    {
        const qsizetype row = m_rows - 1;
        while (m_columnsInRow < qsizetype(m_spans.size())) {
            const TSpan& above = m_spans[m_columnsInRow];
            if (above.Row + above.Rows <= row)
                break;
            m_columnsInRow += above.Columns;
        }
        const qsizetype column = m_columnsInRow;
        m_columnsInRow += columnSpan;
        if (qsizetype(m_spans.size()) < m_columnsInRow)
            m_spans.resize(m_columnsInRow);
        std::fill(m_spans.begin() + column, m_spans.begin() + m_columnsInRow, TSpan{row, rowSpan, columnSpan});
        m_columns = std::max(m_columns, m_columnsInRow);
    }

private:
    struct TSpan {
        qsizetype Row = 0;
        qsizetype Rows = 1;
        qsizetype Columns = 1;
    };

    qsizetype m_rows = 0;
    qsizetype m_columns = 0;
    qsizetype m_columnsInRow = 0;
    // For each column: the cell that took it last.
    std::vector<TSpan> m_spans;
};

// Counts what Qt builds from a page, tag by tag, until a limit is passed.
class TWorkCounter {
public:
    TWorkCounter(QStringView html, const THtmlLimits& limits) : m_html(html), m_tokens(html), m_limits(limits) {}

    THtmlWork Count()
    {
        qsizetype textFrom = 0;
        bool afterDeclaration = false;
        while (m_work.Excess == THtmlExcess::None) {
            const std::optional<THtmlTag> tag = m_tokens.Next();
            if (m_styleIsLast)
                AddStyleText(textFrom, tag ? tag->From : m_html.size(), afterDeclaration);
            if (!tag)
                break;
            textFrom = tag->To;
            afterDeclaration = tag->Kind == THtmlTag::Declaration;
            if (tag->Kind == THtmlTag::Start)
                ReadStartTag(*tag);
            else if (tag->Kind == THtmlTag::End)
                ReadEndTag(*tag);
        }
        return m_work;
    }

private:
    void ReadStartTag(const THtmlTag& tag)
    {
        m_styleIsLast = false;
        std::vector<THtmlElement>& open = m_nesting.Open();
        const int started = m_nesting.Start(tag.Name);
        for (qsizetype at = qsizetype(open.size()) - started; at < qsizetype(open.size()); ++at) {
            AddElement(at + 1);
            Place(at, at + 1 == qsizetype(open.size()) ? &tag : nullptr);
        }
        if (tag.Closed || IsEmptyElement(tag.Name)) {
            m_nesting.EndInnermost();
        } else if (tag.Name == u"style") {
            m_styleIsLast = true;
            m_style.clear();
            m_styleSpaceEaten.clear();
        }
        m_work.Nesting = std::max(m_work.Nesting, int(open.size()));
        Check(m_work.Nesting > m_limits.Nesting, THtmlExcess::Nesting);
    }

    // Qt reads the text right after a style element as a style sheet at the
    // next end tag, again at each following end tag that ends nothing.
    void ReadEndTag(const THtmlTag& tag)
    {
        if (m_styleIsLast)
            ReadStyleSheet();
        if (m_nesting.End(tag.Name))
            m_styleIsLast = false;
    }

    // The style text as Qt gathers it. After a comment or declaration Qt
    // skips blanks, unless the style keeps its blanks: both are weighed.
    void AddStyleText(qsizetype from, qsizetype to, bool afterDeclaration)
    {
        const QString text = m_tokens.Text(from, to);
        m_style += text;
        qsizetype blanks = 0;
        if (afterDeclaration)
            while (from + blanks < to && m_html.at(from + blanks).isSpace()
                   && m_html.at(from + blanks) != QChar::ParagraphSeparator)
                ++blanks;
        m_styleSpaceEaten += blanks > 0 ? m_tokens.Text(from + blanks, to) : text;
    }

    void ReadStyleSheet()
    {
        m_work.StyleCharacters += m_style.size();
        if (Check(m_work.StyleCharacters > m_limits.StyleCharacters, THtmlExcess::StyleCharacters))
            return;
        m_styleWeight += std::max(StyleSheetWeight(m_style), StyleSheetWeight(m_styleSpaceEaten));
        CheckStyleWork();
    }

    // An element Qt creates; visits: the element and its ancestors, each of
    // which every style rule is checked against.
    void AddElement(qsizetype visits)
    {
        ++m_work.Elements;
        m_visits += visits;
        if (!Check(m_work.Elements > m_limits.Elements, THtmlExcess::Elements))
            CheckStyleWork();
    }

    void CheckStyleWork()
    {
        m_work.StyleWork = m_visits * m_styleWeight;
        Check(m_work.StyleWork > m_limits.StyleWork, THtmlExcess::StyleWork);
    }

    // Counts an element started at that place among the open ones as part
    // of its list or table.
    void Place(qsizetype at, const THtmlTag* tag)
    {
        std::vector<THtmlElement>& open = m_nesting.Open();
        THtmlElement& element = open[at];
        switch (element.Kind) {
        case Kind::ListItem:
            ++m_work.ListItems;
            Check(m_work.ListItems > m_limits.ListItems, THtmlExcess::ListItems);
            break;
        case Kind::Table:
            element.Mark = int(m_tables.size());
            m_tables.emplace_back();
            break;
        case Kind::Row:
            element.Mark = TableOfRow(at);
            if (element.Mark >= 0)
                ChangeTable(element.Mark, [](TTable& table) { table.StartRow(); });
            break;
        case Kind::Cell:
        case Kind::HeaderCell:
            if (tag && at > 0 && open[at - 1].Kind == Kind::Row && open[at - 1].Mark >= 0)
                AddCell(open[at - 1].Mark, *tag);
            break;
        default:
            break;
        }
    }

    // The table whose rows Qt counts a row among: its parent's, or its
    // parent section's.
    int TableOfRow(qsizetype at) const
    {
        const std::vector<THtmlElement>& open = m_nesting.Open();
        if (at > 0 && open[at - 1].Kind == Kind::Table)
            return open[at - 1].Mark;
        if (at > 1 && open[at - 1].Kind == Kind::TableSection && open[at - 2].Kind == Kind::Table)
            return open[at - 2].Mark;
        return -1;
    }

    void AddCell(int table, const THtmlTag& tag)
    {
        qsizetype columns = 1;
        qsizetype rows = 1;
        for (const THtmlAttribute& attribute : tag.Attributes) {
            bool ok = false;
            const int span = attribute.Value.toInt(&ok);
            if (ok && attribute.Name == u"rowspan")
                rows = std::max(1, span);
            else if (ok && attribute.Name == u"colspan")
                columns = std::clamp(span, 1, QtMaxColumnSpan);
        }
        ChangeTable(table, [&](TTable& cells) { cells.AddCell(columns, rows); });
    }

    template <typename TChange>
    void ChangeTable(int index, const TChange& change)
    {
        TTable& table = m_tables[index];
        m_work.TableCells -= table.Cells();
        change(table);
        m_work.TableCells += table.Cells();
        Check(m_work.TableCells > m_limits.TableCells, THtmlExcess::TableCells);
    }

    bool Check(bool passed, THtmlExcess excess)
    {
        if (passed && m_work.Excess == THtmlExcess::None)
            m_work.Excess = excess;
        return passed;
    }

    QStringView m_html;
    THtmlTokenizer m_tokens;
    const THtmlLimits& m_limits;
    THtmlNesting m_nesting;
    THtmlWork m_work;
    std::vector<TTable> m_tables;
    // The last element Qt created is a style element, so the text that
    // follows is a style sheet.
    bool m_styleIsLast = false;
    QString m_style;
    QString m_styleSpaceEaten;
    qsizetype m_visits = 0;
    qsizetype m_styleWeight = 0;
};

}

THtmlBounded BoundHtml(QStringView html, const THtmlLimits& limits)
{
    THtmlBounded bounded;
    bounded.Html = BoundedText(html, limits.TableSpan);
    bounded.Work = TWorkCounter(bounded.Html, limits).Count();
    return bounded;
}
