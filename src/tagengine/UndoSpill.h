#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class TFileLayer;
class TFileHandle;

// A private file that holds the bytes of replaced tags for undo, so that they
// need not stay in memory for the whole run. It lies in a per-user folder
// (created with mode 0700 and used only when it is a real folder of this user
// that nobody else may enter), is created exclusively with mode 0600 and is
// unlinked at once: it lives as long as its descriptor and is gone when the
// program ends, however it ends. Bytes are appended; the space of a region
// that is released goes back to the file system.
class TUndoSpill {
public:
    // Where one stored piece lies, with its checksum.
    struct TRegion {
        qint64 Offset = 0;
        qint64 Size = 0;
        quint32 Checksum = 0;
    };

    explicit TUndoSpill(QString folder = DefaultFolder(), std::shared_ptr<TFileLayer> layer = nullptr);
    ~TUndoSpill();
    TUndoSpill(const TUndoSpill&) = delete;
    TUndoSpill& operator=(const TUndoSpill&) = delete;

    // Appends data; nothing when the file cannot be made or written (the
    // caller keeps the bytes in memory then).
    std::optional<TRegion> Store(const QByteArray& data);
    // The stored bytes; nothing when they cannot be read back unchanged.
    std::optional<QByteArray> Load(const TRegion& region) const;
    void Release(const TRegion& region);

    const QString& Folder() const { return m_folder; }
    // The user's cache folder + "/quillon-undo", or the temporary folder +
    // "/quillon-undo-<uid>" when there is no cache folder.
    static QString DefaultFolder();

private:
    bool Open();

    QString m_folder;
    std::shared_ptr<TFileLayer> m_layer;
    std::unique_ptr<TFileHandle> m_file;
    qint64 m_end = 0;
    bool m_unusable = false;
};
