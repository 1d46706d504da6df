#pragma once

#include <QString>

#include <vector>

class QTextDocument;

// How Qt's rich-text reader nests a page's elements. Qt reads nested
// elements recursively, and it lays out and paints nested frames (tables)
// recursively at a cost that about doubles with every level; a page nested
// too deeply freezes or crashes it.

// What Qt's rich-text engine makes of an element's name.
enum class THtmlElementKind {
    Other,
    Paragraph,
    ListItem,
    Table,
    TableSection, // thead, tbody, tfoot
    Row,
    Cell,
    HeaderCell,
    Caption,
    DefinitionList,
    DefinitionTerm, // dt, dd
    Body,
    Head,
};

THtmlElementKind KindOfElement(const QString& name);
// Whether Qt gives an element of that name no content: it ends at once.
bool IsEmptyElement(const QString& name);

// An element open at the point read.
struct THtmlElement {
    QString Name;
    THtmlElementKind Kind = THtmlElementKind::Other;
    // Qt ends a paragraph at the nearest block around it.
    bool Block = false;
    // Qt shows nothing of it (head, style, ...), nor of what it holds.
    bool Hidden = false;
    // Left to the reader of the nesting (the table a table or row counts for).
    int Mark = -1;
};

// The elements Qt keeps open while it reads a page's tags: the elements it
// ends without an end tag (a paragraph in a paragraph, a cell in a cell),
// the table and row it adds around a stray cell or row, and end tags that
// end the innermost open element of their name with all inside it. End tags
// of empty elements (br, img, hr, meta) are left to the caller: Qt lets them
// end elements by where its last text went, which no one can tell from the
// tags alone.
class THtmlNesting {
public:
    // Opens an element where Qt puts it; the number of elements opened (the
    // element and the table and row added around it).
    int Start(const QString& name);
    // Ends the innermost open element, the one just started.
    void EndInnermost() { m_open.pop_back(); }
    // Ends the innermost open element of that name with all inside it;
    // whether one was open.
    bool End(const QString& name);

    std::vector<THtmlElement>& Open() { return m_open; }
    const std::vector<THtmlElement>& Open() const { return m_open; }

private:
    void Push(const QString& name, bool added = false);
    qsizetype ParentOf(THtmlElementKind kind, qsizetype parent) const;

    std::vector<THtmlElement> m_open;
};

// Whether a document holds frames (tables) inside one another deeper than
// levels. A document read from a page can nest its tables deeper than the
// page's elements do: a table that follows a table closed outside any cell is
// placed in that table's last cell.
bool FramesNestDeeperThan(const QTextDocument& document, int levels);
