#pragma once

#include <functional>

class QWidget;

// Runs an event handler and keeps every exception inside it: the failure is
// shown to the user in an error box (the exception's text) and the program
// goes on. Every handler connected to a signal runs through this.
void RunGuarded(QWidget* parent, const std::function<void()>& handler);
