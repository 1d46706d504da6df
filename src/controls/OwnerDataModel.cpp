#include "controls/OwnerDataModel.h"

#include <algorithm>

void TOwnerDataModel::Reset(const QStringList& captions, int rowCount, TTextOf textOf, TCheckedOf checkedOf)
{
    beginResetModel();
    m_captions = captions;
    m_rows = rowCount;
    m_textOf = std::move(textOf);
    m_checkedOf = std::move(checkedOf);
    endResetModel();
}

void TOwnerDataModel::RefreshRows(int first, int last)
{
    if (m_rows == 0 || m_captions.isEmpty())
        return;
    first = std::clamp(first, 0, m_rows - 1);
    last = std::clamp(last, 0, m_rows - 1);
    emit dataChanged(index(std::min(first, last), 0), index(std::max(first, last), int(m_captions.size()) - 1));
}

void TOwnerDataModel::RefreshAll()
{
    RefreshRows(0, m_rows - 1);
}

int TOwnerDataModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TOwnerDataModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_captions.size());
}

QVariant TOwnerDataModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    if (role == Qt::DisplayRole && m_textOf)
        return m_textOf(index.row(), index.column());
    if (role == Qt::CheckStateRole && index.column() == 0 && m_checkedOf)
        return m_checkedOf(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

QVariant TOwnerDataModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_captions.size())
        return m_captions.at(section);
    return {};
}
