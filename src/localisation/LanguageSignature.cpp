#include "localisation/LanguageSignature.h"

#include <QCryptographicHash>

#include <array>

namespace {

// The salt appended to every signed text, kept shifted so that it does not
// stand in the program as plain text.
constexpr unsigned char SaltShift = 0x47;
constexpr std::array<unsigned char, 63> ShiftedSalt = {
    0x98, 0xBD, 0x7E, 0x68, 0x96, 0xB9, 0xBD, 0xA8, 0xB5, 0xAC, 0x6A, 0x93, 0xB5, 0xAE, 0x84, 0x9A,
    0xB0, 0xAE, 0x82, 0xB2, 0x7A, 0x9B, 0xC1, 0x80, 0xB7, 0x9E, 0x79, 0x6D, 0xB4, 0xA0, 0x7C, 0xAA,
    0x89, 0x7F, 0xBF, 0x8D, 0x78, 0xAB, 0x8F, 0x7B, 0xB1, 0x99, 0x7D, 0xB5, 0x8C, 0x77, 0xBC, 0x88,
    0x87, 0xB8, 0xB0, 0xB3, 0xB3, 0xB6, 0xB5, 0x81, 0x7A, 0x74, 0x78, 0x7B, 0x71, 0x8E, 0xBA,
};

QByteArray Salt()
{
    QByteArray salt;
    salt.reserve(static_cast<qsizetype>(ShiftedSalt.size()));
    for (const unsigned char c : ShiftedSalt)
        salt += static_cast<char>(static_cast<unsigned char>(c - SaltShift));
    return salt;
}

bool IsSigKey(const QByteArray& line)
{
    const std::optional<QByteArray> key = RawLineKey(line);
    return key && key->toLower() == "sig";
}

// The trimmed value of the first "Sig" line, or nothing.
std::optional<QByteArray> StoredSignature(const QList<QByteArray>& lines)
{
    for (const QByteArray& line : lines)
        if (IsSigKey(line))
            return TrimBlanks(line.mid(line.indexOf('=') + 1));
    return std::nullopt;
}

QString DigestOfRawLines(const QList<QByteArray>& lines)
{
    const QByteArray lineEnd("\r\n");
    QByteArray text;
    for (const QByteArray& line : lines) {
        const QByteArray trimmed = TrimBlanks(line);
        if (trimmed.isEmpty() || IsSigKey(line))
            continue;
        text += trimmed + lineEnd;
    }
    text += Salt() + lineEnd;
    return MD5Print(MD5String(text));
}

}

QByteArray MD5String(const QByteArray& text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5);
}

QString MD5Print(const QByteArray& digest)
{
    return QString::fromLatin1(digest.toHex());
}

QString LanguageDigest(const TLanguageLines& lines)
{
    return DigestOfRawLines(lines.RawLines());
}

bool CheckLanguageSignature(const TLanguageLines& lines, QString& digest)
{
    digest = LanguageDigest(lines);
    const QByteArray stored = StoredSignature(lines.RawLines()).value_or(QByteArray()).toLower();
    return !stored.isEmpty() && stored == digest.toLatin1();
}

std::optional<QByteArray> SignLanguageBytes(const QByteArray& bytes)
{
    const QString digest = DigestOfRawLines(SplitLanguageBytes(bytes));
    for (const TLineSpan& span : LanguageLineSpans(bytes)) {
        const QByteArray line = bytes.mid(span.start, span.length);
        if (!IsSigKey(line))
            continue;
        const QByteArray signedLine = line.left(line.indexOf('=') + 1) + digest.toLatin1();
        QByteArray result = bytes;
        result.replace(span.start, span.length, signedLine);
        return result;
    }
    return std::nullopt;
}
