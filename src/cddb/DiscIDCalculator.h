#pragma once

#include "platform/CdToc.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// One CD drive.
class TDrive {
public:
    // SCSI address of a drive reached through ASPI; 0 for a drive reached
    // directly, the only kind there is here.
    quint8 HaId = 0;
    quint8 Target = 0;
    quint8 Lun = 0;
    // Shown in the drive box: the device path, followed by vendor and model
    // in brackets when the system knows them ("/dev/sr0 [HL-DT-ST DVDRAM]").
    QString Name;
    // What the drive is opened by.
    QString DevicePath;
};

// Lists the CD drives, reads the table of contents of the disc in one of
// them, and turns a table of contents into the freedb disc id and query.
// Created for one run of the lookup wizard.
class TDiscIDCalculator {
public:
    // useNative asks always to read the drive directly. There is no ASPI
    // layer on this system, so drives are always read directly (Mode 1).
    explicit TDiscIDCalculator(bool useNative);

    bool AspiLoaded = false;
    quint8 Mode = 1; // 0 ASPI, 1 the system's own CD-ROM requests
    std::vector<std::unique_ptr<TDrive>> Drives;
    bool TocValid = false; // the last ReadToc gave a usable table
    qint32 TrackCount = 0; // its tracks; 0 unless TocValid
    TCdToc Toc;            // the last table read

    // Loads the ASPI layer; there is none here, so this is always false.
    bool LoadAspi();
    // Lists the drives again.
    void RefreshDrives();
    int DriveCount() const { return int(Drives.size()); }
    TDrive* GetDrive(int index) const;

    // Reads the disc's table into Toc. TocValid and TrackCount follow
    // ValidTrackCount: a table that does not describe a CD is not valid and
    // counts 0 tracks.
    void ReadToc(const TDrive& drive);
    // Reads the table by the current mode; throws for an unknown mode.
    bool ReadTocByMode(const TDrive& drive, TCdToc& toc);

    // The number of tracks the table describes, or 0 when it describes no
    // CD: the first track must be at least 1, the last at most 99 and not
    // below the first, every address up to the lead-out well-formed (second
    // below 60, frame below 75) and none before the one it follows.
    static int ValidTrackCount(const TCdToc& toc);
    // The freedb disc id (8 lower-case hexadecimal digits) and the query
    // text ("id count offset... seconds"); both empty for a table that is
    // not valid.
    static void CalcDiscId(const TCdToc& toc, QString& discId, QString& query);
    // The table of an MCDI frame's body: usable when the body holds the
    // header, every entry and the lead-out for its own track count (at most
    // 804 bytes) and describes a valid table.
    static bool TocFromMcdi(const QByteArray& body, TCdToc& toc);

private:
    void EnumAspiDrives();
    void EnumNativeDrives();
    bool NativeReadToc(const TDrive& drive, TCdToc& toc);
};

// Sum of the decimal digits of n; 0 for 0.
int DigitSum(int n);
