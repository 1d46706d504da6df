#pragma once

#include <QStringView>

class QTextDocument;

// How deep a page nests, for pages that Qt's rich-text engine is to show. Qt
// reads nested elements recursively, and it lays out and paints nested frames
// (tables) recursively at a cost that about doubles with every level; a page
// nested too deeply freezes or crashes it.

// Whether html nests its elements deeper than levels, read the way Qt's
// rich-text reader reads it: its tags, quoting and comments, the elements it
// ends without an end tag and the table and row it adds around a stray cell.
// Where that cannot be told for certain (a tag name spelt with character
// references, a style that changes how an element ends) the deepest
// possibility counts, so a page never passes that Qt would nest deeper. Reads
// the text once and stops at the first level too deep.
bool HtmlNestsDeeperThan(QStringView html, int levels);

// Whether a document holds frames (tables) inside one another deeper than
// levels. A document read from a page can nest its tables deeper than the
// page's elements do: a table that follows a table closed outside any cell is
// placed in that table's last cell.
bool FramesNestDeeperThan(const QTextDocument& document, int levels);
