#pragma once

#include "localisation/MultiLanguage.h"

#include <gtest/gtest.h>

// Puts a few English texts in place of the chosen language for one test and
// restores the language object afterwards.
class EnglishTextsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = LangStrings.CurrentLangStrings();
        LangStrings.SetCurrentLangStrings(TLanguageLines::FromLines({
            QStringLiteral("[Files]"),
            QStringLiteral("FilenameTemplateStandard=Standard"),
            QStringLiteral("PageGeneralTitle=General"),
            QStringLiteral("PageAdditionalTitle=Additional"),
            QStringLiteral("X=Single letter key"),
        }));
    }
    void TearDown() override { LangStrings.SetCurrentLangStrings(m_saved); }

private:
    TLanguageLines m_saved;
};
