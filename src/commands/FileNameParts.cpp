#include "commands/FileNameParts.h"

#include "platform/FileNames.h"
#include "platform/NativePath.h"

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
        if (IsForbiddenInNames(c))
            return false;
    return NativeFromPath(name).size() <= NameMax;
}

QString StemThatFits(const QString& stem, const QString& extension)
{
    if (NativeFromPath(stem + extension).size() <= NameMax)
        return stem;
    // A name of NameMax bytes has no more characters than that.
    QString fitted = stem.left(NameMax);
    while (!fitted.isEmpty()
           && (fitted.back().isHighSurrogate() || NativeFromPath(fitted + extension).size() > NameMax))
        fitted.chop(1);
    return fitted.trimmed();
}
