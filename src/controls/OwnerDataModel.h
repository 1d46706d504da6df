#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>

// A list model that holds only a row count: the texts of a row are asked
// from its owner when the view paints the row, so the rows always show the
// owner's current data. Column 0 may carry a check mark.
class TOwnerDataModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using TTextOf = std::function<QString(int row, int column)>;
    using TCheckedOf = std::function<bool(int row)>;

    explicit TOwnerDataModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // New columns and row count; the view shows them at once.
    void Reset(const QStringList& captions, int rowCount, TTextOf textOf, TCheckedOf checkedOf = {});
    // Repaints the rows from first to last.
    void RefreshRows(int first, int last);
    void RefreshAll();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_captions;
    int m_rows = 0;
    TTextOf m_textOf;
    TCheckedOf m_checkedOf;
};
