#pragma once

#include "tagengine/FileInformation.h"
#include "tagengine/UndoSpill.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TPathMoves;

// The saved bytes of one old tag region. Large regions are held in the undo
// list's spill file instead of memory.
class TFilePart {
public:
    enum Kind : quint8 { ID3v1 = 1, ID3v2 = 2 };

    TFilePart() = default;
    ~TFilePart();
    TFilePart(const TFilePart&) = delete;
    TFilePart& operator=(const TFilePart&) = delete;

    quint8 Kind = 0;
    // ID3v2 only: where the tag stood. A tag at the start (its offset) or a
    // tag appended with a footer (then TrailingBytes is how many bytes stood
    // between its end and the ID3v1 block or the end of the file).
    bool Appended = false;
    qint64 Offset = 0;
    qint64 TrailingBytes = 0;

    // The raw bytes as they stood in the file; nothing when they could not
    // be read back from the spill file.
    std::optional<QByteArray> Data() const;
    qint64 Size() const;
    bool IsSpilled() const { return m_spilled.has_value(); }

private:
    friend class TUndoList;

    QByteArray m_data;
    std::optional<TUndoSpill::TRegion> m_spilled;
    std::shared_ptr<TUndoSpill> m_spill;
};

// What a write left in the file, to recognise that the file still carries
// it: the new tag's place, size and digest, the new ID3v1 block, the size.
struct TWrittenTags {
    bool HasID3v2 = false;
    qint64 ID3v2Offset = 0;
    qint64 ID3v2Size = 0;
    QByteArray ID3v2Digest;
    std::optional<QByteArray> ID3v1;
    qint64 FileSize = 0;
};

// One rewrite of one file: the old tags it replaced, the file's times before
// it, and what it wrote.
class TUndoFile {
public:
    QString FileName;
    TFileInformation FileInformation;
    TWrittenTags Written;

    int PartCount() const { return static_cast<int>(m_parts.size()); }
    TFilePart* GetPart(int index) const { return m_parts.at(static_cast<size_t>(index)).get(); }
    // First part of a kind, null when there is none.
    TFilePart* FindPart(quint8 kind) const;

private:
    friend class TUndoList;

    std::vector<std::unique_ptr<TFilePart>> m_parts;
};

// The old tags of every file the reader rewrote, newest last. Records are
// added only by successful writes and removed by a successful undo.
//
// Parts larger than LargePartSize, and any part once the parts held in memory
// reach MemoryBudget bytes, go to a spill file (TUndoSpill); when that cannot
// be written they stay in memory.
class TUndoList {
public:
    static constexpr qint64 DefaultLargePartSize = 64 * 1024;
    static constexpr qint64 DefaultMemoryBudget = 32 * 1024 * 1024;

    TUndoList();
    ~TUndoList();

    TUndoFile* AddFile(const QString& fileName, const TFileInformation& information);
    // Appends a part holding a copy of data to the record (a record of this
    // list) and answers it.
    TFilePart* AddPart(TUndoFile& record, const QByteArray& data, quint8 kind);
    int Count() const { return static_cast<int>(m_items.size()); }
    TUndoFile* GetItem(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    // The newest record of exactly this path, null when there is none.
    TUndoFile* FindNewest(const QString& fileName) const;
    void Remove(const TUndoFile* record);
    // Records follow their files (and the files of moved folders) to their
    // new paths.
    void MovePaths(const TPathMoves& moves);

    // Bytes of parts held in memory.
    qint64 MemoryBytes() const { return m_memoryBytes; }
    // Where parts are spilled, and from which sizes (for tests and tuning).
    void SetSpill(std::shared_ptr<TUndoSpill> spill) { m_spill = std::move(spill); }
    void SetSpillLimits(qint64 largePartSize, qint64 memoryBudget);

    // Digest used to recognise written tags.
    static QByteArray Digest(const QByteArray& data);

private:
    std::vector<std::unique_ptr<TUndoFile>> m_items;
    std::shared_ptr<TUndoSpill> m_spill;
    qint64 m_largePartSize = DefaultLargePartSize;
    qint64 m_memoryBudget = DefaultMemoryBudget;
    qint64 m_memoryBytes = 0;
};
