#include "mainwindow/ShellTreeModel.h"

#include "platform/DirStream.h"
#include "platform/NativePath.h"

#include <QCollator>
#include <QFile>
#include <QFileIconProvider>

#include <algorithm>

#include <sys/stat.h>

struct TShellTreeModel::TNode {
    QByteArray Native; // the folder's path in the file system's encoding
    QByteArray Name;   // its last part ("/" for the root)
    QString Shown;     // the name as shown
    TNode* Parent = nullptr;
    std::vector<std::unique_ptr<TNode>> Children;
    bool Listed = false;
    QString Watched; // the path given to the watcher, if any
    // Hidden folders in it that were asked for by their paths: shown while
    // they are there.
    std::vector<QByteArray> AskedHidden;

    int Row = 0; // among the parent's children

    // Gives the children their rows after a change.
    void Renumber()
    {
        for (size_t i = 0; i < Children.size(); ++i)
            Children[i]->Row = static_cast<int>(i);
    }
};

namespace {

QByteArray ChildPath(const QByteArray& folder, const QByteArray& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

bool IsFolder(const QByteArray& path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The names of the folders (and links to folders) in folder, hidden ones
// left out.
std::vector<QByteArray> FolderNames(const QByteArray& folder)
{
    std::vector<QByteArray> names;
    const TDirStream dir = OpenDirStream(folder);
    if (!dir)
        return names;
    const int fd = dirfd(dir.get());
    while (const dirent* e = readdir(dir.get())) {
        if (e->d_name[0] == '.')
            continue;
        if (e->d_type != DT_DIR) {
            if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN)
                continue;
            struct stat st {};
            if (fstatat(fd, e->d_name, &st, 0) != 0 || !S_ISDIR(st.st_mode))
                continue;
        }
        names.emplace_back(e->d_name);
    }
    return names;
}

}

TShellTreeModel::TShellTreeModel(QObject* parent) : QAbstractItemModel(parent), m_invisibleRoot(std::make_unique<TNode>())
{
    auto root = std::make_unique<TNode>();
    root->Native = root->Name = "/";
    root->Shown = QStringLiteral("/");
    root->Parent = m_invisibleRoot.get();
    m_invisibleRoot->Children.push_back(std::move(root));
    m_invisibleRoot->Listed = true;
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this](const QString& path) { FolderChanged(path); });
}

TShellTreeModel::~TShellTreeModel() = default;

TShellTreeModel::TNode* TShellTreeModel::NodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TNode*>(index.internalPointer()) : m_invisibleRoot.get();
}

QModelIndex TShellTreeModel::IndexOf(const TNode* node) const
{
    if (!node || node == m_invisibleRoot.get())
        return QModelIndex();
    return createIndex(node->Row, 0, const_cast<TNode*>(node));
}

QModelIndex TShellTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const TNode* node = NodeOf(parent);
    if (column != 0 || row < 0 || static_cast<size_t>(row) >= node->Children.size())
        return QModelIndex();
    return createIndex(row, 0, node->Children[static_cast<size_t>(row)].get());
}

QModelIndex TShellTreeModel::parent(const QModelIndex& child) const
{
    return child.isValid() ? IndexOf(NodeOf(child)->Parent) : QModelIndex();
}

int TShellTreeModel::rowCount(const QModelIndex& parent) const
{
    return parent.column() > 0 ? 0 : static_cast<int>(NodeOf(parent)->Children.size());
}

int TShellTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TShellTreeModel::hasChildren(const QModelIndex& parent) const
{
    const TNode* node = NodeOf(parent);
    return !node->Listed || !node->Children.empty();
}

bool TShellTreeModel::canFetchMore(const QModelIndex& parent) const
{
    return !NodeOf(parent)->Listed;
}

void TShellTreeModel::fetchMore(const QModelIndex& parent)
{
    TNode* node = NodeOf(parent);
    if (!node->Listed)
        List(*node);
}

QVariant TShellTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const TNode* node = NodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node->Shown;
    case Qt::DecorationRole: {
        static const QIcon folder = QFileIconProvider().icon(QAbstractFileIconProvider::Folder);
        return folder;
    }
    default:
        return QVariant();
    }
}

Qt::ItemFlags TShellTreeModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString TShellTreeModel::filePath(const QModelIndex& index) const
{
    return index.isValid() ? PathFromNative(NodeOf(index)->Native) : QString();
}

QString TShellTreeModel::fileName(const QModelIndex& index) const
{
    return index.isValid() ? NodeOf(index)->Shown : QString();
}

QByteArray TShellTreeModel::NativePath(const QModelIndex& index) const
{
    return index.isValid() ? NodeOf(index)->Native : QByteArray();
}

