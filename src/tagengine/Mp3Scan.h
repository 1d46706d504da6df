#pragma once

#include "tagengine/MpegHeader.h"

#include <QByteArray>
#include <QString>

#include <memory>

class TID3v2Reader;
class TFileLayer;
class TFileHandle;
struct TID3v2ParseResult;

// What a scan does with the frames of the ID3v2 tag it finds.
enum class TFrameParsing {
    Keep,       // parse and keep them (reading a file for the list)
    HeaderOnly, // read only the tag's header
    Check,      // parse to learn whether the tag is whole, keep nothing (before a write)
};

// One pass over an MP3 file: the ID3v2 tag at the start, the first MPEG
// audio frame with its Xing or VBRI header, then from the end the ID3v1 block and
// the tags that may stand between audio and ID3v1 (an appended ID3v2.4 tag,
// APE, Lyrics3). Fills the reader's results.
class TID3v2Scan {
public:
    TID3v2Scan(TID3v2Reader& reader, TFrameParsing parsing);
    bool Run();

private:
    class TWindow;

    // Where the forward scan goes on after a tag; SizeUntrusted when the
    // tag's end is not known and the audio is searched further.
    struct TTagStep {
        qint64 Next = 0;
        bool SizeUntrusted = false;
    };

    // Fails the read with what went wrong and the system's error.
    bool FailWithErrno(const QString& what);
    bool ScanFile(TFileHandle& file);
    void ForwardScan(TFileHandle& file, TWindow& window, qint64 syncLimit);
    // Reads the first tag, whose header is at offset.
    TTagStep TakeLeadingTag(TFileHandle& file, TWindow& window, qint64 offset);
    // An "ID3" before the audio that is not read: a leading tag whose header
    // is not valid, or a further tag after the first.
    TTagStep SkipUnreadableTag(const uchar* header, qint64 offset);
    // Takes the frame header at offset as the audio start when the next
    // frame header follows where its length says (or the file ends first).
    bool TakeAudioHeader(TWindow& window, qint64 offset, qint64 syncLimit);
    TVbrHeader ReadVbrHeader(TWindow& window, const TMP3Info& info, qint64 frameOffset);
    void ScanTail(TFileHandle& file, const QByteArray& lastBlock);
    // Reads the tag's bytes; alreadyRead are its first bytes when buffered.
    bool LoadTag(TFileHandle& file, qint64 offset, qint64 available, const QByteArray& alreadyRead);
    void ParseTag(qint64 offset);
    void DeferLargeBodies(const TID3v2ParseResult& result, qint64 tagOffset);
    void ComputeLength();
    void FramesFromID3v1();

    TID3v2Reader& m_reader;
    TFrameParsing m_parsing;
    QByteArray m_path;
    qint64 m_size = 0;
    qint64 m_scannedEnd = 0;
    qint64 m_audioEnd = 0;
    bool m_vbrFrameCount = false;
    quint32 m_vbrFrames = 0;
    bool m_failed = false;
};
