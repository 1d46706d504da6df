#pragma once

#include <QString>

#include <functional>

// The program's help, shown by the handler the main window installs, so that
// a dialog opens its own page without knowing the main window. The page is a
// help page's file name ("export.htm"); an empty name is the start page.
using THelpHandler = std::function<void(const QString& page)>;

// Shows the page through the installed handler; without one only a beep
// (and false).
bool ShowHelpPage(const QString& page);
// Installs a handler and returns the previous one.
THelpHandler SetHelpHandler(THelpHandler handler);

// Installs a handler for the lifetime of a scope (a window, a test) and gives
// the previous one back at its end.
class TScopedHelpHandler {
public:
    explicit TScopedHelpHandler(THelpHandler handler) : m_previous(SetHelpHandler(std::move(handler))) {}
    ~TScopedHelpHandler() { SetHelpHandler(std::move(m_previous)); }
    TScopedHelpHandler(const TScopedHelpHandler&) = delete;
    TScopedHelpHandler& operator=(const TScopedHelpHandler&) = delete;

private:
    THelpHandler m_previous;
};
