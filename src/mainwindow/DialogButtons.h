#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;

// The row of buttons at the bottom of the small dialogs: a stretch, then OK
// (the default button, accepts) and Cancel (rejects, as Esc does), named for
// the tests and translated with the dialog.
struct TDialogButtons {
    QHBoxLayout* Row = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Cancel = nullptr;
};

TDialogButtons NewOkCancelRow(QDialog& dialog, const char* okName, const char* cancelName);

// A dialog's Help button opens its page of the program's help ("export.htm",
// see ShowHelpPage). The button is not the default button.
void ConnectHelpButton(QPushButton& button, const char* page);
