#include "controls/FileMimeData.h"

#include <QMimeData>
#include <QSysInfo>

namespace FileMimeData {
namespace {

constexpr char NautilusClipboardMarker[] = "x-special/nautilus-clipboard";

QList<QByteArray> Lines(const QByteArray& text)
{
    QList<QByteArray> lines;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines << line;
    }
    return lines;
}

QList<QByteArray> PathsOfUris(const QList<QByteArray>& lines)
{
    QList<QByteArray> paths;
    for (const QByteArray& line : lines) {
        const QByteArray uri = line.trimmed();
        if (uri.isEmpty() || uri.startsWith('#'))
            continue;
        const QByteArray path = LocalPathOfUri(uri);
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

// GNOME's forms: "copy" or "cut" on the first line (after the marker line in
// the text/plain form), the URIs below.
bool IsGnomeOperation(const QByteArray& line)
{
    return line == "copy" || line == "cut";
}

QList<QByteArray> GnomeLines(const QMimeData& data)
{
    if (data.hasFormat(QString::fromLatin1(GnomeCopiedFilesFormat)))
        return Lines(data.data(QString::fromLatin1(GnomeCopiedFilesFormat)));
    if (data.hasFormat(QString::fromLatin1(PlainTextFormat))) {
        QList<QByteArray> lines = Lines(data.data(QString::fromLatin1(PlainTextFormat)));
        if (!lines.isEmpty() && lines.first().trimmed() == NautilusClipboardMarker) {
            lines.removeFirst();
            return lines;
        }
    }
    return {};
}

}

QByteArray FileUri(const QByteArray& path)
{
    return "file://" + path.toPercentEncoding("/");
}

QByteArray LocalPathOfUri(const QByteArray& uri)
{
    if (!uri.startsWith("file:"))
        return {};
    QByteArray rest = uri.mid(5);
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        if (slash < 0)
            return {};
        const QByteArray host = QByteArray::fromPercentEncoding(rest.mid(2, slash - 2)).toLower();
        if (!host.isEmpty() && host != "localhost" && host != QSysInfo::machineHostName().toUtf8().toLower())
            return {};
        rest = rest.mid(slash);
    }
    if (!rest.startsWith('/'))
        return {};
    // Neither a query nor a fragment is part of a file's path.
    const qsizetype end = rest.indexOf('#');
    if (end >= 0)
        rest.truncate(end);
    return QByteArray::fromPercentEncoding(rest);
}

QMimeData* NewDragData(const QList<QByteArray>& paths)
{
    QByteArray uris;
    QByteArray text;
    for (const QByteArray& path : paths) {
        uris += FileUri(path) + "\r\n";
        text += path + '\n';
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(UriListFormat), uris);
    data->setData(QString::fromLatin1(PlainTextFormat), text);
    return data;
}

QMimeData* NewClipboardData(const QList<QByteArray>& paths, bool cut)
{
    QMimeData* data = NewDragData(paths);
    QByteArray gnome = cut ? "cut" : "copy";
    for (const QByteArray& path : paths)
        gnome += '\n' + FileUri(path);
    data->setData(QString::fromLatin1(GnomeCopiedFilesFormat), gnome);
    data->setData(QString::fromLatin1(KdeCutSelectionFormat), cut ? "1" : "0");
    return data;
}

QList<QByteArray> FilesOf(const QMimeData& data)
{
    if (data.hasFormat(QString::fromLatin1(UriListFormat)))
        return PathsOfUris(Lines(data.data(QString::fromLatin1(UriListFormat))));
    QList<QByteArray> lines = GnomeLines(data);
    if (!lines.isEmpty() && IsGnomeOperation(lines.first().trimmed()))
        lines.removeFirst();
    return PathsOfUris(lines);
}

bool IsCut(const QMimeData& data)
{
    if (data.hasFormat(QString::fromLatin1(KdeCutSelectionFormat)))
        return data.data(QString::fromLatin1(KdeCutSelectionFormat)).trimmed().startsWith('1');
    const QList<QByteArray> lines = GnomeLines(data);
    return !lines.isEmpty() && lines.first().trimmed() == "cut";
}

bool HasFiles(const QMimeData& data)
{
    return !FilesOf(data).isEmpty();
}

}
