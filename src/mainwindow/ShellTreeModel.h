#pragma once

#include <QAbstractItemModel>
#include <QByteArray>
#include <QFileSystemWatcher>
#include <QString>

#include <memory>
#include <vector>

// The folder tree's data: the folders of the file system from "/" down, each
// known by its bytes. Qt's own directory listings leave out names that are
// not valid UTF-8; here such a folder is shown (with replacement characters)
// and opened like any other. Hidden folders (a leading ".") are left out,
// unless a path asked for leads through one.
//
// A folder is listed when the view first needs its children, and again when
// it changes (listed folders are watched where their names allow it) or on
// Refresh. Paths in and out are path texts (platform/NativePath.h).
class TShellTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit TShellTreeModel(QObject* parent = nullptr);
    ~TShellTreeModel() override;

    // The index of a folder, listing the folders on the way; invalid when
    // there is no such folder.
    QModelIndex index(const QString& path);
    using QAbstractItemModel::index;
    // The folder's path ("/" for the root, else without a final "/").
    QString filePath(const QModelIndex& index) const;
    // The folder's name as shown.
    QString fileName(const QModelIndex& index) const;
    QByteArray NativePath(const QModelIndex& index) const;
    // Lists every folder listed so far again (folders that cannot be watched
    // change only then).
    void Refresh();

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A folder that is no longer there is about to leave the tree, with its
    // subtree; sent before its rows are removed.
    void FolderGoing(const QModelIndex& folder);

private:
    struct TNode;

    TNode* NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const TNode* node) const;
    static TNode* ChildNamed(const TNode& node, const QByteArray& name);
    // Lists the node's folders and brings its children in line with them,
    // keeping the nodes of folders that are still there.
    void List(TNode& node);
    void RemoveGone(TNode& node, const QModelIndex& parent, const std::vector<QByteArray>& names);
    void AddNew(TNode& node, const QModelIndex& parent, const std::vector<QByteArray>& names);
    void Forget(TNode& node);
    void FolderChanged(const QString& path);

    std::unique_ptr<TNode> m_invisibleRoot;
    QFileSystemWatcher m_watcher;
};
