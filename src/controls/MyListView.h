#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QHeaderView>
#include <QTreeView>

#include <functional>

// The header of TMyListView: a column can carry an image right of its
// caption. Images 20 and 21 are the ascending and descending sort marks.
class TMyHeaderView : public QHeaderView {
    Q_OBJECT
public:
    static constexpr int SortAscendingImage = 20;
    static constexpr int SortDescendingImage = 21;

    explicit TMyHeaderView(QWidget* parent = nullptr);

    void SetColumnImage(int column, int imageIndex);
    int ColumnImage(int column) const { return m_images.value(column, -1); }
    void ClearColumnImages();

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;

private:
    void ElideCaption(QStyleOptionHeader* option, int logicalIndex) const;

    QHash<int, int> m_images; // logical column -> image index
};

// A report list with a movable-column header, sort marks in the header and a
// type-ahead search that the owner answers (the rows' texts live in the
// owner's data, not in the view).
class TMyListView : public QTreeView {
    Q_OBJECT
public:
    // Answers a type-ahead search: the first row at or after startRow (going
    // on at row 0 past the end when wrap is set) whose text begins with text;
    // -1 when none.
    using TFindHandler = std::function<int(const QString& text, int startRow, bool wrap)>;

    explicit TMyListView(QWidget* parent = nullptr);

    TMyHeaderView* Header() const { return m_header; }
    void SetColumnImage(int column, int imageIndex) { m_header->SetColumnImage(column, imageIndex); }
    int ColumnImage(int column) const { return m_header->ColumnImage(column); }
    // The model's columns in the order the header shows them.
    QList<int> ColumnOrder() const;
    // Shows the columns in the model's order again (after the owner rebuilt
    // its columns in the order the user dragged them to).
    void ResetColumnOrder();

    void SetFindHandler(TFindHandler handler) { m_find = std::move(handler); }
    // Rows fully visible in the viewport (at least 1).
    int VisibleRowCount() const;
    int TopRow() const;
    // The first selected row; -1 when none.
    int FirstSelectedRow() const;

    void keyboardSearch(const QString& search) override;

signals:
    // A row was opened: double-clicked with the left mouse button, or Enter
    // pressed on it. Unlike activated(), never a single click, whatever the
    // desktop's style says (a single click selects).
    void RowOpened(const QModelIndex& index);
    // The user dropped a column at a new place; the header already shows the
    // new order.
    void ColumnDragged();
    void ColumnClicked(int column);
    void ColumnRightClicked(int column, const QPoint& globalPos);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void HeaderSectionMoved();

    TMyHeaderView* m_header;
    TFindHandler m_find;
    QString m_typed;
    QElapsedTimer m_typedTimer;
    bool m_orderUpdatePending = false;
    // The button of the double click being handled.
    Qt::MouseButton m_doubleClickButton = Qt::NoButton;
};
