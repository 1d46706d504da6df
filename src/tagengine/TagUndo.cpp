#include "tagengine/TagUndo.h"

#include "platform/PathMoves.h"

#include <QCryptographicHash>

#include <algorithm>

TFilePart::~TFilePart()
{
    if (m_spilled && m_spill)
        m_spill->Release(*m_spilled);
}

std::optional<QByteArray> TFilePart::Data() const
{
    if (!m_spilled)
        return m_data;
    return m_spill ? m_spill->Load(*m_spilled) : std::nullopt;
}

qint64 TFilePart::Size() const
{
    return m_spilled ? m_spilled->Size : m_data.size();
}

TFilePart* TUndoFile::FindPart(quint8 kind) const
{
    for (const auto& part : m_parts)
        if (part->Kind == kind)
            return part.get();
    return nullptr;
}

TUndoList::TUndoList() = default;

TUndoList::~TUndoList() = default;

TUndoFile* TUndoList::AddFile(const QString& fileName, const TFileInformation& information)
{
    auto record = std::make_unique<TUndoFile>();
    record->FileName = fileName;
    record->FileInformation = information;
    m_items.push_back(std::move(record));
    return m_items.back().get();
}

TFilePart* TUndoList::AddPart(TUndoFile& record, const QByteArray& data, quint8 kind)
{
    auto part = std::make_unique<TFilePart>();
    part->Kind = kind;
    if (data.size() > m_largePartSize || m_memoryBytes + data.size() > m_memoryBudget) {
        if (!m_spill)
            m_spill = std::make_shared<TUndoSpill>();
        part->m_spilled = m_spill->Store(data);
        if (part->m_spilled)
            part->m_spill = m_spill;
    }
    if (!part->m_spilled) {
        part->m_data = data;
        m_memoryBytes += data.size();
    }
    record.m_parts.push_back(std::move(part));
    return record.m_parts.back().get();
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
    const auto it = std::find_if(m_items.begin(), m_items.end(),
                                 [&](const std::unique_ptr<TUndoFile>& item) { return item.get() == record; });
    if (it == m_items.end())
        return;
    for (const auto& part : (*it)->m_parts)
        if (!part->IsSpilled())
            m_memoryBytes -= part->Size();
    m_items.erase(it);
}

void TUndoList::SetSpillLimits(qint64 largePartSize, qint64 memoryBudget)
{
    m_largePartSize = largePartSize;
    m_memoryBudget = memoryBudget;
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
