#pragma once

#include "localisation/LanguageLines.h"
#include "support/RecordingPrompt.h"

#include <QByteArray>
#include <QStringList>

#include <functional>

#include <gtest/gtest.h>

// The bytes of a language file made of lines, each ended by CR LF, in
// Windows-1252.
QByteArray LanguageFileBytes(const QStringList& lines);
// Writes bytes to path, a failure failing the test; answers the path.
QString WriteFile(const QString& path, const QByteArray& bytes);

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
class TTestPrompt : public TRecordingPrompt {
public:
    explicit TTestPrompt(std::function<int(QDialog&)> onModal) { OnModal = std::move(onModal); }
    ~TTestPrompt() override
    {
        EXPECT_EQ(Errors + Informations + Questions + Asked + Choices, QStringList()) << "unexpected box";
        EXPECT_EQ(Beeps, 0) << "unexpected beep";
    }
    int ModalCount() const { return Modals; }

    using TAnswer = std::optional<QString>;
    TAnswer Input(QWidget*, const QString&, const QString&, const QString&) override { return Unexpected(); }
    TAnswer OpenFile(QWidget*, const QString&, const QString&, const QString&) override { return Unexpected(); }
    TAnswer SaveFile(QWidget*, const QString&, const QString&, const QString&) override { return Unexpected(); }
    TAnswer ChooseFolder(QWidget*, const QString&, const QString&) override { return Unexpected(); }

private:
    static TAnswer Unexpected()
    {
        ADD_FAILURE() << "unexpected input or file choice";
        return std::nullopt;
    }
};
