#pragma once

#include "common/LayoutArrays.h"

#include <QString>

#include <optional>

// The export dialog's choices, kept under the subkey "Export" of the
// program's settings key. Loading applies only the values that are stored;
// saving writes all seventeen.
struct TExportSettings {
    std::optional<TStringArray> HTMLColumns; // own HTML columns; none stored: the list's
    TBoolArray HTMLColumnsLink;              // one flag per own HTML column
    bool HTMLNoOwnCol = false;               // own columns chosen on the HTML page
    bool HTMLRelDir = false;
    bool HTMLRelLinks = false;
    bool HTMLGrouping = false;
    bool HTMLManyFiles = false;
    QString HTMLGroupField = QStringLiteral("TPE1"); // empty: none
    QString HTMLVLastFile;                           // the own template's name or path
    bool HTMLVRelDir = false;
    bool HTMLVRelLinks = false;
    bool PlaylistAll = true;
    bool PlaylistAddInfos = true;
    bool PlaylistRelLinks = false;
    std::optional<TStringArray> ExcelColumns; // own spreadsheet columns
    bool ExcelNoOwnCol = false;
    int LastExport = 0; // the page last shown, from 0

    static const QString& KeyPath();
    // Reads what is stored into settings; absent values (or a missing key)
    // leave its fields as they are. Column texts shorter than one ID are
    // ignored.
    static void Load(TExportSettings& settings);
    static void Save(const TExportSettings& settings);
};
