#include "controls/MyListView.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTimer>

TMyHeaderView::TMyHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsMovable(true);
    setFirstSectionMovable(false);
    setSectionsClickable(true);
    setHighlightSections(false);
    setStretchLastSection(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TMyHeaderView::SetColumnImage(int column, int imageIndex)
{
    if (imageIndex < 0)
        m_images.remove(column);
    else
        m_images.insert(column, imageIndex);
    viewport()->update();
}

void TMyHeaderView::ClearColumnImages()
{
    m_images.clear();
    viewport()->update();
}

// The style draws a caption that does not fit cut off at its aligned side
// ("rack Number"); shorten it with an ellipsis instead.
void TMyHeaderView::ElideCaption(QStyleOptionHeader* option, int logicalIndex) const
{
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, option, this);
    int room = sectionSize(logicalIndex) - 2 * margin;
    if (ColumnImage(logicalIndex) >= 0)
        room -= style()->pixelMetric(QStyle::PM_HeaderMarkSize, option, this) + margin;
    option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, std::max(0, room));
}

void TMyHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    ElideCaption(option, logicalIndex);
    // Qt's own convention: an ascending order shows the "down" mark.
    switch (ColumnImage(logicalIndex)) {
    case SortAscendingImage:
        option->sortIndicator = QStyleOptionHeader::SortDown;
        break;
    case SortDescendingImage:
        option->sortIndicator = QStyleOptionHeader::SortUp;
        break;
    default:
        option->sortIndicator = QStyleOptionHeader::None;
        break;
    }
}

TMyListView::TMyListView(QWidget* parent) : QTreeView(parent), m_header(new TMyHeaderView(this))
{
    setHeader(m_header);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    // Turning the view's own sorting off also makes the header unclickable;
    // the program sorts itself on header clicks.
    m_header->setSectionsClickable(true);
    m_header->setTextElideMode(Qt::ElideRight);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    m_header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_header, &QHeaderView::sectionClicked, this, &TMyListView::ColumnClicked);
    connect(m_header, &QHeaderView::customContextMenuRequested, this, [this](const QPoint& pos) {
        emit ColumnRightClicked(m_header->logicalIndexAt(pos), m_header->mapToGlobal(pos));
    });
    connect(m_header, &QHeaderView::sectionMoved, this, &TMyListView::HeaderSectionMoved);
    // The view tells a double click on a row (not on the empty space below
    // the rows) by this signal, whichever button it was made with.
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (m_doubleClickButton == Qt::LeftButton && index.isValid())
            emit RowOpened(index);
    });
}

void TMyListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_doubleClickButton = event->button();
    QTreeView::mouseDoubleClickEvent(event);
    m_doubleClickButton = Qt::NoButton;
}

void TMyListView::keyPressEvent(QKeyEvent* event)
{
    QTreeView::keyPressEvent(event);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentIndex().isValid())
        emit RowOpened(currentIndex());
}

QList<int> TMyListView::ColumnOrder() const
{
    QList<int> order;
    const int count = m_header->count();
    order.reserve(count);
    for (int visual = 0; visual < count; ++visual)
        order.append(m_header->logicalIndex(visual));
    return order;
}

void TMyListView::ResetColumnOrder()
{
    const QSignalBlocker blocker(m_header);
    for (int logical = 0; logical < m_header->count(); ++logical)
        if (m_header->visualIndex(logical) != logical)
            m_header->moveSection(m_header->visualIndex(logical), logical);
}

void TMyListView::HeaderSectionMoved()
{
    // The header is still inside its mouse handling: report once it is done,
    // so that the handler may rebuild the columns.
    if (m_orderUpdatePending)
        return;
    m_orderUpdatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_orderUpdatePending = false;
        emit ColumnDragged();
    });
}

int TMyListView::VisibleRowCount() const
{
    const int rowHeight = sizeHintForRow(0) > 0 ? sizeHintForRow(0) : fontMetrics().height() + 4;
    return std::max(1, viewport()->height() / rowHeight);
}

int TMyListView::TopRow() const
{
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : -1;
}

int TMyListView::FirstSelectedRow() const
{
    int first = -1;
    if (selectionModel())
        for (const QItemSelectionRange& range : selectionModel()->selection())
            if (first < 0 || range.top() < first)
                first = range.top();
    return first;
}

void TMyListView::keyboardSearch(const QString& search)
{
    if (!m_find || !model() || search.isEmpty())
        return;
    const bool continuing = m_typedTimer.isValid()
                            && m_typedTimer.elapsed() <= QApplication::keyboardInputInterval();
    m_typed = continuing ? m_typed + search : search;
    m_typedTimer.start();
    const int rows = model()->rowCount(rootIndex());
    if (rows == 0)
        return;
    const int current = currentIndex().isValid() ? currentIndex().row() : 0;
    const int start = continuing ? current : (current + 1) % rows;
    const int row = m_find(m_typed, start, true);
    if (row < 0)
        return;
    const QModelIndex target = model()->index(row, 0, rootIndex());
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}
