#pragma once

#include "tagengine/FileInformation.h"
#include "tagengine/TagError.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class TFileLayer;
class TFileHandle;

// Where the old tags lie in a file, as its scan found them, and the state the
// file had then.
struct TTagRegions {
    TFileInformation File;
    bool HasID3v2 = false;
    qint64 ID3v2Offset = 0;
    qint64 ID3v2Size = 0;
    bool HasID3v1 = false;
};

// One rewrite: the old ID3v2 tag and ID3v1 block are replaced by the new ones
// (or removed when there is none); every other byte stays as it is.
struct TRewriteJob {
    QString FileName; // a path text (platform/NativePath.h)
    TTagRegions Old;
    std::optional<QByteArray> NewID3v2;
    // Offset in the present file where the new tag goes: the old tag's
    // offset or 0, or the end of the audio to put a tag back where it was.
    qint64 NewID3v2At = 0;
    std::optional<QByteArray> NewID3v1;
    // Access and last-write time the file gets afterwards (none: now).
    std::optional<TFileInformation> TimesToKeep;
    bool IgnoreWriteProtect = false;
};

// Carries out a rewrite safely. A tag of the old size is written in place
// (the old bytes go back when a write fails); anything else goes through a
// new file in the same folder, written, synced and then renamed over the
// original, with its mode and owner. A symbolic link is followed and its
// target rewritten. Whenever the result is false the file is as it was.
class TFileRewrite {
public:
    explicit TFileRewrite(TFileLayer& layer) : m_layer(layer) {}

    bool Run(const TRewriteJob& job);
    const QString& Error() const { return m_error; }
    TTagError ErrorKind() const { return m_errorKind; }
    // Size of the file after a successful rewrite.
    qint64 NewSize() const { return m_newSize; }

    // Name of the temporary file number `attempt` (0 = the plain name):
    // folder, the first 30 characters of the file name, the attempt's
    // number less one, ".tmp". Paths in the file system's encoding; a byte
    // that is not UTF-8 counts as one character.
    static QByteArray TemporaryName(const QByteArray& path, int attempt);

private:
    struct TPiece;
    class TTemporaryFile;

    static std::vector<TPiece> PlanPieces(const TRewriteJob& job, qint64 size, bool& valid);
    std::optional<TTemporaryFile> CreateTemporary(const QByteArray& path);
    bool KeepOwnerAndMode(TFileHandle& target, const struct stat& st);
    bool CopyPieces(TFileHandle& source, TFileHandle& target, const std::vector<TPiece>& pieces);
    bool InPlace(const TRewriteJob& job, const QByteArray& path, const struct stat& st);
    bool ThroughCopy(const TRewriteJob& job, const QByteArray& path, const struct stat& st);
    bool Fail(const QString& error, TTagError kind = TTagError::Other);
    bool FailErrno(const QString& what);

    TFileLayer& m_layer;
    QString m_error;
    TTagError m_errorKind = TTagError::None;
    qint64 m_newSize = 0;
};
