#include "mainwindow/FolderTreeModel.h"

#include <QGuiApplication>
#include <QPalette>

TFolderTreeModel::TFolderTreeModel(QObject* parent) : TShellTreeModel(parent) {}

void TFolderTreeModel::SetDropHighlight(const QModelIndex& index)
{
    if (index == m_dropHighlight)
        return;
    const QModelIndex old = m_dropHighlight;
    m_dropHighlight = index;
    if (old.isValid())
        emit dataChanged(old, old, {Qt::BackgroundRole, Qt::ForegroundRole});
    if (index.isValid())
        emit dataChanged(index, index, {Qt::BackgroundRole, Qt::ForegroundRole});
}

Qt::ItemFlags TFolderTreeModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags result = TShellTreeModel::flags(index);
    // A file system's root has no name to change.
    if (m_rename && index.isValid() && index.column() == 0 && index.parent().isValid())
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TFolderTreeModel::data(const QModelIndex& index, int role) const
{
    if (index.isValid() && index == m_dropHighlight) {
        if (role == Qt::BackgroundRole)
            return QGuiApplication::palette().brush(QPalette::Highlight);
        if (role == Qt::ForegroundRole)
            return QGuiApplication::palette().brush(QPalette::HighlightedText);
    }
    return TShellTreeModel::data(index, role);
}

bool TFolderTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !m_rename || !index.isValid())
        return false;
    return m_rename(index, value.toString());
}
