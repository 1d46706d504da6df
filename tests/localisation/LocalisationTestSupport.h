#pragma once

#include "localisation/LanguageLines.h"
#include "platform/Prompt.h"

#include <QByteArray>
#include <QStringList>

#include <functional>

// The bytes of a language file made of lines, each ended by CR LF, in
// Windows-1252.
QByteArray LanguageFileBytes(const QStringList& lines);
// Writes bytes to path; false on failure.
bool WriteFile(const QString& path, const QByteArray& bytes);

// Keeps the language object, the language folders and the user's locale as
// they were before a test, and puts them back afterwards.
class TLanguageStateGuard {
public:
    TLanguageStateGuard();
    ~TLanguageStateGuard();
    TLanguageStateGuard(const TLanguageStateGuard&) = delete;
    TLanguageStateGuard& operator=(const TLanguageStateGuard&) = delete;

private:
    TLanguageLines m_custom;
    TLanguageLines m_current;
};

// Answers modal dialogs through a handler; any other prompt fails the test.
class TTestPrompt : public TPrompt {
public:
    using TModalHandler = std::function<int(QDialog&)>;

    explicit TTestPrompt(TModalHandler onModal);
    ~TTestPrompt() override;

    int ModalCount() const { return m_modalCount; }

    void Beep() override;
    void Error(QWidget* parent, const QString& text) override;
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

private:
    TModalHandler m_onModal;
    TPrompt* m_previous = nullptr;
    int m_modalCount = 0;
};
