#pragma once

#include <QString>

// The ID3v1 block of a file as read.
class TID3v1Infos {
public:
    QString Title;
    QString Artist;
    QString Album;
    QString Comment;
    QString GenreName;  // empty when the genre byte has no name
    quint8 Genre = 255; // 255 = none
    quint8 Track = 0;   // 0 = none
    QString Year;

    void Clear() { *this = TID3v1Infos(); }
    void Assign(const TID3v1Infos& source) { *this = source; }
};
