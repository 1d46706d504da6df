#pragma once

#include "mainwindow/ShellTreeModel.h"

#include <QPersistentModelIndex>

#include <functional>

// The folder tree's model: folders of the file system whose names can be
// edited in place (the owner renames them, never Qt, so that no folder is
// replaced) and one of which can be highlighted as a drop target.
class TFolderTreeModel : public TShellTreeModel {
    Q_OBJECT
public:
    // Renames the folder of index to newName; true when it was renamed.
    using TRenameHandler = std::function<bool(const QModelIndex& index, const QString& newName)>;

    explicit TFolderTreeModel(QObject* parent = nullptr);

    void SetRenameHandler(TRenameHandler handler) { m_rename = std::move(handler); }
    // The folder shown as the target of a drop; an invalid index for none.
    void SetDropHighlight(const QModelIndex& index);
    QModelIndex DropHighlight() const { return m_dropHighlight; }

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    TRenameHandler m_rename;
    QPersistentModelIndex m_dropHighlight;
};
