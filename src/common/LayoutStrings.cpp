#include "common/LayoutStrings.h"

#include <QtEndian>

TStringArray SplitLayoutCodes(const QString& joined)
{
    TStringArray codes;
    const qsizetype count = joined.size() / LayoutCodeLength;
    codes.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        codes.append(joined.mid(i * LayoutCodeLength, LayoutCodeLength));
    return codes;
}

QString JoinLayoutCodes(const TStringArray& codes)
{
    QString joined;
    joined.reserve(codes.size() * LayoutCodeLength);
    for (const QString& code : codes) {
        if (code.size() == LayoutCodeLength)
            joined += code;
    }
    return joined;
}

TWordArray WidthsFromBytes(const QByteArray& bytes)
{
    constexpr qsizetype WidthSize = sizeof(quint16);
    TWordArray widths;
    const qsizetype count = bytes.size() / WidthSize;
    widths.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        widths.append(qFromLittleEndian<quint16>(bytes.constData() + i * WidthSize));
    return widths;
}

QByteArray WidthsToBytes(const TWordArray& widths)
{
    QByteArray bytes;
    bytes.reserve(widths.size() * qsizetype(sizeof(quint16)));
    for (quint16 width : widths) {
        char little[sizeof(quint16)];
        qToLittleEndian<quint16>(width, little);
        bytes.append(little, sizeof(little));
    }
    return bytes;
}
