#include "LocalisationTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "localisation/LanguageSignature.h"
#include "localisation/LocaleLanguage.h"
#include "localisation/ui/FormLanguageSelector.h"
#include "localisation/ui/FormLanguageWarning.h"
#include "localisation/ui/FrameLanguage.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString SettingsKey = QStringLiteral("Software\\Orvane\\Quillon\\3");

class LanguageDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(m_settings.isValid());
        SetLanguageFolders(QStringList{m_folder.path()});
        TRegistry::SetStorageFolder(m_settings.path());
        LoadBaseLanguage();
        LoadLanguage("ENGLISH", "");
    }

    void TearDown() override { TRegistry::SetStorageFolder(QString()); }

    QString WriteLanguage(const QString& name, const QString& version)
    {
        return WriteFile(m_folder.filePath(name),
                         LanguageFileBytes({"Language=Klingon", "LanguageInt=Klingon", "PrimaryLanguageID=99",
                                            "SubLanguageID=1", "Author=Worf", "QLNVersion=" + version, "Sig="}));
    }

    static QString LabelText(const QWidget& parent, const char* name)
    {
        const auto* label = parent.findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<no label>");
    }

    TLanguageStateGuard m_guard;
    QTemporaryDir m_folder;
    QTemporaryDir m_settings;
};

TEST_F(LanguageDialogsTest, FrameDescribesTheLanguageAndShowsFilesOfOtherVersions)
{
    const QString path = WriteLanguage("klingon.qlnlang", "3.13");
    SetUserLocale(QLocale("en_US"));
    TFrameLanguage frame;
    EXPECT_EQ(frame.LanguagesCount(), 3);
    EXPECT_EQ(frame.LanguageResName(), "ENGLISH");
    EXPECT_EQ(LabelText(frame, "LLangStatus"), Lang("LanguageStateOK"));

    frame.SelectLanguageEntry(path, true);
    EXPECT_EQ(frame.LanguageFileName(), path);
    EXPECT_TRUE(frame.LanguageResName().isEmpty());
    EXPECT_EQ(LabelText(frame, "LLangStatus"), "Note: Language file for other program version (3.13)");
    EXPECT_EQ(LabelText(frame, "LLangAutor"), "Worf");
    EXPECT_EQ(LabelText(frame, "LLangOrt"), path);

    auto* box = frame.findChild<QListWidget*>("BoxLanguages");
    ASSERT_TRUE(box);
    box->clearSelection();
    EXPECT_TRUE(frame.LanguageResName().isEmpty());
    EXPECT_TRUE(frame.LanguageFileName().isEmpty());

    // A mouse click describes the clicked language (the current row moves
    // before the row is selected).
    frame.resize(300, 400);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const int englishRow = box->row(box->findItems("English", Qt::MatchExactly).value(0));
    ASSERT_GE(englishRow, 0);
    const QRect rect = box->visualItemRect(box->item(englishRow));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(frame.LanguageResName(), "ENGLISH");
    EXPECT_EQ(LabelText(frame, "LLangSprache"), "English (English)");
}

TEST_F(LanguageDialogsTest, ABrokenPlaceholderOfAListedLanguageGivesWayToTheLanguageInUse)
{
    const QString path = WriteFile(m_folder.filePath("broken.qlnlang"),
                                   LanguageFileBytes({"Language=Broken", "QLNVersion=3.13",
                                                      "LanguageStateOld=Other version: %9:s", "Author=Someone"}));
    TFrameLanguage frame;
    frame.SelectLanguageEntry(path, true);
    EXPECT_EQ(LabelText(frame, "LLangStatus"), "Note: Language file for other program version (3.13)");
    EXPECT_EQ(LabelText(frame, "LLangAutor"), "Someone");
}

TEST_F(LanguageDialogsTest, SelectorRunsThroughThePromptAndKeepsTheChoice)
{
    SetUserLocale(QLocale("de_DE"));
    {
        SetLanguageFolders(QStringList{});
        TTestPrompt prompt([](QDialog&) { return int(QDialog::Accepted); });
        TFormLanguageSelector selector;
        EXPECT_TRUE(selector.Execute()); // two built-in languages: the user is asked
        EXPECT_EQ(prompt.Modals, 1);
        EXPECT_EQ(selector.GetLanguageResName(), "GERMAN");
    }
    {
        TTestPrompt prompt([](QDialog& dialog) {
            auto* frame = dialog.findChild<TFrameLanguage*>();
            frame->SelectLanguageEntry("ENGLISH", false);
            return int(QDialog::Rejected);
        });
        TFormLanguageSelector selector;
        EXPECT_FALSE(selector.Execute());
        EXPECT_EQ(selector.GetLanguageResName(), "ENGLISH");
    }
}

