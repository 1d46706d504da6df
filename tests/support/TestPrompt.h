#pragma once

// A prompt for tests without windows: installed for its lifetime, it records
// what is shown and answers the overwrite-style questions through OnAsk
// (closing the box when unset); file and folder choices are cancelled.

#include "platform/Prompt.h"

#include <QStringList>

#include <functional>

class TTestPrompt : public TPrompt {
public:
    TTestPrompt() : m_previous(SetPrompt(this)) {}
    ~TTestPrompt() override { SetPrompt(m_previous); }
    TTestPrompt(const TTestPrompt&) = delete;
    TTestPrompt& operator=(const TTestPrompt&) = delete;

    std::function<TPromptButton(const QString& text, TPromptButtons buttons)> OnAsk;
    QStringList Asked;
    QStringList Errors;
    QStringList Informations;
    int Beeps = 0;

    void Beep() override { ++Beeps; }
    void Error(QWidget*, const QString& text) override { Errors << text; }
    void Information(QWidget*, const QString& text) override { Informations << text; }
    bool Question(QWidget*, const QString& text) override
    {
        Asked << text;
        return false;
    }
    TPromptButton Ask(QWidget*, TPromptIcon, const QString& text, TPromptButtons buttons) override
    {
        Asked << text;
        return OnAsk ? OnAsk(text, buttons) : EscapeButton(buttons);
    }
    TPromptChoice Choose(QWidget*, TPromptIcon, const QString&, const QStringList&, int cancel, const QString&) override
    {
        return {cancel, false};
    }
    std::optional<QString> Input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    int RunModal(QDialog&) override { return 0; }

private:
    TPrompt* m_previous;
};
