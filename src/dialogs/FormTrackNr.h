#pragma once

#include "commands/TrackNumbers.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class TUpDownEdit;

// Asks how the selected files are to be numbered: consecutively from a start
// value or from the digits of their names, and whether a total follows the
// number ("/" and the highest number, or a fixed value). Keeps the choices
// under the settings subkey "AutoTrack".
class TFormTrackNr : public QDialog {
    Q_OBJECT
public:
    explicit TFormTrackNr(QWidget* parent = nullptr);

    // Shows the dialog. On OK the choices are stored and given in settings
    // (a list without a chosen row leaves its field as the caller set it);
    // true. Cancel returns false.
    bool Execute(TTrackNrEinstellungen& settings);

    QComboBox* NumberingBox() const { return BoxNrTyp; }
    TUpDownEdit* StartEdit() const { return EStartValue; }
    QComboBox* TotalBox() const { return BoxSumTyp; }
    TUpDownEdit* TotalEdit() const { return ESumValue; }
    QPushButton* HelpButton() const { return Button1; }

private:
    void LoadSettings();
    void SaveSettings() const;
    // Each number edit is enabled only with the row that uses it.
    void UpdateEdits();

    QComboBox* BoxNrTyp = nullptr;
    TUpDownEdit* EStartValue = nullptr;
    QComboBox* BoxSumTyp = nullptr;
    TUpDownEdit* ESumValue = nullptr;
    QPushButton* Button1 = nullptr;
};
