#include "commands/FileNameParts.h"

#include "platform/NativePath.h"

namespace {

// The longest name of one folder entry, in bytes (NAME_MAX).
constexpr qsizetype MaxNameBytes = 255;

}

TFileNameParts SplitFileName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {name, QString()};
    return {name.left(dot), name.mid(dot)};
}

bool IsUsableNewName(const QString& stem, const QString& extension)
{
    if (stem.isEmpty() || stem == QLatin1String(".") || stem == QLatin1String(".."))
        return false;
    const QString name = stem + extension;
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return NativeFromPath(name).size() <= MaxNameBytes;
}

QString StemThatFits(const QString& stem, const QString& extension)
{
    if (NativeFromPath(stem + extension).size() <= MaxNameBytes)
        return stem;
    // A name of MaxNameBytes bytes has no more characters than that.
    QString fitted = stem.left(MaxNameBytes);
    while (!fitted.isEmpty()
           && (fitted.back().isHighSurrogate() || NativeFromPath(fitted + extension).size() > MaxNameBytes))
        fitted.chop(1);
    return fitted.trimmed();
}
