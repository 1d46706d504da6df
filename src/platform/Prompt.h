#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QWidget;

// The picture a message box shows.
enum class TPromptIcon { Information, Question, Warning, Error };

// The standard buttons a message box may offer, combined as flags.
enum TPromptButton : unsigned {
    pbNone = 0,
    pbOk = 1u << 0,
    pbYes = 1u << 1,
    pbNo = 1u << 2,
    pbCancel = 1u << 3,
    pbAll = 1u << 4, // "Yes to all"
};
using TPromptButtons = unsigned;

// What the user chose among named answers: the answer's index (the cancel
// answer when the box was closed) and whether the check box "for all that
// follow" was ticked.
struct TPromptChoice {
    int Answer = -1;
    bool ForAll = false;
};

// Every message box, input query, file or folder choice and modal dialog of
// the program goes through the prompt installed here, so that tests can answer
// them instead of a person. The program installs a widget implementation at
// start; tests install their own.
class TPrompt {
public:
    virtual ~TPrompt() = default;

    virtual void Beep() = 0;
    virtual void Error(QWidget* parent, const QString& text) = 0;
    // An error box showing text, with details (the whole of a text too long
    // or too raw to show) kept out of sight until the user asks for them.
    // Without details the same as Error.
    virtual void ErrorWithDetails(QWidget* parent, const QString& text, const QString& /*details*/)
    {
        Error(parent, text);
    }
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // Yes = true, No = false.
    virtual bool Question(QWidget* parent, const QString& text) = 0;
    // A message box with this picture and these buttons; returns the button
    // pressed. Closing the box answers Cancel when offered, else No, else Ok.
    virtual TPromptButton Ask(QWidget* parent, TPromptIcon icon, const QString& text, TPromptButtons buttons) = 0;
    // A message box whose buttons carry the answers' texts, in order, with a
    // check box of forAllText below them when that is not empty. Closing the
    // box chooses cancelAnswer.
    virtual TPromptChoice Choose(QWidget* parent, TPromptIcon icon, const QString& text, const QStringList& answers,
                                 int cancelAnswer, const QString& forAllText) = 0;
    // Nothing when the user cancelled.
    virtual std::optional<QString> Input(QWidget* parent, const QString& caption, const QString& label,
                                         const QString& value) = 0;
    virtual std::optional<QString> OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                                            const QString& filter) = 0;
    // A file name to save to; never asks about replacing an existing file
    // (the caller does).
    virtual std::optional<QString> SaveFile(QWidget* parent, const QString& caption, const QString& path,
                                            const QString& filter) = 0;
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& caption, const QString& folder) = 0;
    // Runs a modal dialog and returns its result code (QDialog::Accepted or
    // Rejected). The dialog is the caller's; read its values after this.
    virtual int RunModal(QDialog& dialog) = 0;
};

// The button Ask answers when the box is closed without a choice.
TPromptButton EscapeButton(TPromptButtons buttons);

// The installed prompt; never null once the program or a test installed one.
TPrompt* CurrentPrompt();
// Installs a prompt (not owned) and returns the previous one.
TPrompt* SetPrompt(TPrompt* prompt);
