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

// Answers modal dialogs through a handler; a box or a beep fails the test.
class TTestPrompt : public TRecordingPrompt {
public:
    explicit TTestPrompt(std::function<int(QDialog&)> onModal) { OnModal = std::move(onModal); }
    ~TTestPrompt() override
    {
        EXPECT_EQ(Errors + Informations + Questions + Asked + Choices, QStringList()) << "unexpected box";
        EXPECT_EQ(Beeps, 0) << "unexpected beep";
    }
};
