#include "localisation/QtTranslations.h"

#include "localisation/LocaleLanguage.h"
#include "localisation/MultiLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {
std::unique_ptr<QTranslator>& Installed()
{
    static std::unique_ptr<QTranslator> translator;
    return translator;
}
}

bool InstallQtTranslations(const QLocale& locale)
{
    if (auto& old = Installed()) {
        QCoreApplication::removeTranslator(old.get());
        old.reset();
    }
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    Installed() = std::move(translator);
    return true;
}

bool InstallQtTranslationsForLoadedLanguage()
{
    const int primary = Lang("PrimaryLanguageID").toInt();
    const int sub = Lang("SubLanguageID").toInt();
    return InstallQtTranslations(LocaleOfWindowsLanguage(primary, sub));
}
