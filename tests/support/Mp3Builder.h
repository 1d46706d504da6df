#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// The audio format of generated MPEG frames.
struct MpegFormat {
    int Version = 1;        // 1 MPEG 1, 2 MPEG 2, 3 MPEG 2.5
    int Layer = 3;          // 1-3
    int Bitrate = 128;      // kbit/s; must be in the table of the version and layer
    int SampleRate = 44100; // must belong to the version
    int ChannelMode = 1;    // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    bool Padding = false;
    bool Copyright = false;
    bool Original = false;
    bool Private = false;
};

// The fields of a generated ID3v1 block; a track makes it ID3v1.1.
struct ID3v1Fields {
    QByteArray Title;
    QByteArray Artist;
    QByteArray Album;
    QByteArray Year;
    QByteArray Comment;        // up to 30 bytes (28 with a track)
    std::optional<quint8> Track;
    quint8 Genre = 255;
};

// A whole generated file: optional ID3v2 bytes, audio, optional blocks after
// the audio (APE, Lyrics3, an appended ID3v2 tag) and an optional ID3v1 block.
struct Mp3FileParts {
    QByteArray LeadingTag;
    QByteArray Audio;
    QByteArray Trailing;
    QByteArray ID3v1;
};

// Builds MPEG audio frames and the blocks around them for tests, written
// independently of the program's own decoders.
class Mp3Builder {
public:
    static QByteArray FrameHeader(const MpegFormat& format);
    static qint64 FrameLength(const MpegFormat& format);
    static int SamplesPerFrame(const MpegFormat& format);
    static int SideInformationLength(const MpegFormat& format);
    // One frame: header, zero side information, filler that never holds 0xFF.
    static QByteArray Frame(const MpegFormat& format, quint32 seed = 0);
    static QByteArray CbrFrames(const MpegFormat& format, int count);
    // A first frame carrying a "Xing" (VBR) or "Info" (CBR) header with the
    // frame count and byte count.
    static QByteArray XingFrame(const MpegFormat& format, quint32 frameCount, quint32 byteCount, bool vbr = true);
    // A first frame carrying a Fraunhofer "VBRI" header (32 bytes after the
    // frame header) with the byte and frame count and an empty table.
    static QByteArray VbriFrame(const MpegFormat& format, quint32 frameCount, quint32 byteCount);
    // A VBR stream: a Xing (or VBRI) frame, then one frame per bit rate given.
    static QByteArray VbrStream(const MpegFormat& format, const std::vector<int>& bitrates, bool vbri = false);

    static QByteArray ID3v1(const ID3v1Fields& fields);
    // An APE tag version 2 with a header, holding the items.
    static QByteArray ApeTag(const std::vector<std::pair<QByteArray, QByteArray>>& items);
    // A Lyrics3 version 2 block with one "LYR" field.
    static QByteArray Lyrics3v2(const QByteArray& lyrics);

    static QByteArray File(const Mp3FileParts& parts);
    static bool WriteFile(const QString& path, const QByteArray& bytes);
    static QByteArray ReadFile(const QString& path);
};
