#pragma once

#include <QString>

#include <functional>

// The program's help, shown by the handler the main window installs, so that
// a dialog opens its own page without knowing the main window. The page is a
// help page's file name ("export.htm"); an empty name is the start page.
using THelpHandler = std::function<void(const QString& page)>;

// Shows the page through the newest handler still installed; without one
// only a beep (and false).
bool ShowHelpPage(const QString& page);

// Installs a handler for the lifetime of a scope (a window, a test). Scopes
// may end in any order: each takes only its own handler away, so a handler
// of a scope that ended is never called.
class TScopedHelpHandler {
public:
    explicit TScopedHelpHandler(THelpHandler handler);
    ~TScopedHelpHandler();
    TScopedHelpHandler(const TScopedHelpHandler&) = delete;
    TScopedHelpHandler& operator=(const TScopedHelpHandler&) = delete;
};
