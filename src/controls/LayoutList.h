#pragma once

#include <QListWidget>

// The flat list of the layout dialogs (tool bar, input pages): read-only,
// one selected row at most, whole-row selection that stays visible when the
// list loses the focus. "Selected" means the current row while it is
// selected.
class TLayoutList : public QListWidget {
    Q_OBJECT
public:
    explicit TLayoutList(QWidget* parent = nullptr);

    // The selected item; nullptr when none.
    QListWidgetItem* SelectedItem() const;
    int SelectedRow() const;
    // Makes the item current and selected and scrolls it into view; nullptr
    // clears the selection.
    void SelectItem(QListWidgetItem* item);

    // Whether the selected item can move one row up (step -1) or down (+1).
    bool CanMoveSelected(int step) const;
    // Moves the selected item one row up or down; it stays selected. False
    // when nothing moved.
    bool MoveSelected(int step);

signals:
    // The selected item changed (or the selection went).
    void SelectionMoved();
};
