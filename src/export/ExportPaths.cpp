#include "export/ExportPaths.h"

#include "platform/NativePath.h"

#include <QStringList>

QString FolderOf(const QString& path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString NameOf(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString StemOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString RelativePath(const QString& folder, const QString& path)
{
    const QStringList from = FolderOf(folder).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList to = FolderOf(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    qsizetype shared = 0;
    while (shared < from.size() && shared < to.size() && from.at(shared) == to.at(shared))
        ++shared;
    QString result;
    for (qsizetype i = shared; i < from.size(); ++i)
        result += QStringLiteral("../");
    for (qsizetype i = shared; i < to.size(); ++i)
        result += to.at(i) + QLatin1Char('/');
    return result + NameOf(path);
}

QString GroupFileName(const QString& outputFile, int index)
{
    QString stem = StemOf(NameOf(outputFile));
    if (stem.isEmpty())
        stem = QStringLiteral("Group-Data");
    return FolderOf(outputFile) + stem + QStringLiteral("-Files/") + QString::number(index + 1) + QStringLiteral(".htm");
}

QString MakeLink(const QString& path)
{
    const QStringList names = path.split(QLatin1Char('/'));
    QString link;
    link.reserve(path.size() + path.size() / 4);
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i > 0)
            link += QLatin1Char('/');
        link += QString::fromLatin1(NativeFromPath(names.at(i)).toPercentEncoding());
    }
    return link;
}

QString HtmlEscape(const QString& text)
{
    QString result;
    result.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': result += QLatin1String("&amp;"); break;
        case '<': result += QLatin1String("&lt;"); break;
        case '>': result += QLatin1String("&gt;"); break;
        case '"': result += QLatin1String("&quot;"); break;
        case '\'': result += QLatin1String("&#39;"); break;
        default: result += c;
        }
    }
    return result;
}