TEST_F(LanguageDialogsTest, DetailsSpeakTheSelectedLanguageAndTheRestartNoteShowsOnlyForAChange)
{
    // First start: no language loaded yet, the texts are the German base's.
    LangStrings.SetCurrentLangStrings(TLanguageLines());
    SetUserLocale(QLocale("en_US"));
    const auto captions = [](const QWidget& parent) {
        QStringList texts;
        for (const QLabel* label : parent.findChildren<QLabel*>())
            if (label->isVisibleTo(&parent) && !label->text().isEmpty())
                texts << label->text();
        return texts;
    };
    TTestPrompt prompt([&](QDialog& dialog) {
        auto* frame = dialog.findChild<TFrameLanguage*>();
        EXPECT_EQ(frame->LanguageResName(), "ENGLISH");
        const QStringList english = captions(*frame);
        for (const char* text : {"Status:", "up-to-date", "Source:", "internal language file"})
            EXPECT_TRUE(english.contains(QString::fromLatin1(text))) << text << ": " << english.join('|').toStdString();
        // The window opens in the chosen language at once: no restart.
        EXPECT_FALSE(LabelText(*frame, "LRestartInfo").isEmpty());
        EXPECT_FALSE(frame->findChild<QLabel*>("LRestartInfo")->isVisibleTo(frame));
        frame->SelectLanguageEntry("GERMAN", false);
        EXPECT_TRUE(captions(*frame).contains("interne Sprachdatei"));
        return int(QDialog::Accepted);
    });
    TFormLanguageSelector selector;
    EXPECT_TRUE(selector.Execute());
    EXPECT_EQ(prompt.Modals, 1);

    // Later, in the settings, picking another language than the one in use
    // needs a restart, said in the language picked.
    TFrameLanguage settingsFrame;
    settingsFrame.SetRestartNoteOnChange(true);
    settingsFrame.SelectLanguageEntry("GERMAN", false);
    const QLabel* note = settingsFrame.findChild<QLabel*>("LRestartInfo");
    EXPECT_FALSE(note->isVisibleTo(&settingsFrame));
    auto* box = settingsFrame.findChild<QListWidget*>("BoxLanguages");
    box->setCurrentItem(box->findItems("English", Qt::MatchExactly).value(0));
    EXPECT_TRUE(note->isVisibleTo(&settingsFrame));
    EXPECT_EQ(note->text(), "Note: You must restart the program in order to use the selected language.");
    box->setCurrentItem(box->findItems("Deutsch", Qt::MatchExactly).value(0));
    EXPECT_FALSE(note->isVisibleTo(&settingsFrame));
}

TEST_F(LanguageDialogsTest, WarningDismissalIsRememberedPerFileContent)
{
    bool tick = false;
    TTestPrompt prompt([&tick](QDialog& dialog) {
        auto* box = dialog.findChild<QCheckBox*>("boxDontShowAgain");
        EXPECT_TRUE(box);
        if (box)
            box->setChecked(tick);
        return int(QDialog::Accepted);
    });
    const QString digest = QStringLiteral("0123456789abcdef0123456789abcdef");

    EXPECT_TRUE(ShowLanguageWarning(digest, nullptr)); // OK without the tick: asked again
    EXPECT_TRUE(ShowLanguageWarning(digest, nullptr));
    tick = true;
    EXPECT_TRUE(ShowLanguageWarning(digest, nullptr));
    EXPECT_FALSE(ShowLanguageWarning(digest, nullptr));
    EXPECT_EQ(prompt.Modals, 3);

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(SettingsKey, false));
    EXPECT_EQ(registry.ReadString("LngWarning").value_or(QString()), MD5Print(MD5String(digest.toLatin1())));

    // An edited file has a new digest: the warning comes back, and only the
    // last dismissal is remembered.
    EXPECT_TRUE(ShowLanguageWarning(QStringLiteral("fedcba9876543210fedcba9876543210"), nullptr));
    EXPECT_TRUE(ShowLanguageWarning(digest, nullptr));
}

}
