#include "common/ColumnCatalogue.h"
#include "common/FileNamePresets.h"
#include "common/InputPages.h"

#include "localisation/LanguageLoader.h"

#include <gtest/gtest.h>

namespace {

// Every language key the tables name, as the language files spell them.
QStringList TableKeys()
{
    QStringList keys;
    for (const TSpalte& column : ColumnCatalogue)
        keys.append(QString::fromLatin1(column.CaptionKey));
    for (const TFileNamePresetsDefaults& preset : FileNamePresetDefaults)
        keys.append(QString::fromLatin1(preset.Name).mid(1));
    for (const char* key : InputPageTitleKeys)
        keys.append(QString::fromLatin1(key));
    for (const char* key : FixedPageTitleKeys)
        keys.append(QString::fromLatin1(key));
    return keys;
}

} // namespace

TEST(BuiltInTextsTest, EveryBuiltInLanguageHasATextForEveryTableKey)
{
    const QStringList names = BuiltInLanguageNames();
    ASSERT_TRUE(names.contains(QStringLiteral("GERMAN"), Qt::CaseInsensitive));
    ASSERT_TRUE(names.contains(QStringLiteral("ENGLISH"), Qt::CaseInsensitive));
    for (const QString& name : names) {
        const std::optional<QByteArray> bytes = ReadBuiltInLanguage(name);
        ASSERT_TRUE(bytes.has_value()) << name.toStdString();
        const TLanguageLines lines = TLanguageLines::FromBytes(*bytes);
        for (const QString& key : TableKeys()) {
            EXPECT_FALSE(lines.Value(key).isEmpty())
                << name.toStdString() << " has no text for " << key.toStdString();
        }
    }
}
