#include "platform/NativePath.h"

#include "platform/DirStream.h"

#include <QFile>

#include <algorithm>
#include <vector>

#include <sys/stat.h>

namespace {

constexpr char16_t FirstEscape = 0xDC80; // the byte 0x80
constexpr char16_t LastEscape = 0xDCFF;  // the byte 0xFF

bool InRange(uchar byte, uchar low, uchar high)
{
    return byte >= low && byte <= high;
}

// Length of the well-formed UTF-8 sequence at data (Unicode's table of
// well-formed byte sequences: no overlong forms, no surrogates, nothing above
// U+10FFFF); 0 when the bytes there are not one.
int SequenceLength(const uchar* data, qsizetype available)
{
    const uchar lead = data[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar secondLow = 0x80;
    uchar secondHigh = 0xBF;
    if (InRange(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (InRange(lead, 0xE0, 0xEF)) {
        length = 3;
        if (lead == 0xE0)
            secondLow = 0xA0;
        else if (lead == 0xED)
            secondHigh = 0x9F;
    } else if (InRange(lead, 0xF0, 0xF4)) {
        length = 4;
        if (lead == 0xF0)
            secondLow = 0x90;
        else if (lead == 0xF4)
            secondHigh = 0x8F;
    } else {
        return 0;
    }
    if (available < length || !InRange(data[1], secondLow, secondHigh))
        return 0;
    for (int i = 2; i < length; ++i)
        if (!InRange(data[i], 0x80, 0xBF))
            return 0;
    return length;
}

bool IsEscape(const QString& text, qsizetype i)
{
    const char16_t c = text.at(i).unicode();
    return c >= FirstEscape && c <= LastEscape && (i == 0 || !text.at(i - 1).isHighSurrogate());
}

bool Exists(const QByteArray& native)
{
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0;
}

QByteArray Joined(const QByteArray& folder, const QByteArray& name)
{
    if (folder.isEmpty() || folder.endsWith('/'))
        return folder + name;
    return folder + '/' + name;
}

// The names in folder whose shown text is shown, in byte order.
std::vector<QByteArray> NamesShownAs(const QByteArray& folder, const QString& shown)
{
    std::vector<QByteArray> names;
    const TDirStream dir = OpenDirStream(folder.isEmpty() ? QByteArrayLiteral(".") : folder);
    if (!dir)
        return names;
    while (const dirent* e = readdir(dir.get()))
        if (QFile::decodeName(e->d_name) == shown)
            names.emplace_back(e->d_name);
    std::sort(names.begin(), names.end());
    return names;
}

}

bool IsPlainNativeName(const QByteArray& native)
{
    if (std::all_of(native.begin(), native.end(), [](char c) { return static_cast<uchar>(c) < 0x80; }))
        return true;
    return QFile::encodeName(QFile::decodeName(native)) == native;
}

QString PathFromNative(const QByteArray& native)
{
    if (IsPlainNativeName(native))
        return QFile::decodeName(native);
    const auto* data = reinterpret_cast<const uchar*>(native.constData());
    const qsizetype size = native.size();
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < size;) {
        const int length = SequenceLength(data + i, size - i);
        if (length == 0) {
            text += QChar(static_cast<char16_t>(0xDC00 + data[i]));
            ++i;
        } else {
            // Decoded here: QString::fromUtf8 would drop a byte-order mark.
            char32_t code = length == 1 ? data[i] : data[i] & (0x7F >> length);
            for (int k = 1; k < length; ++k)
                code = (code << 6) | (data[i + k] & 0x3F);
            text += QStringView(QChar::fromUcs4(code));
            i += length;
        }
    }
    return text;
}

bool HasEscapedBytes(const QString& path)
{
    for (qsizetype i = 0; i < path.size(); ++i)
        if (IsEscape(path, i))
            return true;
    return false;
}

QByteArray NativeFromPath(const QString& path)
{
    if (!HasEscapedBytes(path))
        return QFile::encodeName(path);
    QByteArray native;
    native.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (!IsEscape(path, i))
            continue;
        native += QStringView(path).mid(runStart, i - runStart).toUtf8();
        native += static_cast<char>(path.at(i).unicode() - 0xDC00);
        runStart = i + 1;
    }
    native += QStringView(path).mid(runStart).toUtf8();
    return native;
}

QString ShownPath(const QString& path)
{
    return HasEscapedBytes(path) ? QFile::decodeName(NativeFromPath(path)) : path;
}

QString ResolveShownPath(const QString& shown)
{
    if (!shown.contains(QChar::ReplacementCharacter) || Exists(NativeFromPath(shown)))
        return shown;
    QByteArray resolved = shown.startsWith(QLatin1Char('/')) ? QByteArray("/") : QByteArray();
    const QStringList parts = shown.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QByteArray plain = Joined(resolved, QFile::encodeName(part));
        if (!part.contains(QChar::ReplacementCharacter) || Exists(plain)) {
            resolved = plain;
            continue;
        }
        const std::vector<QByteArray> names = NamesShownAs(resolved, part);
        if (names.empty())
            return shown;
        resolved = Joined(resolved, names.front());
    }
    if (shown.endsWith(QLatin1Char('/')) && !resolved.endsWith('/'))
        resolved += '/';
    return PathFromNative(resolved);
}

bool IsFolderPath(const QString& path)
{
    struct stat st {};
    return ::stat(NativeFromPath(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}
