#pragma once

#include <QByteArray>
#include <QString>

// 8-bit text files of the program (language files, export templates) are
// Windows-1252 unless they are valid UTF-8.

// Windows-1252 bytes as text; the five bytes the code page leaves undefined
// keep their C1 code points, as Windows maps them.
QString DecodeCp1252(const QByteArray& bytes);
bool IsValidUtf8(const QByteArray& bytes);
// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark dropped),
// else Windows-1252.
QString DecodeUtf8OrCp1252(const QByteArray& bytes);
