#pragma once

class QWidget;

// Closes the main window when the program is told to end (a kill, or the end
// of a session without a session manager), as the Exit command would: open
// dialogs and boxes go first, as Esc would close them, then the window, which
// writes the edits still in its inputs; the settings are saved as at any end.
// A second such signal ends the program at once.
void CloseOnTermination(QWidget& window);
