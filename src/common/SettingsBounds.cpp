#include "common/SettingsBounds.h"

#include "common/ColumnCatalogue.h"
#include "localisation/MultiLanguage.h"
#include "platform/NativePath.h"
#include "tagengine/FrameCatalogue.h"

#include <QSet>

#include <array>

bool TLeftOutSettings::Any() const
{
    return ToolbarEntries + Columns + InputPages + Favorites + FileNamePresets > 0;
}

QStringList TLeftOutSettings::Lines() const
{
    QStringList lines;
    if (ToolbarEntries > 0)
        lines << LangFmt("SettingsLeftOutButtons", {ToolbarEntries, MaxToolbarSeparators});
    if (Columns > 0)
        lines << LangFmt("SettingsLeftOutColumns", {Columns});
    if (InputPages > 0)
        lines << LangFmt("SettingsLeftOutPages", {InputPages, MaxInputPages});
    if (Favorites > 0)
        lines << LangFmt("SettingsLeftOutFavorites", {Favorites, MaxFavorites});
    if (FileNamePresets > 0)
        lines << LangFmt("SettingsLeftOutPresets", {FileNamePresets, MaxFileNamePresets});
    return lines;
}

TStringArray BoundToolbarCodes(const TStringArray& codes, int* leftOut)
{
    TStringArray kept;
    std::array<bool, ToolbarButtonCount> placed{};
    int separators = 0;
    int dropped = 0;
    for (const QString& code : codes) {
        if (code == QLatin1String(ToolbarSeparatorCode)) {
            if (separators++ < MaxToolbarSeparators)
                kept << code;
            else
                ++dropped;
            continue;
        }
        const TSymbolleistenButton* row = FindToolbarButton(code);
        if (!row)
            continue;
        bool& shown = placed[static_cast<size_t>(row - ToolbarButtons.data())];
        if (shown)
            ++dropped;
        else
            kept << code;
        shown = true;
    }
    if (leftOut)
        *leftOut += dropped;
    return kept;
}

QList<qsizetype> ShownColumnPlaces(const TStringArray& ids, int* leftOut)
{
    QList<qsizetype> places;
    std::array<bool, ColumnCount> placed{};
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const int column = FindColumnIndex(ids.at(i));
        if (column < 0)
            continue;
        if (placed[static_cast<size_t>(column)]) {
            if (leftOut)
                ++*leftOut;
            continue;
        }
        placed[static_cast<size_t>(column)] = true;
        places << i;
    }
    return places;
}

QStringList PageFrameIDs(const QStringList& ids, QSet<QString>& seen)
{
    QStringList kept;
    for (const QString& id : ids) {
        if (!FindFrameName(id) || seen.contains(id))
            continue;
        seen.insert(id);
        kept << id;
    }
    return kept;
}

bool IsStorablePath(const QString& path)
{
    return NativeFromPath(path).size() <= MaxStoredPathBytes;
}
