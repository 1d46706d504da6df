#pragma once

// A prompt for the window benchmarks: answers everything without a window
// (No, Cancel, rejected; a choice as told) and prints errors, so that a run
// never waits on a person.

#include "platform/Prompt.h"

#include <QDialog>

#include <optional>

#include <cstdio>

namespace bench {

class TSilentPrompt : public TPrompt {
public:
    TSilentPrompt() : m_previous(SetPrompt(this)) {}
    ~TSilentPrompt() override { SetPrompt(m_previous); }

    void Beep() override {}
    void Error(QWidget*, const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
    void Information(QWidget*, const QString&) override {}
    bool Question(QWidget*, const QString&) override { return false; }
    TPromptButton Ask(QWidget*, TPromptIcon, const QString& text, TPromptButtons buttons) override
    {
        std::fprintf(stderr, "asked: %s\n", qPrintable(text));
        return EscapeButton(buttons);
    }
    TPromptChoice Choose(QWidget*, TPromptIcon, const QString&, const QStringList&, int cancelAnswer,
                         const QString&) override
    {
        return Choice ? *Choice : TPromptChoice{cancelAnswer, false};
    }
    std::optional<QString> Input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog&) override { return QDialog::Rejected; }

    // The answer to every choice; none: cancel.
    std::optional<TPromptChoice> Choice;

private:
    TPrompt* m_previous;
};

}
