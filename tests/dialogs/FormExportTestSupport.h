#pragma once

// The export dialog on a temporary folder: one file to export, the template
// folder below it, and a prompt that answers the file choices.

#include "support/gui/MainWindowTestSupport.h"

#include "dialogs/FormExport.h"
#include "export/ExportSettings.h"
#include "export/TemplateFiles.h"
#include "platform/Registry.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>

// Answers file choices with a path of the test's choosing.
class TExportDialogPrompt : public TRecordingPrompt {
public:
    QString SavePath, OpenPath;
    int SaveQuestions = 0, OpenQuestions = 0;
    std::optional<QString> SaveFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return Answer(SaveQuestions, SavePath);
    }
    std::optional<QString> OpenFile(QWidget*, const QString&, const QString&, const QString&) override
    {
        return Answer(OpenQuestions, OpenPath);
    }
    static std::optional<QString> Answer(int& count, const QString& path)
    {
        ++count;
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }
};

struct TExportFixture {
    TMainWindowEnvironment Env;
    TExportDialogPrompt Prompt; // installed after the environment's, so it answers
    TEintragdatenList Files;
    TStringArray MainColumns{"*FIN", "TIT2"};

    TExportFixture()
    {
        auto entry = std::make_unique<TEintragdaten>();
        entry->Folder = Env.Folder() + QLatin1Char('/');
        entry->FileName = QStringLiteral("a.mp3");
        Files.push_back(std::move(entry));
        SetTemplateFolders(QStringList{Env.PathOf(QStringLiteral("templates"))});
    }
    ~TExportFixture() { SetTemplateFolders(std::nullopt); }

    bool Run(std::function<void(TFormExport&)> act)
    {
        Prompt.OnModal = [act](QDialog& dialog) {
            auto& form = static_cast<TFormExport&>(dialog);
            act(form);
            return form.result();
        };
        TFormExport form;
        return form.Execute(Env.Folder() + QLatin1Char('/'), Files, MainColumns);
    }

    static bool KeyExists() { return TRegistry().KeyExists(TExportSettings::KeyPath()); }
};
