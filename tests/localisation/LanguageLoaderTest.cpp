#include "LocalisationTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "localisation/LanguageSignature.h"
#include "support/FifoWriter.h"
#include "tagengine/EngineText.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class LanguageLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        LoadBaseLanguage();
    }

    QString WriteLanguage(const QString& name, const QByteArray& bytes) { return WriteFile(m_dir.filePath(name), bytes); }

    TLanguageStateGuard m_guard;
    QTemporaryDir m_dir;
};

TEST_F(LanguageLoaderTest, ResourceNameWinsOverFileName)
{
    // The base language is German in both slots.
    EXPECT_EQ(LangStrings.CustomLangStrings().Value("Language"), "Deutsch");
    EXPECT_EQ(LangStrings.CurrentLangStrings().Value("Language"), "Deutsch");

    const QString file = WriteLanguage("x.qlnlang", LanguageFileBytes({"Language=X", "QLNVersion=3.14", "OK=xx"}));

    EXPECT_EQ(&LoadLanguage("english", file), &LangStrings); // resource names ignore case
    EXPECT_EQ(LangStrings.CurrentLangStrings().Value("Language"), "English");
    EXPECT_EQ(Lang("Cancel"), "Cancel");

    LoadLanguage("NOSUCHLANGUAGE", file); // a stale resource name falls through to the file
    EXPECT_EQ(Lang("OK"), "xx");
    EXPECT_EQ(Lang("Cancel"), "Abbrechen"); // missing keys come from the German base

    LoadLanguage("", "");
    EXPECT_FALSE(LangStrings.IsLanguageLoaded());
    EXPECT_EQ(Lang("Cancel"), "Abbrechen");
}

TEST_F(LanguageLoaderTest, WhatIsNoReadableLanguageFileLeavesTheLanguageEmpty)
{
    const auto loadsNothing = [](const QString& path) {
        LoadLanguage("ENGLISH", "");
        LoadLanguage("", path);
        return !LangStrings.IsLanguageLoaded();
    };
    EXPECT_TRUE(loadsNothing(m_dir.filePath("missing.qlnlang")));
    EXPECT_TRUE(loadsNothing(WriteLanguage("noversion.qlnlang", LanguageFileBytes({"Language=X", "OK=x"}))));
    // Exists but cannot be read (a folder of that name): not loaded, nothing thrown.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("folder.qlnlang"));
    EXPECT_TRUE(loadsNothing(m_dir.filePath("folder.qlnlang")));
    {
        // A FIFO is no language file: refused at once, never waited on (a
        // writer stands by, so a reader that waited would load its text).
        TFifoWriter fifo(m_dir.filePath("fifo.qlnlang"), LanguageFileBytes({"Language=X", "QLNVersion=3.14"}));
        ASSERT_TRUE(fifo.Made());
        EXPECT_TRUE(loadsNothing(m_dir.filePath("fifo.qlnlang")));
    }
    // Too large to be a language file.
    QByteArray huge = LanguageFileBytes({"Language=X", "QLNVersion=3.14"});
    huge += QByteArray(MaxLanguageFileSize, 'x');
    EXPECT_TRUE(loadsNothing(WriteLanguage("huge.qlnlang", huge)));
}

TEST_F(LanguageLoaderTest, SignatureOfTheLanguageInUse)
{
    // (The built-in files are signed: LanguageSignatureTest.)
    QString digest;
    // Selector cancelled: the German base is what is shown, and it is signed.
    LoadLanguage("", "");
    EXPECT_TRUE(CheckActiveLanguageSignature(digest));

    const QString file = WriteLanguage("x.qlnlang", LanguageFileBytes({"Language=X", "QLNVersion=3.14", "Sig=00"}));
    LoadLanguage("", file);
    EXPECT_FALSE(CheckActiveLanguageSignature(digest));
    EXPECT_EQ(digest, LanguageDigest(LangStrings.CurrentLangStrings()));
}

TEST_F(LanguageLoaderTest, EngineTextsComeFromTheLanguage)
{
    InstallEngineTextLookup();
    LoadLanguage("ENGLISH", "");
    EXPECT_EQ(EngineText("ChannelMono", "fallback"), Lang("ChannelMono"));
    EXPECT_EQ(EngineText("NoSuchKey", "fallback"), "fallback");
    SetEngineTextLookup(nullptr);
}

// Language files are looked for beside the program and, since the program's
// folder is read-only once installed, in the user's data folder.
TEST(LanguageFoldersTest, ProgramFolderAndUserDataFolder)
{
    SetLanguageFolders(std::nullopt);
    const QStringList folders = LanguageFolders();
    EXPECT_EQ(folders.value(0), QDir::cleanPath(QCoreApplication::applicationDirPath()));
    EXPECT_TRUE(folders.contains(QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))));
}

}
