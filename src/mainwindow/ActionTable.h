#pragma once

#include <array>

// Whether an action may run while a folder is being loaded. Everything that
// changes entries, the list's selection or the files waits for the load
// (Idle); navigation, panels, help and closing stay available (Always).
enum class TActionUse { Always, Idle };

// One action of the main window. Captions and hints are "%" + language key
// and are translated with the window.
struct TActionDef {
    const char* Name; // object name, as the tool-bar table and the menus name it
    const char* Caption;
    const char* Hint;     // nullptr for none
    const char* Shortcut; // portable key text, "; " between several keys; nullptr for none
    TActionUse Use;
    int Tag;            // step of next/previous, precision of the date actions
    bool Checkable;
};

constexpr int MainWindowActionCount = 94;
extern const std::array<TActionDef, MainWindowActionCount> MainWindowActions;
