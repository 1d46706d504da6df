#pragma once

#include "common/Settings.h"
#include "common/FileNamePresets.h"
#include "common/InputPages.h"
#include "common/LayoutArrays.h"
#include "common/SettingsBounds.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Where the position of the input panel is stored ("ID3Pos").
enum class TInputPanelPos { Hidden = 0, Top = 1, Bottom = 2 };

// Everything the main window keeps under its settings key. Loading fills in
// only what is stored, so a field keeps the value it had before (the
// defaults); optional fields say whether anything was stored at all.
struct TMainSettings {
    TEinstellungen Record;

    QString FirstDir;
    int FolderBarWidth = 201; // 20..500
    bool FolderBarVisible = true;
    bool SearchVisible = false;
    TInputPanelPos InputPanel = TInputPanelPos::Bottom;
    std::optional<QByteArray> WindowPlacement; // 44 bytes when stored

    int SortColumn = 0;
    int SortDirection = 1; // +1 ascending, -1 descending
    bool ChildFolders = false;
    bool CaseConversionRenames = false;

    std::optional<TStringArray> ToolbarCodes; // "Buttons"
    std::optional<TStringArray> ColumnCodes;  // "Cols"
    TWordArray ColumnWidths;                  // "ColsW"; may be shorter than the codes

    QStringList CopyHistory; // at most 5 are kept
    QStringList MoveHistory;
    QString Favorites; // comma text of the favourites

    std::optional<TEingabeSeiten> InputPages; // subkey "Felder"
    TFileNamePresets Presets;                 // subkey "DNVorgaben"; empty when none stored

    // What loading left out of the lists above (SettingsBounds.h); never
    // saved.
    TLeftOutSettings LeftOut;
};

// Reads and writes TMainSettings under "Software\Orvane\Quillon\3" through
// the settings store (TRegistry).
class TSettingsStore {
public:
    static const QString& KeyPath();

    // Reads every stored value into settings; absent values leave its fields
    // as they are. Lists are read as far as the windows can show them (the
    // bounds of SettingsBounds.h); settings.LeftOut counts what was not.
    static void Load(TMainSettings& settings);
    // Writes every value and the subkeys "Felder" and "DNVorgaben".
    static void Save(const TMainSettings& settings);
    // Deletes every value and every subkey of the key (of other windows too).
    static void Reset();

    static constexpr int HistorySize = 5;
};
