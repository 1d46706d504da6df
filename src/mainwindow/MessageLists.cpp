#include "mainwindow/MessageLists.h"

#include "platform/NativePath.h"

namespace {
const QString LineBreak = QStringLiteral("\n\r");
}

QString NamesFollowedByBreak(const QStringList& names)
{
    QString text;
    for (const QString& name : names)
        text += name + LineBreak;
    return text;
}

QString NamesPrecededByBreak(const QStringList& names)
{
    QString text;
    for (const QString& name : names)
        text += LineBreak + name;
    return text;
}

QString NameOfPath(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ShownNameOfPath(const QString& path)
{
    return ShownPath(NameOfPath(path));
}
