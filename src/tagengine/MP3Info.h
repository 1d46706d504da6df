#pragma once

#include <QtGlobal>

// MPEG audio properties of the first audio frame of a file.
class TMP3Info {
public:
    quint8 Version = 0;      // 0 unknown, 1 MPEG 1, 2 MPEG 2, 3 MPEG 2.5
    quint8 Layer = 0;        // 0 unknown, 1-3
    quint16 Bitrate = 0;     // kbit/s; the average for VBR files
    quint32 SampleRate = 0;  // Hz, 0 unknown
    quint8 ChannelMode = 3;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    quint8 Copyright = 0;
    quint8 Original = 0;
    quint8 Private = 0;
    quint8 Padding = 0;
    quint8 VBR = 0;          // a Xing or VBRI header was found

    void Clear() { *this = TMP3Info(); }
    void Assign(const TMP3Info& source) { *this = source; }
};
