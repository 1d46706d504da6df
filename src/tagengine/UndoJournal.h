#pragma once

#include "platform/FileIdentity.h"

#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
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
    // rename: the renamed file, so that another file put under its new name
    // meanwhile is not renamed back in its stead; nothing when unknown
    std::optional<TFileIdentity> Identity;
};

// The main window's journal of renames, tag writes and file-date changes,
// newest last. Kept for the run only.
class TQLNUndoList {
public:
    // The item knows the renamed file by the identity of what newPath names.
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
    // new paths; a renamed file moved to another disk (a copy there) is
    // known by its new identity.
    void MovePaths(const TPathMoves& moves);
    // Runs rewrite, the program's own rewrite of the file at path (a tag
    // write or its undo, which may put a new file in the old one's place),
    // and lets the renames of that file know it by its identity afterwards.
    // Returns what rewrite returns.
    bool FollowRewrite(const QString& path, const std::function<bool()>& rewrite);

private:
    TQLNUndoItem* Add(std::unique_ptr<TQLNUndoItem> item);
    // The renames of the file of identity was know it as now.
    void TakeNewIdentity(const TFileIdentity& was, const TFileIdentity& now);
    std::vector<std::unique_ptr<TQLNUndoItem>> m_items;
};
