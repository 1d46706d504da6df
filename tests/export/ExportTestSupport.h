#pragma once

#include "support/RecordingPrompt.h"
#include "tagengine/Eintragdaten.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <utility>
#include <vector>

// The export's questions answered Yes unless a test says otherwise.
class TExportPrompt : public TRecordingPrompt {
public:
    TExportPrompt()
    {
        OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
    }
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
