#include "tagengine/FrameCodecs.h"

#include "tagengine/FrameCatalogue.h"

#include <QUrl>

#include <algorithm>
#include <limits>

namespace {

const QLatin1String TXXX("TXXX");
const QLatin1String WXXX("WXXX");
const QLatin1String COMM("COMM");

bool IsTextFrameID(const QString& id)
{
    return id.startsWith(QLatin1Char('T'));
}

bool IsURLFrameID(const QString& id)
{
    return id.startsWith(QLatin1Char('W'));
}

// Bytes up to the next NUL (consumed) or the end of the body.
QByteArray TakeBytesToNul(const QByteArray& body, qsizetype& position)
{
    const qsizetype nul = body.indexOf('\0', position);
    const qsizetype end = nul < 0 ? body.size() : nul;
    QByteArray bytes = body.mid(position, end - position);
    position = nul < 0 ? body.size() : nul + 1;
    return bytes;
}

// A surrogate without its partner is not a character: it becomes U+FFFD so
// that the text stays valid Unicode wherever it goes next.
void ReplaceUnpairedSurrogates(QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
}

// UTF-16 in two-byte units; a BOM (encoding 1 only) sets the byte order for
// the rest of the string. An odd byte at the end is skipped.
QString TakeUTF16(const QByteArray& body, qsizetype& position, bool bigEndian, bool honourBOM)
{
    QString text;
    bool terminated = false;
    while (body.size() - position >= 2) {
        const auto b0 = static_cast<uchar>(body.at(position));
        const auto b1 = static_cast<uchar>(body.at(position + 1));
        position += 2;
        if (b0 == 0 && b1 == 0) {
            terminated = true;
            break;
        }
        if (honourBOM && ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF))) {
            bigEndian = b0 == 0xFE;
            continue;
        }
        const char16_t unit = bigEndian ? char16_t((b0 << 8) | b1) : char16_t((b1 << 8) | b0);
        text.append(QChar(unit));
    }
    if (!terminated)
        position = body.size();
    ReplaceUnpairedSurrogates(text);
    return text;
}

// URLs are 8-bit by format: characters beyond ISO-8859-1 are percent-encoded
// (as UTF-8) rather than lost.
QByteArray EncodeURL(const QString& url)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < url.size(); ++i) {
        const QChar c = url.at(i);
        if (c.unicode() <= 0xFF) {
            bytes.append(char(c.unicode()));
            continue;
        }
        const qsizetype length = c.isHighSurrogate() && i + 1 < url.size() && url.at(i + 1).isLowSurrogate() ? 2 : 1;
        bytes.append(QUrl::toPercentEncoding(url.mid(i, length)));
        i += length - 1;
    }
    return bytes;
}

// A string with its terminator, as it stands before further strings.
QByteArray EncodeTerminated(const QString& text, quint8 encoding)
{
    return EncodeID3Text(text, encoding) + ID3Terminator(encoding);
}

QByteArray JoinEncoded(const QStringList& strings, quint8 encoding)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < strings.size(); ++i) {
        if (i > 0)
            bytes.append(ID3Terminator(encoding));
        bytes.append(EncodeID3Text(strings.at(i), encoding));
    }
    return bytes;
}

bool IsAllDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), IsASCIIDigit);
}

// The genre name of a number, empty when it has none.
QString GenreNameOf(const QString& digits)
{
    const auto number = ParseLeadingNumber(digits);
    return number && *number < quint32(GenreCount) ? GetGenreName(int(*number)) : QString();
}

} // namespace

