#include "localisation/LanguageLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Language files are looked for beside the program and, since the program's
// folder is read-only once installed, in the user's data folder.
TEST(LanguageFoldersTest, ProgramFolderAndUserDataFolder)
{
    SetLanguageFolders(std::nullopt);
    const QStringList folders = LanguageFolders();
    EXPECT_EQ(folders.value(0), QDir::cleanPath(QCoreApplication::applicationDirPath()));
    EXPECT_TRUE(folders.contains(QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))));

    SetLanguageFolders(QStringList{QStringLiteral("/somewhere")});
    EXPECT_EQ(LanguageFolders(), QStringList{QStringLiteral("/somewhere")});
    SetLanguageFolders(std::nullopt);
    EXPECT_EQ(LanguageFolders(), folders);
}
