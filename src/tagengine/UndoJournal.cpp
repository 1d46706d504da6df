#include "tagengine/UndoJournal.h"

#include "platform/PathMoves.h"

TQLNUndoItem* TQLNUndoList::Add(std::unique_ptr<TQLNUndoItem> item)
{
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

TQLNUndoItem* TQLNUndoList::AddRename(const QString& newPath, const QString& oldPath)
{
    auto item = std::make_unique<TQLNUndoItem>();
    item->Kind = TQLNUndoItem::Rename;
    item->Path = newPath;
    item->OldPath = oldPath;
    item->Identity = FileIdentityOf(newPath);
    return Add(std::move(item));
}

TQLNUndoItem* TQLNUndoList::AddTagWritten(const QString& path)
{
    auto item = std::make_unique<TQLNUndoItem>();
    item->Kind = TQLNUndoItem::TagWritten;
    item->Path = path;
    return Add(std::move(item));
}

TQLNUndoItem* TQLNUndoList::AddFileDate(const QString& path, qint64 oldWriteNs)
{
    auto item = std::make_unique<TQLNUndoItem>();
    item->Kind = TQLNUndoItem::FileDate;
    item->Path = path;
    item->OldWriteNs = oldWriteNs;
    return Add(std::move(item));
}

TQLNUndoItem* TQLNUndoList::Last() const
{
    return m_items.empty() ? nullptr : m_items.back().get();
}

void TQLNUndoList::RemoveLast()
{
    if (!m_items.empty())
        m_items.pop_back();
}

void TQLNUndoList::PurgeFile(const QString& path)
{
    // Newest first: what happened to the file under its last name comes after
    // the rename that gave it that name.
    QString lookFor = path;
    for (auto i = m_items.size(); i-- > 0;) {
        if (m_items[i]->Path != lookFor)
            continue;
        if (m_items[i]->Kind == TQLNUndoItem::Rename)
            lookFor = m_items[i]->OldPath;
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void TQLNUndoList::PurgeFiles(const QSet<QString>& paths)
{
    QSet<QString> lookFor = paths;
    for (auto i = m_items.size(); i-- > 0 && !lookFor.isEmpty();) {
        TQLNUndoItem& item = *m_items[i];
        if (!lookFor.contains(item.Path))
            continue;
        if (item.Kind == TQLNUndoItem::Rename) {
            lookFor.remove(item.Path);
            lookFor.insert(item.OldPath);
        }
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void TQLNUndoList::MovePaths(const TPathMoves& moves)
{
    if (moves.IsEmpty())
        return;
    // A move within one disk keeps the file; a move to another one copies it.
    std::vector<std::pair<TFileIdentity, TFileIdentity>> copied;
    for (const auto& item : m_items) {
        const std::optional<QString> moved = moves.NewPathOf(item->Path);
        if (moved)
            item->Path = *moved;
        if (item->Kind != TQLNUndoItem::Rename)
            continue;
        // The old name of a rename lies in the same folder as the new one:
        // undoing the rename of a moved file names it back where it is.
        if (moved)
            item->OldPath = item->Path.left(item->Path.lastIndexOf(QLatin1Char('/')) + 1)
                            + item->OldPath.mid(item->OldPath.lastIndexOf(QLatin1Char('/')) + 1);
        if (!moved || !item->Identity)
            continue;
        const std::optional<TFileIdentity> now = FileIdentityOf(item->Path);
        if (now && now->Device != item->Identity->Device)
            copied.emplace_back(*item->Identity, *now);
    }
    for (const auto& [was, now] : copied)
        TakeNewIdentity(was, now);
}

bool TQLNUndoList::FollowRewrite(const QString& path, const std::function<bool()>& rewrite)
{
    const std::optional<TFileIdentity> before = FileIdentityOf(path);
    const bool result = rewrite();
    const std::optional<TFileIdentity> after = FileIdentityOf(path);
    if (before && after)
        TakeNewIdentity(*before, *after);
    return result;
}

void TQLNUndoList::TakeNewIdentity(const TFileIdentity& was, const TFileIdentity& now)
{
    // Every name the file had: the renames before its last one hold the same
    // identity.
    for (const auto& item : m_items)
        if (item->Kind == TQLNUndoItem::Rename && item->Identity == was)
            item->Identity = now;
}
