// The work a page asks of Qt's rich-text engine, counted before Qt reads it,
// compared with what Qt builds.

#include "HostileVersionPages.h"

#include "dialogs/HtmlWork.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

#include <random>

namespace {

// What Qt built from a page: the cells of its tables (rows times columns)
// and the items of its lists.
struct TBuilt {
    qsizetype TableCells = 0;
    qsizetype ListItems = 0;
    int MostColumns = 0;
};

void AddTables(const QTextFrame& frame, TBuilt& built)
{
    if (const auto* table = qobject_cast<const QTextTable*>(&frame)) {
        built.TableCells += qsizetype(table->rows()) * table->columns();
        built.MostColumns = std::max(built.MostColumns, table->columns());
    }
    for (const QTextFrame* child : frame.childFrames())
        AddTables(*child, built);
}

TBuilt Built(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    TBuilt built;
    AddTables(*document.rootFrame(), built);
    QSet<const QTextList*> lists;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.textList())
            lists.insert(block.textList());
    for (const QTextList* list : lists)
        built.ListItems += list->count();
    return built;
}

THtmlLimits Unlimited()
{
    constexpr qsizetype most = qsizetype(1) << 40;
    return {1 << 30, most, most, most, 1 << 30, most, most};
}

}

TEST(HtmlWorkTest, HostilePagesAreRefusedByWhatTheyAskForAndPagesWithinTheLimitsAreShown)
{
    const THtmlLimits limits;
    for (const THostileVersionPage& page : HostileVersionPages()) {
        const THtmlBounded bounded = BoundHtml(page.Html);
        EXPECT_EQ(bounded.Work.Excess, page.Excess) << page.Name;
        if (page.Excess != THtmlExcess::None)
            continue;
        // What Qt builds from a page that is shown stays within the limits.
        const TBuilt built = Built(bounded.Html);
        EXPECT_LE(built.TableCells, limits.TableCells) << page.Name;
        EXPECT_LE(built.ListItems, limits.ListItems) << page.Name;
        EXPECT_LE(bounded.Work.Elements, limits.Elements) << page.Name;
    }
}

TEST(HtmlWorkTest, SpansAreCutToTheLimitHoweverTheyAreSpelt)
{
    // Qt reads these as spans of 20480 columns or 9999 rows: the names and
    // values spelt with character references, in either case, quoted or
    // not, a quote left open to the end of the page.
    const QStringList cells = {
        "<td colspan=20480>",        "<TD COLSPAN=\"20480\">",   "<td colspan='20480'>",
        "<td col&#115;pan=20480>",   "<td colspan=&#50;0480>",   "<td colspan = \" 20480\">",
        "<t&#100; colspan=+20480/>", "<th colspan=20480>",       "<td colspan=\"20480",
        "<td colspan=1 colspan=20480>"};
    for (const QString& cell : cells) {
        const QString page = "<table><tr>" + cell + (cell.endsWith(u'>') ? "x</table><p>after</p>" : "");
        ASSERT_GT(Built(page).MostColumns, 1000) << cell.toStdString(); // what Qt would build
        const THtmlBounded bounded = BoundHtml(page);
        EXPECT_EQ(Built(bounded.Html).MostColumns, 32) << cell.toStdString();
        EXPECT_EQ(bounded.Work.TableCells, 32) << cell.toStdString();
    }
    // Rows spanned: each row's cell pushes the next one a column further.
    const QString rows = "<table>" + QStringLiteral("<tr><td rowspan=9999>x").repeated(40) + "</table>";
    EXPECT_EQ(Built(rows).TableCells, 40 * 40);
    const THtmlBounded bounded = BoundHtml(rows);
    EXPECT_EQ(Built(bounded.Html).TableCells, 40 * 32);
    EXPECT_EQ(bounded.Work.TableCells, 40 * 32);

    // Spans within the limit, other attributes and the page's text are kept.
    const QString kept = "<table width=20480><tr><td colspan=3 rowspan='2' title=\"colspan=20480\">x</table>"
                         "<p>colspan=20480</p>";
    EXPECT_EQ(BoundHtml(kept).Html, kept);
}

