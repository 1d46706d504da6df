#include "common/SettingsStore.h"

#include "common/LayoutStrings.h"
#include "common/NameValueCollection.h"
#include "common/SettingsKey.h"
#include "platform/Registry.h"

#include <QSet>

#include <algorithm>

namespace {

const QString kPages = QStringLiteral("Felder");
const QString kPresets = QStringLiteral("DNVorgaben");
constexpr int PlacementSize = 44;

QString SubKey(const QString& name)
{
    return ProgramSettingsSubkey(name);
}

// Reads a value into target only when it is stored.
template <typename T> void ReadInto(const std::optional<T>& value, T& target)
{
    if (value)
        target = *value;
}

void ReadString(const TRegistry& reg, const char* name, QString& target)
{
    ReadInto(reg.ReadString(QString::fromLatin1(name)), target);
}

void ReadBool(const TRegistry& reg, const char* name, bool& target)
{
    ReadInto(reg.ReadBool(QString::fromLatin1(name)), target);
}

void ReadInt(const TRegistry& reg, const char* name, qint32& target)
{
    ReadInto(reg.ReadInteger(QString::fromLatin1(name)), target);
}

QString LegacyFileNamePattern(const TRegistry& reg)
{
    QString pattern = reg.ReadString(QStringLiteral("DNAufbau")).value_or(QString());
    const auto folderIsField = reg.ReadBool(QStringLiteral("FolderIsField"));
    const auto folderFieldId = reg.ReadString(QStringLiteral("FolderIsFieldID"));
    if (folderIsField.value_or(false) && folderFieldId)
        pattern = *folderFieldId + QLatin1Char('\\') + pattern;
    return pattern;
}

void LoadWindowState(const TRegistry& reg, TMainSettings& s)
{
    ReadString(reg, "FirstDir", s.FirstDir);
    if (auto width = reg.ReadInteger(QStringLiteral("FTWidth")))
        s.FolderBarWidth = std::clamp<qint32>(*width, 20, 500);
    ReadBool(reg, "FTVisible", s.FolderBarVisible);
    ReadBool(reg, "SearchVisible", s.SearchVisible);
    if (auto pos = reg.ReadInteger(QStringLiteral("ID3Pos"))) {
        if (*pos == 0)
            s.InputPanel = TInputPanelPos::Hidden;
        else if (*pos == 1)
            s.InputPanel = TInputPanelPos::Top;
    }
    auto placement = reg.ReadBinaryData(QStringLiteral("Window"));
    if (placement && placement->size() == PlacementSize)
        s.WindowPlacement = *placement;
}

void LoadRecord(const TRegistry& reg, TEinstellungen& r)
{
    if (auto pattern = reg.ReadString(QStringLiteral("DNAufbau2"))) {
        r.FileNamePattern = *pattern;
    } else {
        const QString legacy = LegacyFileNamePattern(reg);
        if (!legacy.isEmpty())
            r.FileNamePattern = legacy;
    }
    ReadBool(reg, "NeverChangeDate", r.NeverChangeDate);
    ReadBool(reg, "ReadID3v2", r.ReadID3v2);
    ReadBool(reg, "WriteID3v1", r.WriteID3v1);
    ReadBool(reg, "WriteID3v2", r.WriteID3v2);
    if (auto version = reg.ReadInteger(QStringLiteral("ID3v2Version")))
        r.ID3v2Version = *version == 3 ? 3 : 4;
    ReadBool(reg, "Unsync", r.Unsync);
    ReadInt(reg, "MinSize", r.MinSize);
    ReadInt(reg, "MinPad", r.MinPad);
    ReadInt(reg, "MaxPad", r.MaxPad);
    ReadBool(reg, "NoWriteProtect", r.NoWriteProtect);
    ReadInt(reg, "Decimals", r.Decimals);
    ReadString(reg, "CDDBServer2", r.CDDBServer);
    ReadInt(reg, "CDDBServerPort2", r.CDDBServerPort);
    ReadString(reg, "CDDBServerCgiPath", r.CDDBServerCgiPath);
    ReadString(reg, "CDDBUser", r.CDDBUser);
    ReadBool(reg, "UseProxy", r.UseProxy);
    ReadString(reg, "Proxy", r.Proxy);
    ReadInt(reg, "ProxyPort", r.ProxyPort);
    // A number stored by hand or by another version must not reach the tag
    // writer or the name builder outside its range.
    ClampSettingNumbers(r);
    ReadBool(reg, "AlwaysUseNativeNtCdRom", r.AlwaysUseNativeNtCdRom);
}

void LoadListState(const TRegistry& reg, TMainSettings& s)
{
    ReadInt(reg, "Sort", s.SortColumn);
    // Only the low 16 bits are the direction; anything but a negative value
    // (0 included) is ascending.
    if (auto direction = reg.ReadInteger(QStringLiteral("SortierenRichtung")))
        s.SortDirection = static_cast<qint16>(*direction & 0xFFFF) < 0 ? -1 : 1;
    ReadBool(reg, "ChildFolders", s.ChildFolders);
    ReadBool(reg, "GKFilename", s.CaseConversionRenames);
}

std::optional<TStringArray> ReadCodes(const TRegistry& reg, const char* name)
{
    auto joined = reg.ReadString(QString::fromLatin1(name));
    if (!joined || joined->size() < LayoutCodeLength)
        return std::nullopt;
    return SplitLayoutCodes(*joined);
}

void LoadColumns(const TRegistry& reg, TMainSettings& s)
{
    const std::optional<TStringArray> codes = ReadCodes(reg, "Cols");
    if (!codes)
        return;
    const QList<qsizetype> places = ShownColumnPlaces(*codes, &s.LeftOut.Columns);
    s.ColumnCodes = ItemsAtPlaces(*codes, places);
    if (auto widths = reg.ReadBinaryData(QStringLiteral("ColsW")))
        s.ColumnWidths = ItemsAtPlaces(WidthsFromBytes(*widths), places);
}

QStringList ReadHistory(const TRegistry& reg, const char* prefix)
{
    QStringList history;
    for (int i = 0; i < TSettingsStore::HistorySize; ++i) {
        const QString value =
            reg.ReadString(QString::fromLatin1(prefix) + QString::number(i)).value_or(QString());
        if (!value.isEmpty() && IsStorablePath(value))
            history.append(value);
    }
    return history;
}

// The number of pairs "i" / "N" + i stored from index first on.
int CountStoredPairs(const TRegistry& reg, int first)
{
    int count = 0;
    while (reg.ValueExists(QString::number(first + count)))
        ++count;
    return count;
}

std::optional<TEingabeSeiten> LoadInputPages(TRegistry& reg, int& leftOut)
{
    if (!reg.OpenKey(SubKey(kPages), false))
        return std::nullopt;
    TEingabeSeiten pages;
    QSet<QString> placed;
    for (int i = 0; i < MaxInputPages; ++i) {
        const auto ids = reg.ReadString(QString::number(i));
        if (!ids)
            break;
        const QString title = reg.ReadString(QStringLiteral("N") + QString::number(i))
                                  .value_or(QStringLiteral("Seite ") + QString::number(i + 1));
        pages.Add(title).FrameIDs = PageFrameIDs(SplitLayoutCodes(*ids), placed);
    }
    leftOut += CountStoredPairs(reg, pages.Count());
    reg.CloseKey();
    if (pages.Count() == 0)
        return std::nullopt;
    return pages;
}

void LoadPresets(TRegistry& reg, TFileNamePresets& presets, int& leftOut)
{
    if (!reg.OpenKey(SubKey(kPresets), false))
        return;
    for (int i = 0;; ++i) {
        const auto pattern = reg.ReadString(QString::number(i));
        if (!pattern)
            break;
        const auto name = reg.ReadString(QStringLiteral("N") + QString::number(i));
        if (name && presets.Count() < MaxFileNamePresets)
            presets.Add(*name, *pattern);
        else if (name)
            ++leftOut;
    }
    reg.CloseKey();
}

// The favourites' comma text, cut after MaxFavorites pairs.
QString BoundFavorites(const QString& commaText, int& leftOut)
{
    TNameValueCollection favorites;
    favorites.SetCommaText(commaText);
    if (favorites.Count() <= MaxFavorites)
        return commaText;
    leftOut += favorites.Count() - MaxFavorites;
    TNameValueCollection kept;
    for (int i = 0; i < MaxFavorites; ++i)
        kept.Add(favorites.Names(i), favorites.Values(i));
    return kept.GetCommaText();
}

void SaveRecord(TRegistry& reg, const TEinstellungen& r)
{
    reg.WriteString(QStringLiteral("DNAufbau2"), r.FileNamePattern);
    reg.WriteBool(QStringLiteral("NeverChangeDate"), r.NeverChangeDate);
    reg.WriteBool(QStringLiteral("ReadID3v2"), r.ReadID3v2);
    reg.WriteBool(QStringLiteral("WriteID3v1"), r.WriteID3v1);
    reg.WriteBool(QStringLiteral("WriteID3v2"), r.WriteID3v2);
    reg.WriteInteger(QStringLiteral("ID3v2Version"), r.ID3v2Version);
    reg.WriteBool(QStringLiteral("Unsync"), r.Unsync);
    reg.WriteInteger(QStringLiteral("MinSize"), r.MinSize);
    reg.WriteInteger(QStringLiteral("MinPad"), r.MinPad);
    reg.WriteInteger(QStringLiteral("MaxPad"), r.MaxPad);
    reg.WriteBool(QStringLiteral("NoWriteProtect"), r.NoWriteProtect);
    reg.WriteInteger(QStringLiteral("Decimals"), r.Decimals);
    reg.WriteString(QStringLiteral("CDDBServer2"), r.CDDBServer);
    reg.WriteInteger(QStringLiteral("CDDBServerPort2"), r.CDDBServerPort);
    reg.WriteString(QStringLiteral("CDDBServerCgiPath"), r.CDDBServerCgiPath);
    reg.WriteString(QStringLiteral("CDDBUser"), r.CDDBUser);
    reg.WriteBool(QStringLiteral("UseProxy"), r.UseProxy && !r.Proxy.isEmpty() && r.ProxyPort > 0);
    reg.WriteString(QStringLiteral("Proxy"), r.Proxy);
    reg.WriteInteger(QStringLiteral("ProxyPort"), r.ProxyPort);
    reg.WriteBool(QStringLiteral("AlwaysUseNativeNtCdRom"), r.AlwaysUseNativeNtCdRom);
}

void SaveHistory(TRegistry& reg, const char* prefix, const QStringList& history)
{
    for (int i = 0; i < TSettingsStore::HistorySize; ++i)
        reg.WriteString(QString::fromLatin1(prefix) + QString::number(i), history.value(i));
}

// Deletes the subkey when it exists and opens it afresh; false when it could
// not be deleted (then it is not rewritten).
bool RecreateSubKey(TRegistry& reg, const QString& name)
{
    const QString path = SubKey(name);
    if (reg.KeyExists(path) && !reg.DeleteKey(path))
        return false;
    return reg.OpenKey(path, true);
}

void SaveInputPages(TRegistry& reg, const std::optional<TEingabeSeiten>& pages)
{
    if (!RecreateSubKey(reg, kPages))
        return;
    for (int i = 0; pages && i < pages->Count(); ++i) {
        const TEingabeSeite& page = pages->Items(i);
        reg.WriteString(QString::number(i), JoinLayoutCodes(page.FrameIDs));
        reg.WriteString(QStringLiteral("N") + QString::number(i), page.Title);
    }
    reg.CloseKey();
}

void SavePresets(TRegistry& reg, const TFileNamePresets& presets)
{
    if (!RecreateSubKey(reg, kPresets))
        return;
    for (int i = 0; i < presets.Count(); ++i) {
        reg.WriteString(QString::number(i), presets.Patterns().at(i));
        reg.WriteString(QStringLiteral("N") + QString::number(i), presets.Names().at(i));
    }
    reg.CloseKey();
}

}

