#pragma once

#include "platform/CdToc.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One CD drive of the machine.
struct TCdromDriveInfo {
    QString DevicePath; // such as /dev/sr0
    QString Vendor;     // empty when unknown
    QString Model;      // empty when unknown
};

// One entry of a drive's table of contents as the drive reports it.
struct TRawTocEntry {
    quint8 Track = 0; // 0xAA for the lead-out
    quint8 Adr = 0;
    quint8 Control = 0;
    TCdMsf Address;
};

// The machine's CD drives and the tables of contents of their discs. The
// program uses the system's drives; tests install their own with recorded
// tables.
class TCdromAccess {
public:
    virtual ~TCdromAccess() = default;
    virtual std::vector<TCdromDriveInfo> Drives() = 0;
    // Reads the table of contents of the disc in the drive; false when there
    // is no drive, no disc or no readable table.
    virtual bool ReadToc(const QString& devicePath, TCdToc& toc) = 0;
};

// The installed access: the system's unless a test installed its own.
TCdromAccess& CurrentCdromAccess();
// Installs an access (not owned; nullptr restores the system's) and returns
// the previous one.
TCdromAccess* SetCdromAccess(TCdromAccess* access);

// The drive names ("sr0") of the "drive name:" line of the kernel's CD-ROM
// information (/proc/sys/dev/cdrom/info), in the order of their numbers.
QStringList ParseCdromInfo(const QByteArray& text);

// The table built from a drive's header (first and last track) and its
// entries: one per track from first to last, then the lead-out. A header
// outside 1..99 or with last < first gives a table with the header only, and
// no entry beyond the 100 of the table is written.
TCdToc TocFromRawEntries(quint8 firstTrack, quint8 lastTrack, const std::vector<TRawTocEntry>& entries);
