#pragma once

#include <QString>

#include <sys/stat.h>

// What a scan remembers about a file besides its tags: the attribute bits of
// FileAttributes.h and the times, in nanoseconds since the epoch (UTC). Linux
// keeps no settable creation time; the status-change time is kept for
// information only. Device, inode, size and last-write time identify the
// state of the file that was scanned.
struct TFileInformation {
    quint32 Attributes = 0;
    qint64 LastAccessNs = 0;
    qint64 LastWriteNs = 0;
    qint64 StatusChangeNs = 0;
    qint64 Size = 0;
    quint64 Device = 0;
    quint64 Inode = 0;

    // Same file, same size, same last-write time.
    bool SameState(const TFileInformation& other) const;
    // SameState, and not touched at all since: the status-change time is
    // equal too. Our own writes give a file its last-write time back, and an
    // in-place write keeps its size, so only this time tells such a file
    // from the one that was read.
    bool Untouched(const TFileInformation& other) const;
};

// The information of a stat result; path gives the hidden attribute (a
// leading ".").
TFileInformation FileInformationFromStat(const struct stat& st, const QString& path);
// Attribute bits of a mode as this program shows them: read-only when the
// mode lets nobody write.
quint32 AttributesFromMode(unsigned mode, const QString& path);
struct timespec NsToTimespec(qint64 ns);
