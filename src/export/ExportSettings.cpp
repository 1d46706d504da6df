#include "export/ExportSettings.h"

#include "common/LayoutStrings.h"
#include "platform/Registry.h"

namespace {

std::optional<TStringArray> ReadColumns(const TRegistry& registry, const QString& name)
{
    const std::optional<QString> text = registry.ReadString(name);
    if (!text || text->size() < LayoutCodeLength)
        return std::nullopt;
    return SplitLayoutCodes(*text);
}

TBoolArray LinksFromText(const QString& text, qsizetype count)
{
    TBoolArray links;
    for (qsizetype i = 0; i < count; ++i)
        links.append(i < text.size() && text.at(i) == QLatin1Char('L'));
    return links;
}

QString LinksToText(const TBoolArray& links, qsizetype count)
{
    QString text;
    for (qsizetype i = 0; i < count; ++i)
        text += i < links.size() && links.at(i) ? QLatin1Char('L') : QLatin1Char('-');
    return text;
}

template <typename T> void ReadInto(T& field, const std::optional<T>& value)
{
    if (value)
        field = *value;
}

}

const QString& TExportSettings::KeyPath()
{
    static const QString path = QStringLiteral("Software\\Orvane\\Quillon\\3\\Export");
    return path;
}

void TExportSettings::Load(TExportSettings& s)
{
    TRegistry registry;
    if (!registry.OpenKey(KeyPath(), false))
        return;
    if (std::optional<TStringArray> columns = ReadColumns(registry, QStringLiteral("HTMLColumns"))) {
        s.HTMLColumns = columns;
        s.HTMLColumnsLink =
            LinksFromText(registry.ReadString(QStringLiteral("HTMLColumnsLink")).value_or(QString()), columns->size());
    }
    ReadInto(s.HTMLNoOwnCol, registry.ReadBool(QStringLiteral("HTMLNoOwnCol")));
    ReadInto(s.HTMLRelDir, registry.ReadBool(QStringLiteral("HTMLRelDir")));
    ReadInto(s.HTMLRelLinks, registry.ReadBool(QStringLiteral("HTMLRelLinks")));
    ReadInto(s.HTMLGrouping, registry.ReadBool(QStringLiteral("HTMLGrouping")));
    ReadInto(s.HTMLManyFiles, registry.ReadBool(QStringLiteral("HTMLManyFiles")));
    ReadInto(s.HTMLGroupField, registry.ReadString(QStringLiteral("HTMLGroupField")));
    ReadInto(s.HTMLVLastFile, registry.ReadString(QStringLiteral("HTMLVLastFile")));
    ReadInto(s.HTMLVRelDir, registry.ReadBool(QStringLiteral("HTMLVRelDir")));
    ReadInto(s.HTMLVRelLinks, registry.ReadBool(QStringLiteral("HTMLVRelLinks")));
    ReadInto(s.PlaylistAll, registry.ReadBool(QStringLiteral("PlaylistAll")));
    ReadInto(s.PlaylistAddInfos, registry.ReadBool(QStringLiteral("PlaylistAddInfos")));
    ReadInto(s.PlaylistRelLinks, registry.ReadBool(QStringLiteral("PlaylistRelLinks")));
    if (std::optional<TStringArray> columns = ReadColumns(registry, QStringLiteral("ExcelColumns")))
        s.ExcelColumns = columns;
    ReadInto(s.ExcelNoOwnCol, registry.ReadBool(QStringLiteral("ExcelNoOwnCol")));
    if (const std::optional<qint32> last = registry.ReadInteger(QStringLiteral("LastExport")))
        s.LastExport = *last;
}

void TExportSettings::Save(const TExportSettings& s)
{
    TRegistry registry;
    if (!registry.OpenKey(KeyPath(), true))
        return;
    const TStringArray htmlColumns = s.HTMLColumns.value_or(TStringArray());
    registry.WriteString(QStringLiteral("HTMLColumns"), JoinLayoutCodes(htmlColumns));
    registry.WriteString(QStringLiteral("HTMLColumnsLink"), LinksToText(s.HTMLColumnsLink, htmlColumns.size()));
    registry.WriteBool(QStringLiteral("HTMLNoOwnCol"), s.HTMLNoOwnCol);
    registry.WriteBool(QStringLiteral("HTMLRelDir"), s.HTMLRelDir);
    registry.WriteBool(QStringLiteral("HTMLRelLinks"), s.HTMLRelLinks);
    registry.WriteBool(QStringLiteral("HTMLGrouping"), s.HTMLGrouping);
    registry.WriteBool(QStringLiteral("HTMLManyFiles"), s.HTMLManyFiles);
    registry.WriteString(QStringLiteral("HTMLGroupField"), s.HTMLGroupField);
    registry.WriteString(QStringLiteral("HTMLVLastFile"), s.HTMLVLastFile);
    registry.WriteBool(QStringLiteral("HTMLVRelDir"), s.HTMLVRelDir);
    registry.WriteBool(QStringLiteral("HTMLVRelLinks"), s.HTMLVRelLinks);
    registry.WriteBool(QStringLiteral("PlaylistAll"), s.PlaylistAll);
    registry.WriteBool(QStringLiteral("PlaylistAddInfos"), s.PlaylistAddInfos);
    registry.WriteBool(QStringLiteral("PlaylistRelLinks"), s.PlaylistRelLinks);
    registry.WriteString(QStringLiteral("ExcelColumns"), JoinLayoutCodes(s.ExcelColumns.value_or(TStringArray())));
    registry.WriteBool(QStringLiteral("ExcelNoOwnCol"), s.ExcelNoOwnCol);
    registry.WriteInteger(QStringLiteral("LastExport"), s.LastExport);
    registry.Flush();
}
