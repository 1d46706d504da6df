#pragma once

#include "tagengine/ID3Frame.h"
#include "tagengine/ID3v1Infos.h"

#include <QByteArray>

// The 128-byte ID3v1 block at the end of a file ("TAG", title, artist,
// album, year, comment, ID3v1.1 track, genre). Texts are ISO-8859-1.

constexpr int ID3v1BlockSize = 128;

// Mask bits of CopyID3v1ToFrames.
namespace ID3v1Field {
constexpr int Title = 1;
constexpr int Artist = 2;
constexpr int Album = 4;
constexpr int Comment = 8;
constexpr int Genre = 16;
constexpr int Track = 32;
constexpr int Year = 64;
constexpr int All = 127;
}

// The value of one field (a single ID3v1Field bit) of a record as
// CopyID3v1ToFrames takes it: the genre's name, the track in decimal (empty
// for 0).
QString ID3v1FieldText(const TID3v1Infos& id3v1, int field);

// The ID3v1 fields (ID3v1Field bits) whose frame the list carries.
int ID3v1FieldsOf(const TID3FrameList& frames);

// True when the 128 bytes start with "TAG".
bool IsID3v1Block(const uchar* bytes);
// Decodes a block; the track counts (ID3v1.1) only when byte 125 is 0 and
// byte 126 is not, otherwise the comment runs over all 30 bytes.
TID3v1Infos DecodeID3v1Block(const QByteArray& block);
// Builds a block from the first title, artist, album, date, comment, track
// and genre frames. Characters outside ISO-8859-1 become "?"; the comment
// keeps at most 28 bytes so that the track reads back as a track. The fields
// in keepMask (ID3v1Field bits) keep their bytes from oldBlock instead, when
// that is a block; a kept comment with a kept track keeps all 30 bytes.
QByteArray BuildID3v1Block(const TID3FrameList& frames, const QByteArray& oldBlock = {}, int keepMask = 0);

// Fills frames from an ID3v1 record for every field whose mask bit is set.
// A value replaces the first frame of its ID (for COMM: the comment without
// description and language) or is appended; an empty value deletes that
// frame only when overwriteWithEmpty is set.
void CopyID3v1ToFrames(TID3FrameList& frames, const TID3v1Infos& id3v1, bool overwriteWithEmpty, int mask);
