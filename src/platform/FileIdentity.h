#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Which file a name stands for: its device and inode, and its birth time
// where the file system keeps one (so that a file made in place of a deleted
// one is told apart even when it gets the freed inode). A name whose file is
// replaced by another program (a new file renamed over it, or the old one
// deleted and a new one written) names a file of another identity.
struct TFileIdentity {
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 BirthNs = 0; // 0 where the file system keeps no birth time

    bool operator==(const TFileIdentity&) const = default;
};

// The identity of what the path names itself (a link is not followed);
// nothing when nothing is there. Paths in the file system's encoding, or as
// path texts (platform/NativePath.h).
std::optional<TFileIdentity> FileIdentityOf(const QByteArray& path);
std::optional<TFileIdentity> FileIdentityOf(const QString& path);

// True when both paths exist and name the same file once their links are
// followed, whatever other names lead there.
bool NameTheSameFile(const QString& a, const QString& b);
