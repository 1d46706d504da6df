#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// What python3-mutagen, an ID3 reader nobody here wrote, reads from a file.
struct TMutagenRead {
    bool Ok = false;       // the script ran
    QString Error;         // mutagen's complaint when it could not read the ID3v2 tag
    QJsonObject Tag;       // "version": [2, major, revision], "frames": [{"id", "desc", "text": [...], "data"}]
    QJsonObject ID3v1;     // frame ID -> text of the ID3v1 block's fields; empty without block
};

// Whether /usr/bin/python3 with mutagen is there.
bool MutagenInstalled();
// Reads the file's ID3v2 tag (without merging in the ID3v1 block) and, on its
// own, the ID3v1 block as mutagen turns it into frames.
TMutagenRead ReadWithMutagen(const QString& path);
// The same by the path's bytes (a name that is not valid UTF-8 reaches
// mutagen as it is).
TMutagenRead ReadWithMutagen(const QByteArray& nativePath);
// The texts of every frame with the ID (and description), one per frame, the
// strings of a frame joined by "/".
QStringList MutagenTexts(const TMutagenRead& read, const QString& id, const QString& description = {});
// The bytes of the first frame with the ID that carries plain data (MCDI,
// PRIV...) in lower-case hexadecimal; empty when there is none.
QString MutagenData(const TMutagenRead& read, const QString& id);
// The ID3v1 field as mutagen reads it (frame IDs TIT2, TPE1, TALB, TDRC, COMM,
// TRCK, TCON); empty when absent.
QString MutagenID3v1(const TMutagenRead& read, const QString& id);
