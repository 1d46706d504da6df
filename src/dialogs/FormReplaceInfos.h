#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

// Asks what to replace in the selected files: the text to search for, its
// replacement, whether the case must match and in which fields (the file name
// among them). Keeps the five most recent texts of each kind, the case option
// and the chosen fields under the settings subkey "Replace"; the last texts
// come back at the next use during the run.
class TFormReplaceInfos : public QDialog {
    Q_OBJECT
public:
    explicit TFormReplaceInfos(QWidget* parent = nullptr);

    // Shows the dialog. On OK: the texts, ignoreCase (true when "Match case"
    // was unchecked), the IDs of the checked fields in row order; the choices
    // are stored; true. Cancel changes nothing.
    bool Execute(QString& search, bool& ignoreCase, QStringList& fieldIds, QString& replacement);

    QComboBox* SearchBox() const { return cbxSearch; }
    QComboBox* ReplaceBox() const { return cbxReplace; }
    QCheckBox* CaseBox() const { return cbxCase; }
    QListWidget* FieldList() const { return clbFrames; }
    QPushButton* OkButton() const { return butOK; }

private:
    void LoadSettings();
    void SaveSettings() const;
    void CheckRows(const std::function<bool(const QString&)>& checked);
    QStringList CheckedIds() const;
    void UpdateOkButton();

    QComboBox* cbxSearch = nullptr;
    QComboBox* cbxReplace = nullptr;
    QCheckBox* cbxCase = nullptr;
    QListWidget* clbFrames = nullptr;
    QPushButton* butAll = nullptr;
    QPushButton* butNothing = nullptr;
    QPushButton* butOK = nullptr;
};
