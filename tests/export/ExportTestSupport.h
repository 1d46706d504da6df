#pragma once

#include "support/RecordingPrompt.h"
#include "support/RunProgram.h"
#include "tagengine/Eintragdaten.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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

QByteArray ReadAll(const QString& path);
