#pragma once

#include <QString>
#include <QStringView>

// The work a page asks of Qt's rich-text engine. It grows with what the
// markup asks for, not with its size: a cell's spans make Qt build rows times
// columns cells, every item of a list costs as much as the items before it,
// every style rule is checked against every element and each of its
// ancestors, and a layout costs what the cells, blocks and nesting make it.
// The work is counted before Qt reads the page, from the elements as Qt
// builds them (see HtmlTokenizer.h and HtmlNesting.h), never below what Qt
// builds.

// The most a shown page may ask for.
struct THtmlLimits {
    // Elements inside one another.
    int Nesting = 32;
    // Elements, those Qt adds around stray cells and rows included.
    qsizetype Elements = 4000;
    qsizetype ListItems = 1000;
    // The cells of all tables, each table counted as its rows times its
    // columns, which is what Qt builds.
    qsizetype TableCells = 2000;
    // The most rows or columns one cell spans; larger spans are cut to it.
    int TableSpan = 32;
    // Characters of style sheets, counted each time Qt reads one.
    qsizetype StyleCharacters = 64 * 1024;
    // Style rules checked against elements and their ancestors, each rule
    // weighed by its selectors, their parts and its declarations.
    qsizetype StyleWork = 8'000'000;
};

enum class THtmlExcess { None, Nesting, Elements, ListItems, TableCells, StyleCharacters, StyleWork };

// What a page asks for, counted up to the first limit it passes.
struct THtmlWork {
    int Nesting = 0;
    qsizetype Elements = 0;
    qsizetype ListItems = 0;
    qsizetype TableCells = 0;
    qsizetype StyleCharacters = 0;
    qsizetype StyleWork = 0;
    THtmlExcess Excess = THtmlExcess::None;
};

// A page made ready for Qt: its cells span at most the limit's rows and
// columns, and two kinds of tags that show nothing are taken out, since what
// Qt builds from them depends on where its last text went, not on the tags:
// end tags of empty elements (br, img, hr, meta), which may make Qt open again
// an element ended long before, and start tags without a name, which may make
// Qt count the next element twice. Work counts what Qt would build from Html.
struct THtmlBounded {
    QString Html;
    THtmlWork Work;
};

THtmlBounded BoundHtml(QStringView html, const THtmlLimits& limits = {});
