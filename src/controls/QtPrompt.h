#pragma once

#include "platform/Prompt.h"

// The prompt of the running program: Qt message boxes, input dialogs and file
// dialogs. Texts are shown as plain text, never as rich text; captions become
// window titles without accelerator marks and dots (PlainCaption). A start
// screen still up is closed before anything is shown.
class TQtPrompt : public TPrompt {
public:
    void Beep() override;
    void Error(QWidget* parent, const QString& text) override;
    void ErrorWithDetails(QWidget* parent, const QString& text, const QString& details) override;
    void Information(QWidget* parent, const QString& text) override;
    bool Question(QWidget* parent, const QString& text) override;
    TPromptButton Ask(QWidget* parent, TPromptIcon icon, const QString& text, TPromptButtons buttons) override;
    TPromptChoice Choose(QWidget* parent, TPromptIcon icon, const QString& text, const QStringList& answers,
                         int cancelAnswer, const QString& forAllText) override;
    std::optional<QString> Input(QWidget* parent, const QString& caption, const QString& label,
                                 const QString& value) override;
    std::optional<QString> OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) override;
    std::optional<QString> SaveFile(QWidget* parent, const QString& caption, const QString& path,
                                    const QString& filter) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    int RunModal(QDialog& dialog) override;
};