TEST(HtmlWorkTest, TagsThatMakeQtBuildWhatTheTagsDoNotTellAreTakenOut)
{
    // An end tag of an empty element right after the element that took the
    // place of the empty one's text makes Qt go on in the empty one's parent:
    // here the last cell of a table already ended, which gets 20 more cells.
    // A start tag without a name, followed by an element that takes its
    // place, makes its parent count that element twice: the row here.
    const QString rows = "<table>" + QStringLiteral("<tr><td>y").repeated(20) + "<br></table><b></br>"
                         + QStringLiteral("<td>x").repeated(20);
    const QString twice = "<table><thead><><tr><td>x</table>";
    ASSERT_EQ(Built(rows).TableCells, 20 * 21); // as Qt reads it
    ASSERT_EQ(Built(twice).TableCells, 2);
    for (const QString& page : {rows, twice}) {
        const THtmlBounded bounded = BoundHtml(page);
        EXPECT_EQ(Built(bounded.Html).TableCells, bounded.Work.TableCells) << page.toStdString();
    }
    EXPECT_EQ(BoundHtml(rows).Work.TableCells, 20 + 20);
    EXPECT_EQ(BoundHtml(twice).Work.TableCells, 1);

    // However they are spelt; nothing else is taken out.
    EXPECT_EQ(BoundHtml(u"<p>a<br></br>b<img></IMG></b&#114;><hr></hr ><meta></meta>< ><\"\" title=x>c</p><br/>").Html,
              "<p>a<br>b<img><hr><meta>c</p><br/>");
}

TEST(HtmlWorkTest, CountsNeverFallBelowWhatQtBuildsFromRandomPages)
{
    // Fragments in the spellings Qt reads alike or apart: case, character
    // references, quotes, blanks, comments, declarations, tags hidden in
    // attributes, implied ends and the table and row added around a stray
    // cell or row.
    const QStringList fragments = {
        "<table>", "</table>", "<tr>", "</tr>", "<td>", "</td>", "<th>", "</th>", "<TD>", "<t&#100;>",
        "<td colspan=2>", "<td rowspan=3>", "<td colspan='3' rowspan=\"2\">", "<td col&#115;pan=4>",
        "<th ROWSPAN = 2>", "<td rowspan=40>", "<thead>", "</thead>", "<tbody>", "<tfoot>", "<caption>",
        "<ul>", "<ol>", "</ul>", "</ol>", "<li>", "<l&#105;>", "</li>", "<LI>", "<li/>", "<dl>", "<dt>", "<dd>",
        "<p>", "</p>", "<div>", "</div>", "<b>", "</b>", "<span/>", "<br>", "</br>", "<img src=x>", "<hr>",
        "<!-- <td> -->", "<![CDATA[<li>]]>", "<!doctype x>", "<head>", "</head>", "<body>", "<style>",
        "</style>", "<title>", "</title>", "x", " ", "&amp;", "<a title='<td>'>", "<b title=\"&lt;li>\">",
        "< td>", "</ td>", "<>", "</>", "<qt>", "<pre>", "</pre>", "\n", "<td/>", "<tr/>", "<\"td\">",
        "<table/>", "</t&#97;ble>", "<blockquote>", "<h1>",
    };
    std::mt19937 random(20261208);
    std::uniform_int_distribution<qsizetype> pick(0, fragments.size() - 1);
    std::uniform_int_distribution<int> length(1, 40);
    int tablesMatched = 0;
    int pagesWithTables = 0;
    for (int round = 0; round < 3000; ++round) {
        QString page;
        for (int count = length(random); count > 0; --count)
            page += fragments[pick(random)];
        const THtmlBounded bounded = BoundHtml(page, Unlimited());
        const TBuilt built = Built(bounded.Html);
        ASSERT_GE(bounded.Work.TableCells, built.TableCells) << page.toStdString();
        ASSERT_GE(bounded.Work.ListItems, built.ListItems) << page.toStdString();
        if (built.TableCells > 0) {
            ++pagesWithTables;
            tablesMatched += bounded.Work.TableCells == built.TableCells;
        }
    }
    // The count is Qt's own, not a loose bound: it differs only where Qt
    // builds no table at all (in a hidden part of the page).
    EXPECT_GT(pagesWithTables, 1000);
    EXPECT_GE(tablesMatched * 100, pagesWithTables * 99);
}
