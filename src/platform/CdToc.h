#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>

// An address on an audio CD: minute, second (0..59) and frame (0..74, 75
// frames a second). Addresses count from the start of the disc, the
// 2-second lead-in included, so a first track usually starts at 00:02.00.
struct TCdMsf {
    quint8 M = 0;
    quint8 S = 0;
    quint8 F = 0;

    // Frames from the start of the disc.
    int Frames() const { return (M * 60 + S) * 75 + F; }
    // Whole seconds from the start of the disc.
    int Seconds() const { return M * 60 + S; }
    bool IsWellFormed() const { return S < 60 && F < 75; }
};

// The table of contents of an audio CD, 804 bytes, also the body of the MCDI
// frame:
//   0  2  data length, big-endian (not read)
//   2  1  first track number
//   3  1  last track number
//   4  800 100 entries of 8 bytes: one per track from the first on, then the
//          lead-out. Entry bytes: 0 reserved, 1 control (low four bits) and
//          ADR (high four bits), 2 track number, 3 reserved, 4 zero, 5 minute,
//          6 second, 7 frame.
class TCdToc {
public:
    static constexpr int Size = 804;
    static constexpr int HeaderSize = 4;
    static constexpr int EntrySize = 8;
    static constexpr int MaxEntries = 100;
    static constexpr int MaxTracks = 99;

    std::array<quint8, Size> Bytes{};

    quint8 FirstTrack() const { return Bytes[2]; }
    quint8 LastTrack() const { return Bytes[3]; }
    void SetTracks(quint8 first, quint8 last)
    {
        Bytes[2] = first;
        Bytes[3] = last;
    }
    // LastTrack - FirstTrack + 1, whatever the bytes say (may be 0 or less).
    int RawTrackCount() const { return int(LastTrack()) - int(FirstTrack()) + 1; }

    // Entry 0..99; the caller keeps the index inside the table.
    TCdMsf Address(int entry) const;
    void SetAddress(int entry, TCdMsf address);
    // Fills a whole entry (track number 0xAA marks the lead-out).
    void SetEntry(int entry, quint8 trackNumber, quint8 adr, quint8 control, TCdMsf address);
    // Sets the length field for this many tracks (header and entries that
    // follow it, the lead-out included), as a drive reports it.
    void SetDataLength(int trackCount);

    // The first bytes that describe trackCount tracks: header, one entry per
    // track and the lead-out.
    QByteArray Head(int trackCount) const;
    // The bytes copied to the front of an all-zero table; what is beyond 804
    // bytes is ignored.
    static TCdToc FromBytes(const QByteArray& bytes);
    static int HeadSize(int trackCount) { return HeaderSize + EntrySize * (trackCount + 1); }
};
