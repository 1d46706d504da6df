#pragma once

class QWidget;

// The input panel's part in the main window's edit cycle: the frame inputs on
// their pages, their commit and the display of the edited entries. The panel
// is installed into the main window (TFQuillon::SetInputPanel); until one is
// installed, the list is shown read-only and nothing is ever written.
class TInputPanel {
public:
    virtual ~TInputPanel() = default;

    // The widget placed in the input panel's place of the window.
    virtual QWidget* Widget() = 0;
    // Applies the modified inputs to the edited entries and writes every
    // changed entry (with the retry question for failures).
    virtual void CommitEdits() = 0;
    // Shows the edited entries: file information and frame inputs.
    virtual void ShowSelection() = 0;
    // Inputs accept edits (true) or not; off while a folder is loading.
    virtual void SetInputsEnabled(bool enabled) = 0;
};
