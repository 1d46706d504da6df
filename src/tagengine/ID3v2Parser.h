#pragma once

#include "tagengine/ID3Frame.h"
#include "tagengine/ID3v2Bytes.h"

#include <QByteArray>
#include <QString>

#include <unordered_map>

// Offsets of frame bodies within their tag, by frame.
using TBodyOffsets = std::unordered_map<const TID3Frame*, qint64>;

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
    // The v2.4 tag stored its frame sizes as plain integers instead of
    // syncsafe ones (a known writer bug) and was read that way.
    bool PlainFrameSizes = false;
    // For every frame whose body lies in the tag exactly as it is held (no
    // unsynchronisation at tag or frame level, no compression, no encryption,
    // no data length indicator): the byte offset of that body from the tag's
    // first byte (the "I" of "ID3"). The body is frame->BodySize() bytes long
    // there, so a reader may drop it from memory and load it again later.
    // Frames made by the v2.3-to-v2.4 conversion are not listed.
    TBodyOffsets BodyOffsets;
};

// Parses the tag held in `tag` (from its "ID3" header on) and appends its
// frames, in v2.4 form, to `frames`. With headerOnly only the version is read.
//
// Encrypted frames are kept, not decrypted: Encryption is set, Grouping and
// GroupId hold the group byte, and the body is the encryption method byte,
// then (only when DataLengthIndicator is set) the frame's data length as four
// plain big-endian bytes, then the stored, still encrypted data (with any
// unsynchronisation removed).
TID3v2ParseResult ParseID3v2Tag(const QByteArray& tag, bool headerOnly, TID3FrameList& frames);
// Turns the v2.3-only date, original-year and involved-people frames into
// their v2.4 forms (TDRC, TDOR, TIPL). Encrypted frames are left alone.
void ConvertID3v23To24(TID3FrameList& frames);
