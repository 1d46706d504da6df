#include "LocalisationTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "localisation/LocaleLanguage.h"
#include "localisation/MultiLanguage.h"

#include <QFile>

#include <gtest/gtest.h>

QByteArray LanguageFileBytes(const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

QString WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()) << path.toStdString();
    return path;
}

TLanguageStateGuard::TLanguageStateGuard()
    : m_custom(LangStrings.CustomLangStrings()), m_current(LangStrings.CurrentLangStrings())
{
}

TLanguageStateGuard::~TLanguageStateGuard()
{
    LangStrings.SetCustomLangStrings(m_custom);
    LangStrings.SetCurrentLangStrings(m_current);
    SetLanguageFolders(std::nullopt);
    SetUserLocale(std::nullopt);
}
