#pragma once

#include "tagengine/MP3Info.h"

#include <QtGlobal>

// Decoding of MPEG audio frame headers and the Xing/Info header of the first
// frame.

// True when the four bytes start with a frame sync (eleven set bits).
bool HasFrameSync(const uchar* bytes);
// Decodes a frame header into info. False (info unchanged) when the bytes
// are no usable header: no sync, reserved version or layer, free-format or
// invalid bit rate, reserved sample rate.
bool DecodeMpegHeader(const uchar* bytes, TMP3Info& info);
// Bytes of side information after the four header bytes (where a Xing
// header starts).
int SideInformationLength(const TMP3Info& info);
// PCM samples one frame carries: 384 for layer I, 1152 for layer II and for
// MPEG 1 layer III, 576 for MPEG 2 and 2.5 layer III.
int SamplesPerFrame(const TMP3Info& info);
// Length of the frame in bytes, padding included.
qint64 MpegFrameLength(const TMP3Info& info);

// Where a VBRI header starts: this many bytes after the four header bytes,
// whatever the version and channel mode.
constexpr int VbriHeaderDistance = 32;

// The header in the first frame that gives the frame count of the stream:
// a Xing header ("Xing" in VBR streams, "Info" in the CBR streams of the
// same encoders) or a VBRI header (always VBR).
struct TVbrHeader {
    bool Found = false;
    bool IsVbr = false;      // "Xing" and "VBRI"; "Info" marks a constant bit rate
    quint32 Flags = 0;       // Xing flags; VBRI: bits 0 and 1 (frames, bytes) always
    quint32 FrameCount = 0;  // valid when Flags bit 0 is set
    bool HasFrameCount() const { return (Flags & 1) != 0; }
};

// Reads a Xing or Info header from the bytes right after the side
// information; available is how many bytes are there.
TVbrHeader DecodeXingHeader(const uchar* bytes, qint64 available);
// Reads a VBRI header from the bytes VbriHeaderDistance bytes after the frame
// header: "VBRI", version, delay, quality, byte count, frame count.
TVbrHeader DecodeVbriHeader(const uchar* bytes, qint64 available);
// Playing time of frameCount frames in milliseconds (rounded), 0 when the
// sample rate is unknown.
qint64 FramesToMilliseconds(const TMP3Info& info, quint64 frameCount);
