#include "dialogs/HtmlNesting.h"

#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>
#include <utility>

namespace {

using Kind = THtmlElementKind;

bool IsOneOf(const QString& name, std::initializer_list<const char16_t*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char16_t* other) { return name == other; });
}

// Elements Qt lays out as blocks of their own.
bool IsBlockElement(const QString& name)
{
    return IsOneOf(name, {u"blockquote", u"body", u"caption", u"center", u"dd", u"div", u"dl", u"dt", u"h1", u"h2",
                          u"h3", u"h4", u"h5", u"h6", u"hr", u"li", u"ol", u"p", u"pre", u"qt", u"td", u"th", u"ul"});
}

// Elements Qt does not show, nor anything inside them.
bool IsHiddenElement(const QString& name)
{
    return IsOneOf(name, {u"head", u"link", u"meta", u"script", u"style", u"title"});
}

// Whether Qt keeps an element of that kind inside an open one of the
// parent's kind, or ends the parent first.
bool MayBeInside(Kind kind, Kind parent)
{
    switch (kind) {
    case Kind::DefinitionTerm:
        return parent == Kind::DefinitionList;
    case Kind::Row:
        return parent == Kind::Table || parent == Kind::TableSection;
    case Kind::Cell:
    case Kind::HeaderCell:
        return parent == Kind::Row;
    case Kind::TableSection:
    case Kind::Caption:
        return parent == Kind::Table;
    case Kind::Body:
        return parent != Kind::Head;
    default:
        return true;
    }
}

}

THtmlElementKind KindOfElement(const QString& name)
{
    static const std::pair<const char16_t*, Kind> kinds[] = {
        {u"p", Kind::Paragraph},     {u"li", Kind::ListItem},         {u"table", Kind::Table},
        {u"thead", Kind::TableSection}, {u"tbody", Kind::TableSection}, {u"tfoot", Kind::TableSection},
        {u"tr", Kind::Row},          {u"td", Kind::Cell},             {u"th", Kind::HeaderCell},
        {u"caption", Kind::Caption}, {u"dl", Kind::DefinitionList},   {u"dt", Kind::DefinitionTerm},
        {u"dd", Kind::DefinitionTerm}, {u"body", Kind::Body},         {u"qt", Kind::Body},
        {u"head", Kind::Head},
    };
    for (const auto& [other, kind] : kinds)
        if (name == other)
            return kind;
    return Kind::Other;
}

bool IsEmptyElement(const QString& name)
{
    return IsOneOf(name, {u"img", u"hr", u"br", u"meta"});
}

int THtmlNesting::Start(const QString& name)
{
    const Kind kind = KindOfElement(name);
    const auto isOpen = [this](Kind wanted) {
        return std::any_of(m_open.begin(), m_open.end(), [&](const THtmlElement& e) { return e.Kind == wanted; });
    };
    int added = 0;
    // A cell outside a row, or a row outside a table, gets them added.
    if (kind == Kind::Cell && !isOpen(Kind::Row)) {
        Push(QStringLiteral("table"), true);
        Push(QStringLiteral("tr"), true);
        added = 2;
    } else if (kind == Kind::Row && !isOpen(Kind::Table)) {
        Push(QStringLiteral("table"), true);
        added = 1;
    }
    m_open.resize(ParentOf(kind, qsizetype(m_open.size()) - 1) + 1);
    Push(name);
    return added + 1;
}

// Where Qt puts an element of that kind, given the innermost open element:
// the index of its parent among the open elements (-1: none).
qsizetype THtmlNesting::ParentOf(Kind kind, qsizetype parent) const
{
    // A paragraph inside inline elements inside a paragraph ends them all.
    if (kind == Kind::Paragraph) {
        qsizetype block = parent;
        while (block >= 0 && !m_open[block].Block)
            --block;
        if (block >= 0 && m_open[block].Kind == Kind::Paragraph)
            parent = block;
    }
    // A paragraph or list item directly inside another one ends it.
    if ((kind == Kind::Paragraph || kind == Kind::ListItem) && parent >= 0 && m_open[parent].Kind == kind)
        --parent;
    while (parent >= 0 && !MayBeInside(kind, m_open[parent].Kind))
        --parent;
    return parent;
}

// The table and row Qt adds are neither blocks nor hidden; every other
// element is hidden inside a hidden one.
void THtmlNesting::Push(const QString& name, bool added)
{
    THtmlElement element{name, KindOfElement(name)};
    if (!added) {
        const bool hidden = IsHiddenElement(name) || (!m_open.empty() && m_open.back().Hidden);
        element.Hidden = hidden;
        element.Block = !hidden && IsBlockElement(name);
    }
    m_open.push_back(std::move(element));
}

bool THtmlNesting::End(const QString& name)
{
    for (qsizetype at = qsizetype(m_open.size()) - 1; at >= 0; --at) {
        if (m_open[at].Name == name) {
            m_open.resize(at);
            return true;
        }
    }
    return false;
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
