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

// The Xing header of a VBR stream ("Xing") or the same header that encoders
// write into CBR streams ("Info").
struct TXingHeader {
    bool Found = false;
    bool IsVbr = false;      // "Xing"; "Info" marks a constant bit rate
    quint32 Flags = 0;
    quint32 FrameCount = 0;  // valid when Flags bit 0 is set
    bool HasFrameCount() const { return (Flags & 1) != 0; }
};

// Reads a Xing or Info header from the bytes right after the side
// information; available is how many bytes are there.
TXingHeader DecodeXingHeader(const uchar* bytes, qint64 available);
// Playing time of frameCount frames in milliseconds (rounded), 0 when the
// sample rate is unknown.
qint64 FramesToMilliseconds(const TMP3Info& info, quint64 frameCount);
