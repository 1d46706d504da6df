#include "controls/LayoutList.h"

#include <QPalette>

TLayoutList::TLayoutList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setUniformItemSizes(true);
    // The selection keeps its colours while another control has the focus.
    QPalette colours = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
    connect(this, &QListWidget::itemSelectionChanged, this, &TLayoutList::SelectionMoved);
}

QListWidgetItem* TLayoutList::SelectedItem() const
{
    QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item : nullptr;
}

int TLayoutList::SelectedRow() const
{
    QListWidgetItem* item = SelectedItem();
    return item ? row(item) : -1;
}

void TLayoutList::SelectItem(QListWidgetItem* item)
{
    if (!item) {
        clearSelection();
        return;
    }
    setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item);
}

bool TLayoutList::CanMoveSelected(int step) const
{
    const int from = SelectedRow();
    return from >= 0 && from + step >= 0 && from + step < count();
}

bool TLayoutList::MoveSelected(int step)
{
    if (!CanMoveSelected(step))
        return false;
    const int from = SelectedRow();
    QListWidgetItem* item = takeItem(from);
    insertItem(from + step, item);
    SelectItem(item);
    return true;
}
