#include "LocalisationTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "localisation/QtTranslations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include <gtest/gtest.h>

TEST(QtTranslations, QtsOwnButtonsFollowTheLanguage)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "Qt's translations are not installed";
    ASSERT_TRUE(InstallQtTranslations(QLocale(QLocale::German, QLocale::Germany)));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));

    // The loaded program language decides.
    const TLanguageStateGuard guard;
    LoadBaseLanguage();
    LoadLanguage("ENGLISH", "");
    EXPECT_FALSE(InstallQtTranslationsForLoadedLanguage());
    LoadLanguage("GERMAN", "");
    EXPECT_TRUE(InstallQtTranslationsForLoadedLanguage());
    EXPECT_FALSE(InstallQtTranslations(QLocale(QLocale::English, QLocale::UnitedStates)));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}
