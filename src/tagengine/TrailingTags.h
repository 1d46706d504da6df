#pragma once

#include <QtGlobal>

class TFileHandle;

// Tags that other programs append after the audio: an APE tag, a Lyrics3
// block, an ID3v2.4 tag with footer. Each finder looks at the bytes that end
// at `end` and accepts a block only when it lies wholly at or after `floor`
// (the audio start) and its start is confirmed.

struct TTrailingBlock {
    qint64 Offset = 0;
    qint64 Size = 0;
    bool Found() const { return Size > 0; }
};

// An ID3v2 tag with footer ("3DI") ending at end, whose header ("ID3" with
// the footer flag and the same size) is where the footer says.
TTrailingBlock FindAppendedID3v2(TFileHandle& file, qint64 end, qint64 floor);
// An APE tag (version 1 or 2, footer "APETAGEX", with or without header).
TTrailingBlock FindApeTag(TFileHandle& file, qint64 end, qint64 floor);
// A Lyrics3 block, version 2 ("LYRICS200" with its size) or 1 ("LYRICSEND").
TTrailingBlock FindLyrics3(TFileHandle& file, qint64 end, qint64 floor);

// The ID3v2 header or footer test: "ID3" (or "3DI"), version and revision
// below 0xFF, syncsafe size. Undefined flag bits do not matter.
bool IsID3v2HeaderOrFooter(const uchar* bytes, bool header);
// Syncsafe size of a header or footer.
qint64 ID3v2SizeField(const uchar* bytes);