const QString& TSettingsStore::KeyPath()
{
    static const QString path = ProgramSettingsKey();
    return path;
}

void TSettingsStore::Load(TMainSettings& s)
{
    TRegistry reg;
    if (!reg.OpenKey(KeyPath(), false))
        return;
    LoadWindowState(reg, s);
    LoadRecord(reg, s.Record);
    LoadListState(reg, s);
    ReadString(reg, "Language", s.Record.Language);
    ReadString(reg, "LanguageFile", s.Record.LanguageFile);
    if (auto codes = ReadCodes(reg, "Buttons"))
        s.ToolbarCodes = BoundToolbarCodes(*codes, &s.LeftOut.ToolbarEntries);
    LoadColumns(reg, s);
    s.CopyHistory = ReadHistory(reg, "CH");
    s.MoveHistory = ReadHistory(reg, "MH");
    if (auto favorites = reg.ReadString(QStringLiteral("Favorites")))
        s.Favorites = BoundFavorites(*favorites, s.LeftOut.Favorites);
    reg.CloseKey();
    if (auto pages = LoadInputPages(reg, s.LeftOut.InputPages))
        s.InputPages = std::move(pages);
    LoadPresets(reg, s.Presets, s.LeftOut.FileNamePresets);
}

void TSettingsStore::Save(const TMainSettings& s)
{
    TRegistry reg;
    if (!reg.OpenKey(KeyPath(), true))
        return;
    reg.WriteString(QStringLiteral("FirstDir"), s.FirstDir);
    reg.WriteInteger(QStringLiteral("FTWidth"), s.FolderBarWidth);
    reg.WriteBool(QStringLiteral("FTVisible"), s.FolderBarVisible);
    reg.WriteBool(QStringLiteral("SearchVisible"), s.SearchVisible);
    reg.WriteInteger(QStringLiteral("ID3Pos"), static_cast<int>(s.InputPanel));
    if (s.WindowPlacement)
        reg.WriteBinaryData(QStringLiteral("Window"), *s.WindowPlacement);
    SaveRecord(reg, s.Record);
    reg.WriteInteger(QStringLiteral("Sort"), s.SortColumn);
    reg.WriteInteger(QStringLiteral("SortierenRichtung"), s.SortDirection);
    reg.WriteBool(QStringLiteral("ChildFolders"), s.ChildFolders);
    reg.WriteBool(QStringLiteral("GKFilename"), s.CaseConversionRenames);
    reg.WriteString(QStringLiteral("Language"), s.Record.Language);
    reg.WriteString(QStringLiteral("LanguageFile"), s.Record.LanguageFile);
    reg.WriteString(QStringLiteral("Buttons"), JoinLayoutCodes(s.ToolbarCodes.value_or(TStringArray())));
    reg.WriteString(QStringLiteral("Cols"), JoinLayoutCodes(s.ColumnCodes.value_or(TStringArray())));
    if (s.ColumnWidths.isEmpty())
        reg.DeleteValue(QStringLiteral("ColsW"));
    else
        reg.WriteBinaryData(QStringLiteral("ColsW"), WidthsToBytes(s.ColumnWidths));
    SaveHistory(reg, "CH", s.CopyHistory);
    SaveHistory(reg, "MH", s.MoveHistory);
    reg.WriteString(QStringLiteral("Favorites"), s.Favorites);
    reg.CloseKey();
    SaveInputPages(reg, s.InputPages);
    SavePresets(reg, s.Presets);
    reg.Flush();
}

void TSettingsStore::Reset()
{
    TRegistry reg;
    if (!reg.OpenKey(KeyPath(), false))
        return;
    for (const QString& name : reg.GetValueNames())
        reg.DeleteValue(name);
    const QStringList subkeys = reg.GetKeyNames();
    for (const QString& name : subkeys)
        reg.DeleteKey(SubKey(name));
    reg.CloseKey();
    reg.Flush();
}
