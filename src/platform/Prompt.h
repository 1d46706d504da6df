#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

// Every message box, input query, file or folder choice and modal dialog of
// the program goes through the prompt installed here, so that tests can answer
// them instead of a person. The program installs a widget implementation at
// start; tests install their own.
class TPrompt {
public:
    virtual ~TPrompt() = default;

    virtual void Beep() = 0;
    virtual void Error(QWidget* parent, const QString& text) = 0;
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // Yes = true, No = false.
    virtual bool Question(QWidget* parent, const QString& text) = 0;
    // Nothing when the user cancelled.
    virtual std::optional<QString> Input(QWidget* parent, const QString& caption, const QString& label,
                                         const QString& value) = 0;
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                                            const QString& filter) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& caption, const QString& path,
                                            const QString& filter) = 0;
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& caption, const QString& folder) = 0;
    // Runs a modal dialog and returns its result code (QDialog::Accepted or
    // Rejected). The dialog is the caller's; read its values after this.
    virtual int RunModal(QDialog& dialog) = 0;
};

// The installed prompt; never null once the program or a test installed one.
TPrompt* CurrentPrompt();
// Installs a prompt (not owned) and returns the previous one.
TPrompt* SetPrompt(TPrompt* prompt);
