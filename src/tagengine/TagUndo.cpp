#include "tagengine/TagUndo.h"

#include "platform/PathMoves.h"

#include <QCryptographicHash>

#include <algorithm>

void TUndoFile::AddPart(const QByteArray& data, quint8 kind)
{
    auto part = std::make_unique<TFilePart>();
    part->Data = data;
    part->Kind = kind;
    m_parts.push_back(std::move(part));
}

TFilePart* TUndoFile::FindPart(quint8 kind) const
{
    for (const auto& part : m_parts)
        if (part->Kind == kind)
            return part.get();
    return nullptr;
}

TUndoFile* TUndoList::AddFile(const QString& fileName, const TFileInformation& information)
{
    auto record = std::make_unique<TUndoFile>();
    record->FileName = fileName;
    record->FileInformation = information;
    m_items.push_back(std::move(record));
    return m_items.back().get();
}

TUndoFile* TUndoList::FindNewest(const QString& fileName) const
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if ((*it)->FileName == fileName)
            return it->get();
    return nullptr;
}

void TUndoList::Remove(const TUndoFile* record)
{
    std::erase_if(m_items, [&](const std::unique_ptr<TUndoFile>& item) { return item.get() == record; });
}

QByteArray TUndoList::Digest(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256);
}

void TUndoList::MovePaths(const TPathMoves& moves)
{
    if (moves.IsEmpty())
        return;
    for (const auto& record : m_items)
        if (auto moved = moves.NewPathOf(record->FileName))
            record->FileName = *moved;
}
