#include "mainwindow/FileNameParts.h"

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
