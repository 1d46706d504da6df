// How deep a page nests, the way Qt's rich-text engine reads it.

#include "dialogs/HtmlNesting.h"
#include "dialogs/HtmlWork.h"

#include <QString>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

QString Repeated(const QString& part, int count)
{
    return part.repeated(count);
}

bool HtmlNestsDeeperThan(const QString& html, int levels)
{
    THtmlLimits limits;
    limits.Nesting = levels;
    return BoundHtml(html, limits).Work.Excess == THtmlExcess::Nesting;
}

bool FramesNestDeeperThanFour(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    return FramesNestDeeperThan(document, 4);
}

}

TEST(HtmlNestingTest, ElementsCountAsDeepAsQtNestsThem)
{
    // Sloppy pages whose elements Qt ends without end tags stay flat, and so
    // do tags inside comments and quoted attributes.
    for (const QString& flat : {Repeated("<p>text", 200), "<ul>" + Repeated("<li>item", 200),
                                "<table>" + Repeated("<tr><td>a<td>b", 200), Repeated("<td>stray", 200),
                                "<dl>" + Repeated("<dt>term<dd>meaning", 200), Repeated("<img src=x><br><hr><meta>", 200),
                                Repeated("<span/><div />", 200), Repeated("<!-- <div> --><!doctype <div>>", 200),
                                Repeated("<img alt=\"><div>\"><br title='><div>'>", 200),
                                Repeated("<td><div>", 200), Repeated("<div>" + Repeated("<b><i><u>", 10) + "</div>", 200)})
        EXPECT_FALSE(HtmlNestsDeeperThan(flat, 32)) << flat.left(60).toStdString();
    EXPECT_FALSE(HtmlNestsDeeperThan(Repeated("<div>", 32), 32));

    // What Qt keeps open: elements never ended, end tags that match nothing
    // open, a paragraph inside a list item inside a paragraph, the table and
    // row around a stray cell, and tags spelt with character references.
    for (const QString& deep : {Repeated("<div>", 33), Repeated("<div></span>", 33), Repeated("<li>x<p>y", 17),
                                Repeated("<table><tr><td>", 11), Repeated("<td></tr>", 33), Repeated("<d&#105;v>", 33),
                                Repeated("<DIV><\"d&#x69;v\"></DIV>", 33), Repeated("<link rel=x><input>", 17),
                                Repeated("<div&#32;></div&#32;>", 33)})
        EXPECT_TRUE(HtmlNestsDeeperThan(deep, 32)) << deep.left(60).toStdString();

    // A name spelt with character references is the name they spell, in
    // start and end tags alike: an end tag ends such an element, and the
    // element it closes over.
    for (const QString& flat : {Repeated("<div></d&#105;v>", 200), Repeated("<div><d&#105;v></div></div>", 200),
                                Repeated("<d&#x49;v><div></DIV></d&#105;v>", 200),
                                Repeated("<div><d&#105;v></div ></d&#105;v >", 200)})
        EXPECT_FALSE(HtmlNestsDeeperThan(flat, 32)) << flat.left(60).toStdString();
    EXPECT_FALSE(HtmlNestsDeeperThan(Repeated("<div><d&#105;v></div>", 31), 32));
    EXPECT_TRUE(HtmlNestsDeeperThan(Repeated("<div><d&#105;v></div>", 32), 32));
}

TEST(HtmlNestingTest, TablesCountAsDeepAsTheDocumentNestsThem)
{
    EXPECT_FALSE(FramesNestDeeperThanFour(Repeated("<table><tr><td>", 4)));
    EXPECT_FALSE(FramesNestDeeperThanFour(Repeated("<table><tr><td>x</td></tr></table>", 100)));
    EXPECT_TRUE(FramesNestDeeperThanFour(Repeated("<table><tr><td>", 5)));
    // A table after one closed outside a cell lands in that one's last cell.
    EXPECT_TRUE(FramesNestDeeperThanFour("<table><tr><td>a</td></tr><thead><head>" + Repeated("<td>x</td></table>", 4)));
}
