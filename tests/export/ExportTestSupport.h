#pragma once

#include "platform/Prompt.h"
#include "tagengine/Eintragdaten.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <utility>
#include <vector>

// Answers every prompt of an export: the overwrite question by OnAsk (Yes
// when unset), everything shown recorded.
class TExportPrompt : public TPrompt {
public:
    TExportPrompt() : m_previous(SetPrompt(this)) {}
    ~TExportPrompt() override { SetPrompt(m_previous); }

    std::function<TPromptButton(const QString& text, TPromptButtons buttons)> OnAsk;
    QStringList Asked;
    QStringList Errors;
    QStringList Informations;

    void Beep() override {}
    void Error(QWidget*, const QString& text) override { Errors << text; }
    void Information(QWidget*, const QString& text) override { Informations << text; }
    bool Question(QWidget*, const QString&) override { return false; }
    TPromptButton Ask(QWidget*, TPromptIcon, const QString& text, TPromptButtons buttons) override
    {
        Asked << text;
        return OnAsk ? OnAsk(text, buttons) : pbYes;
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

using TFrameTexts = std::vector<std::pair<QString, QString>>;

// A file entry in memory: folder (ending in "/"), name, text frames, length.
TEintragdatenPtr MakeEntry(const QString& folder, const QString& name, const TFrameTexts& frames,
                           qint64 lengthMs = 0);

// Loads the built-in English language (column captions in English).
void LoadEnglish();

// Runs a program to its end (at most timeoutMs); exit code -1 when it could
// not run or did not finish.
struct TProgramRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};
TProgramRun RunProgram(const QString& program, const QStringList& arguments, int timeoutMs = 60000);

// /usr/bin/python3 running a script with arguments.
TProgramRun RunPython(const char* script, const QStringList& arguments);

QByteArray ReadAll(const QString& path);