std::optional<quint32> ParseLeadingNumber(const QString& text)
{
    quint64 value = 0;
    qsizetype digits = 0;
    for (const QChar c : text) {
        if (!IsASCIIDigit(c))
            break;
        value = value * 10 + quint64(c.unicode() - '0');
        if (value > std::numeric_limits<quint32>::max())
            return std::nullopt;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return quint32(value);
}

QStringList SplitTextLines(const QString& text)
{
    // One pass: replacing the breaks first costs a move of the rest of the
    // text per batch of breaks, which grows with the square of long texts.
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

QString DecodeID3Text(const QByteArray& body, int encoding, qsizetype& position)
{
    if (encoding < encISO8859_1 || encoding > encUTF8)
        return {};
    if (position < 0 || position >= body.size())
        return {};
    switch (encoding) {
    case encISO8859_1:
        return QString::fromLatin1(TakeBytesToNul(body, position));
    case encUTF8:
        return QString::fromUtf8(TakeBytesToNul(body, position));
    case encUTF16:
        return TakeUTF16(body, position, false, true);
    default:
        return TakeUTF16(body, position, true, false);
    }
}

quint8 ChooseEncoding(const QStringList& strings)
{
    for (const QString& s : strings)
        for (const QChar c : s)
            if (c.unicode() > 0xFF)
                return encUTF16;
    return encISO8859_1;
}

QByteArray EncodeID3Text(const QString& text, quint8 encoding)
{
    switch (encoding) {
    case encUTF16:
    case encUTF16BE: {
        // Encoding 1 strings always carry their BOM, empty ones too: some
        // readers reject a frame whose empty description has none.
        const bool bigEndian = encoding == encUTF16BE;
        QByteArray bytes;
        bytes.reserve(text.size() * 2 + 2);
        if (!bigEndian)
            bytes.append("\xFF\xFE", 2);
        for (const QChar c : text) {
            const char16_t unit = c.unicode();
            const char high = char(unit >> 8);
            const char low = char(unit & 0xFF);
            bytes.append(bigEndian ? high : low);
            bytes.append(bigEndian ? low : high);
        }
        return bytes;
    }
    case encUTF8:
        return text.toUtf8();
    default:
        return text.toLatin1();
    }
}

QByteArray ID3Terminator(quint8 encoding)
{
    return encoding == encUTF16 || encoding == encUTF16BE ? QByteArray(2, '\0') : QByteArray(1, '\0');
}

QString GetFirstText(const QByteArray& body)
{
    if (body.size() < 2)
        return {};
    qsizetype position = 1;
    return DecodeID3Text(body, static_cast<uchar>(body.at(0)), position);
}

void GetTextFrame(const TID3Frame& frame, QString& description, QStringList& lines)
{
    description.clear();
    lines.clear();
    if (frame.Encryption)
        return;
    const QByteArray& body = frame.Body();
    if (body.isEmpty())
        return;
    const int encoding = static_cast<uchar>(body.at(0));
    qsizetype position = 1;
    if (frame.FrameID == TXXX)
        description = DecodeID3Text(body, encoding, position);
    while (position < body.size()) {
        const qsizetype before = position;
        QString s = DecodeID3Text(body, encoding, position);
        if (position == before)
            break;
        if (!s.isEmpty())
            lines.append(std::move(s));
    }
}

void SetTextFrame(TID3Frame& frame, const QString& description, const QStringList& strings)
{
    const bool hasDescription = frame.FrameID == TXXX;
    QStringList all = strings;
    if (hasDescription)
        all.append(description);
    const quint8 encoding = ChooseEncoding(all);

    QByteArray body(1, char(encoding));
    if (hasDescription)
        body.append(EncodeTerminated(description, encoding));
    body.append(JoinEncoded(strings, encoding));
    frame.SetPlainBody(std::move(body));
}

void SetTextFrameLines(TID3Frame& frame, const QString& description, const QStringList& lines)
{
    SetTextFrame(frame, description, lines);
}

void GetCommentFrame(const TID3Frame& frame, QString& text, QString& language, QString& description)
{
    text.clear();
    language.clear();
    description.clear();
    if (frame.Encryption)
        return;
    const QByteArray& body = frame.Body();
    if (body.size() < 4)
        return;
    QByteArray code = body.mid(1, 3);
    code.replace('\0', ' ');
    language = QString::fromLatin1(code).trimmed();
    const int encoding = static_cast<uchar>(body.at(0));
    qsizetype position = 4;
    description = DecodeID3Text(body, encoding, position);
    text = DecodeID3Text(body, encoding, position);
}

void SetCommentFrame(TID3Frame& frame, const QStringList& lines, const QString& description, const QString& language)
{
    QString text;
    for (const QString& line : lines) {
        if (!text.isEmpty())
            text.append(QLatin1Char('\n'));
        text.append(line);
    }
    const quint8 encoding = ChooseEncoding({text, description});

    QByteArray body(1, char(encoding));
    QByteArray code = language.left(3).toLatin1();
    code.append(QByteArray(3 - code.size(), '\0'));
    body.append(code);
    body.append(EncodeTerminated(description, encoding));
    body.append(EncodeID3Text(text, encoding));
    frame.SetPlainBody(std::move(body));
}

void GetURLFrame(const TID3Frame& frame, QString& description, QString& url)
{
    description.clear();
    url.clear();
    if (frame.Encryption)
        return;
    const QByteArray& body = frame.Body();
    if (body.isEmpty())
        return;
    qsizetype position = 0;
    if (frame.FrameID == WXXX) {
        position = 1;
        description = DecodeID3Text(body, static_cast<uchar>(body.at(0)), position);
    }
    url = DecodeID3Text(body, encISO8859_1, position);
}

void SetURLFrame(TID3Frame& frame, const QString& description, const QString& url)
{
    if (frame.FrameID != WXXX) {
        frame.SetPlainBody(EncodeURL(url));
        return;
    }
    const quint8 encoding = ChooseEncoding({description});
    QByteArray body(1, char(encoding));
    body.append(EncodeTerminated(description, encoding));
    body.append(EncodeURL(url));
    frame.SetPlainBody(std::move(body));
}

QString GetFrameAsText(const TID3Frame& frame)
{
    if (frame.Encryption)
        throw TFrameTextError();
    QString description;
    if (IsTextFrameID(frame.FrameID)) {
        QStringList lines;
        GetTextFrame(frame, description, lines);
        return lines.join(QLatin1String("\r\n")).trimmed();
    }
    if (IsURLFrameID(frame.FrameID)) {
        QString url;
        GetURLFrame(frame, description, url);
        return url;
    }
    if (frame.FrameID == COMM) {
        QString text, language;
        GetCommentFrame(frame, text, language, description);
        return text;
    }
    throw TFrameTextError();
}

void SetFrameAsText(TID3Frame& frame, const QString& text)
{
    if (frame.Encryption)
        throw TFrameTextError();
    QString description;
    if (IsTextFrameID(frame.FrameID)) {
        QStringList oldLines;
        GetTextFrame(frame, description, oldLines);
        SetTextFrame(frame, description, SplitTextLines(text));
    } else if (IsURLFrameID(frame.FrameID)) {
        QString oldURL;
        GetURLFrame(frame, description, oldURL);
        SetURLFrame(frame, description, text);
    } else if (frame.FrameID == COMM) {
        QString oldText, language;
        GetCommentFrame(frame, oldText, language, description);
        SetCommentFrame(frame, SplitTextLines(text), description, language);
    } else {
        throw TFrameTextError();
    }
}

QString DecodeGenre(const QString& text)
{
    if (text.isEmpty())
        return text;
    QString result;
    if (IsAllDigits(text)) {
        result = GenreNameOf(text);
    } else if (text.startsWith(QLatin1Char('('))) {
        qsizetype close = 1;
        while (close < text.size() && IsASCIIDigit(text.at(close)))
            ++close;
        if (close < text.size() && text.at(close) == QLatin1Char(')')) {
            result = close + 1 == text.size() ? GenreNameOf(text.mid(1, close - 1)) : text.mid(close + 1);
        }
    }
    return result.isEmpty() ? text : result;
}
