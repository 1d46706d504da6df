#pragma once

#include "tagengine/ID3Frame.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Building the bytes of an ID3v2.3 or v2.4 tag from frames in v2.4 form.

// What the padding rule needs to know.
struct TID3v2PaddingRule {
    bool HadTag = false;       // the file carries an ID3v2 tag that is replaced
    qint64 OldTotalSize = 0;   // its total size
    qint64 MinSize = 792;      // smallest tag written
    qint64 MinPadding = 512;   // padding of a grown tag
    qint64 MaxPadding = 2048;  // largest padding kept
};

// Padding bytes after `length` bytes of header and frames: the old tag's
// size is kept when the frames fit and the padding stays within MaxPadding
// (so the file is written in place); a grown tag gets MinPadding; no tag is
// shorter than MinSize.
qint64 ComputePadding(qint64 length, const TID3v2PaddingRule& rule);

// Inserts 0x00 after every 0xFF that is followed by 0x00 or a byte of 0xE0
// or more, and after a final 0xFF. True when a byte was inserted before a
// following byte (the final 0x00 alone does not count).
bool ApplyUnsynchronisation(QByteArray& data);

// Turns the v2.4 date frames into their v2.3 forms: TDRC into TYER, TDAT and
// TIME; TDOR into TORY; TIPL into IPLS. A date text that is not a complete
// ISO date stays as it is in its TDRC or TDOR frame, so no date is lost.
void ConvertID3v24To23(TID3FrameList& frames);

// A v2.3 tag knows only text encodings 0 and 1: a body in UTF-16BE (2) or
// UTF-8 (3) is re-encoded as UTF-16 with BOM (1). Other bodies, and frames
// without text encoding, come back unchanged.
QByteArray ReencodeForID3v23(const QString& frameId, const QByteArray& body);

struct TID3v2TagOptions {
    quint8 Major = 4;                 // 3 or 4
    bool Unsynchronisation = false;
    TID3v2PaddingRule Padding;
};

// The tag for frames (already in the target version's form). Frames with an
// ID that is not four characters A-Z/0-9 or with an empty body are left
// out. Nothing (and error set) when a frame body cannot be loaded, a frame
// cannot be stored in the version, or the tag would exceed the format's
// 256 MiB.
std::optional<QByteArray> BuildID3v2Tag(const TID3FrameList& frames, const TID3v2TagOptions& options,
                                        QString& error);
