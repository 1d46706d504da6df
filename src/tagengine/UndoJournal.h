#pragma once

#include <QSet>
#include <QString>

#include <memory>
#include <vector>

// One undoable file change of the user's.
class TPathMoves;

class TQLNUndoItem {
public:
    enum Kind : quint8 { Rename = 1, TagWritten = 2, FileDate = 3 };

    quint8 Kind = 0;
    QString Path;         // rename: the new path; otherwise the file's path
    QString OldPath;      // rename: the path before the rename
    qint64 OldWriteNs = 0; // file date: last-write time before the change (ns since the epoch)
};

// The main window's journal of renames, tag writes and file-date changes,
// newest last. Kept for the run only.
class TQLNUndoList {
public:
    TQLNUndoItem* AddRename(const QString& newPath, const QString& oldPath);
    TQLNUndoItem* AddTagWritten(const QString& path);
    TQLNUndoItem* AddFileDate(const QString& path, qint64 oldWriteNs);

    TQLNUndoItem* Last() const;
    int Count() const { return static_cast<int>(m_items.size()); }
    TQLNUndoItem* GetItem(int index) const { return m_items.at(static_cast<size_t>(index)).get(); }
    // Removes the newest item (after it was undone or dropped).
    void RemoveLast();
    void Clear() { m_items.clear(); }

    // Drops every item of a file that no longer exists, following renames
    // back to the file's earlier names.
    void PurgeFile(const QString& path);
    // The same for several files at once.
    void PurgeFiles(const QSet<QString>& paths);
    // Items follow their files (and the files of moved folders) to their
    // new paths.
    void MovePaths(const TPathMoves& moves);

private:
    TQLNUndoItem* Add(std::unique_ptr<TQLNUndoItem> item);
    std::vector<std::unique_ptr<TQLNUndoItem>> m_items;
};
