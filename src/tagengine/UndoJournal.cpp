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
    for (const auto& item : m_items) {
        if (auto moved = moves.NewPathOf(item->Path))
            item->Path = *moved;
        // The old name of a rename lies in the same folder as the new one.
        if (item->Kind == TQLNUndoItem::Rename)
            if (auto moved = moves.NewPathOf(item->OldPath))
                item->OldPath = *moved;
    }
}