QModelIndex TShellTreeModel::index(const QString& path)
{
    const QByteArray native = NativeFromPath(path);
    if (!native.startsWith('/'))
        return QModelIndex();
    TNode* node = m_invisibleRoot->Children.front().get();
    for (const QByteArray& name : native.split('/')) {
        if (name.isEmpty() || name == ".")
            continue;
        TNode* child = ChildNamed(*node, name);
        // A folder made since the listing (a rename, say) is there at once,
        // not only when the watcher reports it.
        if (!child || !node->Listed) {
            List(*node);
            child = ChildNamed(*node, name);
        }
        // A hidden folder is shown once a path leads through it.
        if (!child && name.startsWith('.') && name != ".." && IsFolder(ChildPath(node->Native, name))) {
            node->AskedHidden.push_back(name);
            List(*node);
            child = ChildNamed(*node, name);
        }
        if (!child)
            return QModelIndex();
        node = child;
    }
    return IndexOf(node);
}

TShellTreeModel::TNode* TShellTreeModel::ChildNamed(const TNode& node, const QByteArray& name)
{
    for (const auto& child : node.Children)
        if (child->Name == name)
            return child.get();
    return nullptr;
}

void TShellTreeModel::List(TNode& node)
{
    const bool first = !node.Listed;
    node.Listed = true;
    std::vector<QByteArray> names = FolderNames(node.Native);
    std::erase_if(node.AskedHidden,
                  [&node](const QByteArray& name) { return !IsFolder(ChildPath(node.Native, name)); });
    names.insert(names.end(), node.AskedHidden.begin(), node.AskedHidden.end());
    std::sort(names.begin(), names.end());
    const QModelIndex parent = IndexOf(&node);
    RemoveGone(node, parent, names);
    AddNew(node, parent, names);
    // The watcher takes text paths: a folder whose path is not valid UTF-8
    // changes on Refresh only.
    if (first && IsPlainNativeName(node.Native)) {
        node.Watched = QFile::decodeName(node.Native);
        if (!m_watcher.addPath(node.Watched))
            node.Watched.clear();
    }
}

void TShellTreeModel::RemoveGone(TNode& node, const QModelIndex& parent, const std::vector<QByteArray>& names)
{
    for (int row = static_cast<int>(node.Children.size()) - 1; row >= 0; --row) {
        TNode& child = *node.Children[static_cast<size_t>(row)];
        if (std::binary_search(names.begin(), names.end(), child.Name))
            continue;
        emit FolderGoing(IndexOf(&child));
        beginRemoveRows(parent, row, row);
        Forget(child);
        node.Children.erase(node.Children.begin() + static_cast<std::ptrdiff_t>(row));
        node.Renumber();
        endRemoveRows();
    }
}

void TShellTreeModel::AddNew(TNode& node, const QModelIndex& parent, const std::vector<QByteArray>& names)
{
    std::vector<QByteArray> known;
    known.reserve(node.Children.size());
    for (const auto& child : node.Children)
        known.push_back(child->Name);
    std::sort(known.begin(), known.end());
    std::vector<std::unique_ptr<TNode>> added;
    for (const QByteArray& name : names) {
        if (std::binary_search(known.begin(), known.end(), name))
            continue;
        auto child = std::make_unique<TNode>();
        child->Native = ChildPath(node.Native, name);
        child->Name = name;
        child->Shown = QFile::decodeName(name);
        child->Parent = &node;
        added.push_back(std::move(child));
    }
    if (added.empty())
        return;
    // By shown name, numbers by their value, letters without regard to case
    // (as the locale has them); names shown alike by their bytes.
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto order = [&collator](const std::unique_ptr<TNode>& a, const std::unique_ptr<TNode>& b) {
        const int compared = collator.compare(a->Shown, b->Shown);
        return compared != 0 ? compared < 0 : a->Name < b->Name;
    };
    std::sort(added.begin(), added.end(), order);
    if (node.Children.empty()) {
        beginInsertRows(parent, 0, static_cast<int>(added.size()) - 1);
        node.Children = std::move(added);
        node.Renumber();
        endInsertRows();
        return;
    }
    for (auto& child : added) {
        const auto place = std::upper_bound(node.Children.begin(), node.Children.end(), child, order);
        const int row = static_cast<int>(place - node.Children.begin());
        beginInsertRows(parent, row, row);
        node.Children.insert(place, std::move(child));
        node.Renumber();
        endInsertRows();
    }
}

void TShellTreeModel::Forget(TNode& node)
{
    if (!node.Watched.isEmpty())
        m_watcher.removePath(node.Watched);
    for (const auto& child : node.Children)
        Forget(*child);
}

void TShellTreeModel::FolderChanged(const QString& path)
{
    const QModelIndex changed = index(PathFromNative(QFile::encodeName(path)));
    TNode* node = changed.isValid() ? NodeOf(changed) : nullptr;
    if (node && node->Listed)
        List(*node);
}

void TShellTreeModel::Refresh()
{
    std::vector<TNode*> listed{m_invisibleRoot->Children.front().get()};
    while (!listed.empty()) {
        TNode* node = listed.back();
        listed.pop_back();
        if (!node->Listed)
            continue;
        List(*node);
        for (const auto& child : node->Children)
            listed.push_back(child.get());
    }
}
