#pragma once

#include "tagengine/ID3Frame.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What parsing one ID3v2 tag found out.
struct TID3v2ParseResult {
    quint8 Major = 0;
    quint8 Revision = 0;
    bool VersionUnsupported = false;
    // Frames after a damaged spot could not be read: the tag must not be
    // replaced by one built from these frames alone.
    bool PartlyRead = false;
    // A hard error (failed decompression, ...) that makes the read fail.
    bool Failed = false;
    QString Error;
};

// Parses the tag held in `tag` (from its "ID3" header on) and appends its
// frames, in v2.4 form, to `frames`. With headerOnly only the version is read.
TID3v2ParseResult ParseID3v2Tag(const QByteArray& tag, bool headerOnly, TID3FrameList& frames);
void ConvertID3v23To24(TID3FrameList& frames);
// FF 00 becomes FF.
QByteArray RemoveUnsynchronisation(const QByteArray& data);
// Exactly dataLength bytes of zlib output, or nothing when the input is damaged
// or yields too little. Output is produced incrementally and never exceeds
// dataLength or maxOutput.
std::optional<QByteArray> InflateFrame(const QByteArray& data, qint64 dataLength, qint64 maxOutput);
// Syncsafe integers: 7 bits per byte, most significant first.
quint32 DecodeSyncSafe(const uchar* bytes);
void EncodeSyncSafe(quint32 value, uchar* bytes);
