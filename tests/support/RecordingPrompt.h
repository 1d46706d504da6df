#pragma once

// A prompt for tests: installed for its lifetime, it answers every request
// without a window and records what was shown. Questions are answered No,
// boxes with chosen buttons and named answers as if closed, modal dialogs
// rejected, input queries and file and folder choices cancelled, unless a
// test sets the handler of that kind.

#include "platform/Prompt.h"

#include <QStringList>

#include <functional>

class TRecordingPrompt : public TPrompt {
public:
    TRecordingPrompt() : m_previous(SetPrompt(this)) {}
    ~TRecordingPrompt() override { SetPrompt(m_previous); }
    TRecordingPrompt(const TRecordingPrompt&) = delete;
    TRecordingPrompt& operator=(const TRecordingPrompt&) = delete;

    std::function<bool(const QString& text)> OnQuestion;
    std::function<TPromptButton(const QString& text, TPromptButtons buttons)> OnAsk;
    std::function<TPromptChoice(const QString& text, const QStringList& answers)> OnChoose;
    std::function<int(QDialog&)> OnModal;

    QStringList Questions;
    QStringList Asked;
    QStringList Choices;
    QStringList ForAllCaptions; // of the choices, in order
    QStringList Errors;
    QStringList ErrorDetails; // of the errors that had details, in order
    QStringList Informations;
    int Beeps = 0;
    int Modals = 0;

    void Beep() override { ++Beeps; }
    void Error(QWidget*, const QString& text) override { Errors << text; }
    void ErrorWithDetails(QWidget*, const QString& text, const QString& details) override
    {
        Errors << text;
        ErrorDetails << details;
    }
    void Information(QWidget*, const QString& text) override { Informations << text; }
    bool Question(QWidget*, const QString& text) override
    {
        Questions << text;
        return OnQuestion && OnQuestion(text);
    }
    TPromptButton Ask(QWidget*, TPromptIcon, const QString& text, TPromptButtons buttons) override
    {
        Asked << text;
        return OnAsk ? OnAsk(text, buttons) : EscapeButton(buttons);
    }
    TPromptChoice Choose(QWidget*, TPromptIcon, const QString& text, const QStringList& answers, int cancelAnswer,
                         const QString& forAll) override
    {
        Choices << text;
        ForAllCaptions << forAll;
        return OnChoose ? OnChoose(text, answers) : TPromptChoice{cancelAnswer, false};
    }
    std::optional<QString> Input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog& dialog) override
    {
        ++Modals;
        return OnModal ? OnModal(dialog) : 0; // QDialog::Rejected (QtCore only here)
    }

private:
    TPrompt* m_previous;
};
