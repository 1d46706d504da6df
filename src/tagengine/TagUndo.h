#pragma once

#include "tagengine/FileInformation.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TPathMoves;

// The saved bytes of one old tag region.
class TFilePart {
public:
    enum Kind : quint8 { ID3v1 = 1, ID3v2 = 2 };

    QByteArray Data;  // the raw bytes as they stood in the file
    quint8 Kind = 0;
    // ID3v2 only: where the tag stood. A tag at the start (its offset) or a
    // tag appended with a footer (then TrailingBytes is how many bytes stood
    // between its end and the ID3v1 block or the end of the file).
    bool Appended = false;
    qint64 Offset = 0;
    qint64 TrailingBytes = 0;
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

    void AddPart(const QByteArray& data, quint8 kind);
    int PartCount() const { return static_cast<int>(m_parts.size()); }
    TFilePart* GetPart(int index) const { return m_parts.at(static_cast<size_t>(index)).get(); }
    // First part of a kind, null when there is none.
    TFilePart* FindPart(quint8 kind) const;

private:
    std::vector<std::unique_ptr<TFilePart>> m_parts;
};

// The old tags of every file the reader rewrote, newest last. Records are
// added only by successful writes and removed by a successful undo.
class TUndoList {
public:
    TUndoFile* AddFile(const QString& fileName, const TFileInformation& information);
    int Count() const { return static_cast<int>(m_items.size()); }
    TUndoFile* GetItem(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    // The newest record of exactly this path, null when there is none.
    TUndoFile* FindNewest(const QString& fileName) const;
    void Remove(const TUndoFile* record);
    // Records follow their files (and the files of moved folders) to their
    // new paths.
    void MovePaths(const TPathMoves& moves);

    // Digest used to recognise written tags.
    static QByteArray Digest(const QByteArray& data);

private:
    std::vector<std::unique_ptr<TUndoFile>> m_items;
};
