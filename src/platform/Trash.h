#pragma once

#include "platform/FileLayer.h"

#include <QByteArray>
#include <QHash>

#include <memory>

// The freedesktop.org trash: a file or folder goes to the home trash
// ($XDG_DATA_HOME/Trash) when it lies on the home trash's file system, else
// to the trash at the top of its own file system ("$topdir/.Trash/$uid" when
// that shared folder is safe, else "$topdir/.Trash-$uid"). Its original path
// is written percent-encoded into the ".trashinfo" file (absolute for the
// home trash, relative to the top folder otherwise), so that every
// trash-aware program reads it back whatever bytes the name holds.
class TTrash {
public:
    explicit TTrash(std::shared_ptr<TFileLayer> layer = SystemFileLayer());

    // Moves path to its trash. False when that fails; *error is then 0 when
    // the file system has no usable trash, else errno. The item is left
    // untouched on failure. trashedPath receives where it went.
    bool Put(const QByteArray& path, QByteArray* trashedPath, int* error);

    // The home trash folder.
    static QByteArray HomeTrash();
    // Forgets the real paths of folders learnt by earlier calls (links may
    // have changed since).
    void ForgetFolders() { m_realFolders.clear(); }

private:
    struct TBin {
        QByteArray Files;
        QByteArray Info;
        QByteArray Top; // Path= is relative to this folder; empty: absolute
    };
    const TBin* BinFor(const QByteArray& path, const struct stat& st);
    bool MakeBin(const QByteArray& folder, const QByteArray& top, TBin& bin);
    bool EnsureFolder(const QByteArray& path, bool ownedOnly);
    QByteArray TopFolderOf(const QByteArray& path, dev_t device);
    QByteArray InfoText(const QByteArray& path, const TBin& bin) const;

    std::shared_ptr<TFileLayer> m_layer;
    QHash<dev_t, TBin> m_bins;
    QHash<dev_t, bool> m_noBin;
    // The number to try next for a name, so that many files of one name do
    // not probe every name taken before them.
    QHash<QByteArray, int> m_nextNumber;
    QHash<QByteArray, QByteArray> m_realFolders;
};
