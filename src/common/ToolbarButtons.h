#pragma once

#include "common/LayoutArrays.h"

#include <QString>

#include <array>

// How a tool button shows: an ordinary button or one with a drop-down arrow.
enum TToolButtonStyle : quint8 { tbsButton = 0, tbsDropDown = 2 };

// One button the tool bar can show.
struct TSymbolleistenButton {
    // Four characters: the button's code in the stored tool-bar layout.
    const char* Code;
    // Object name of the main window's action that the button runs and whose
    // caption and icon it shows.
    const char* ActionName;
    TToolButtonStyle Style;
    // Object name of the main window's pop-up menu shown as the button's
    // drop-down menu; empty for none.
    const char* PopupName;
};

constexpr int ToolbarButtonCount = 29;

extern const std::array<TSymbolleistenButton, ToolbarButtonCount> ToolbarButtons;

// The code of a separator in a tool-bar layout; it has no row.
inline constexpr char ToolbarSeparatorCode[] = "----";

// The first row with this code (case-sensitive), nullptr when none (also for
// the separator code).
const TSymbolleistenButton* FindToolbarButton(const QString& code);
// The first row that runs the action of this object name, nullptr when none.
const TSymbolleistenButton* FindToolbarButtonByAction(const QString& actionName);

// The tool bar when none is stored and after a reset in the tool-bar dialog
// (21 codes, separators included).
const TStringArray& DefaultToolbar();
