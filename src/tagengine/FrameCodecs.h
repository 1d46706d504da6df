#pragma once

#include "tagengine/ID3Frame.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

// Raised by GetFrameAsText / SetFrameAsText for frames that are neither text,
// URL nor comment frames.
class TFrameTextError : public std::runtime_error {
public:
    TFrameTextError() : std::runtime_error("Can not get frame content as text.") {}
};

// ID3v2 text encodings.
enum TID3TextEncoding : quint8 { encISO8859_1 = 0, encUTF16 = 1, encUTF16BE = 2, encUTF8 = 3 };

// Reads one string of the given encoding from body at position and moves
// position past its terminator. Never reads beyond the body.
QString DecodeID3Text(const QByteArray& body, int encoding, qsizetype& position);
// The encoding a frame built from these strings gets: ISO-8859-1 when every
// character fits, else UTF-16 with BOM.
quint8 ChooseEncoding(const QStringList& strings);
// One string in the encoding, without terminator (UTF-16 with BOM FF FE for
// 1; an empty string has no bytes at all).
QByteArray EncodeID3Text(const QString& text, quint8 encoding);
// The string terminator of an encoding (one or two NUL bytes).
QByteArray ID3Terminator(quint8 encoding);

// '0' to '9' only; digits of other scripts are not numbers in tags.
inline bool IsASCIIDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
// The decimal number at the start of text (ASCII digits, nothing skipped);
// none when there are no digits or the number exceeds 32 bits.
std::optional<quint32> ParseLeadingNumber(const QString& text);
// Lines separated by CR LF, CR or LF; a break at the very end starts no
// further line, and an empty text has no lines.
QStringList SplitTextLines(const QString& text);

QString GetFirstText(const QByteArray& body);
void GetTextFrame(const TID3Frame& frame, QString& description, QStringList& lines);
void SetTextFrame(TID3Frame& frame, const QString& description, const QStringList& strings);
void SetTextFrameLines(TID3Frame& frame, const QString& description, const QStringList& lines);
void GetCommentFrame(const TID3Frame& frame, QString& text, QString& language, QString& description);
void SetCommentFrame(TID3Frame& frame, const QStringList& lines, const QString& description, const QString& language);
void GetURLFrame(const TID3Frame& frame, QString& description, QString& url);
void SetURLFrame(TID3Frame& frame, const QString& description, const QString& url);
// Text, URL and comment frames as one text (lines joined by CR LF).
QString GetFrameAsText(const TID3Frame& frame);
// The inverse; CR LF separated lines become the frame's separate strings.
void SetFrameAsText(TID3Frame& frame, const QString& text);

// Display text of a TCON value: "(17)" gives "Rock", "(17)Hard" gives "Hard".
QString DecodeGenre(const QString& text);
