#pragma once

#include "tagengine/Eintragdaten.h"

#include <QString>

#include <QByteArray>

#include <functional>
#include <set>
#include <utility>
#include <vector>

class TEventPump;

// Collects the ".mp3" files of a folder as new file entries (name, folder,
// size and modification time from the directory listing), depth first with
// its subfolders when asked. Symbolic links are followed, but no folder is
// entered twice (by device and inode), so links that loop cost nothing.
// Iterative: the depth of the tree never grows the call stack. Folders are
// walked by their bytes: a name that is not valid UTF-8 gives an entry that
// keeps its bytes beside the shown name (TEintragdaten::NativeName,
// NativeFolder).
class TFolderScanner {
public:
    using TFoundHandler = std::function<void(TEintragdatenPtr entry)>;
    using TAbortCheck = std::function<bool()>;

    TFolderScanner(TEventPump& pump, TAbortCheck aborted, TFoundHandler found);

    bool IncludeSubfolders = false;

    // Scans folder (a path text ending with "/", platform/NativePath.h).
    // False when the abort check stopped it; an empty folder name or an
    // unreadable folder yields nothing and true.
    bool Scan(const QString& folder);

    // A folder that could not be listed, and the system's error number.
    struct TUnreadable {
        QString Folder; // as shown
        int Error = 0;
    };
    // The folders the scan could not list (the one asked for among them).
    const std::vector<TUnreadable>& UnreadableFolders() const { return m_unreadable; }

private:
    // One useful directory entry: an MP3 file or a folder to descend into.
    struct TItem {
        QString Name;       // as shown
        QByteArray Native;  // a folder's name, or a name that is not valid UTF-8
        bool IsFolder = false;
        qint64 Size = 0;
        qint64 LastWriteNs = 0;
        std::pair<quint64, quint64> Id; // device, inode
    };
    // A folder being worked through.
    struct TLevel {
        QString Folder;     // as shown, ends with "/"
        QByteArray Native;  // its bytes
        bool Plain = true;  // the shown folder gives its bytes back
        std::vector<TItem> Items;
        size_t Next = 0;
    };

    // Lists a folder's useful entries; false when aborted meanwhile.
    bool ReadLevel(TLevel& level);

    TEventPump& m_pump;
    TAbortCheck m_aborted;
    TFoundHandler m_found;
    std::set<std::pair<quint64, quint64>> m_visited;
    std::vector<TUnreadable> m_unreadable;
};
