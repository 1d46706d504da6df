// The two built-in language files as the program carries them: byte format,
// banners, the keys both hold and the escapes of every text. Which keys the
// program looks up, and their placeholders, is LanguageKeysTest's.

#include "localisation/LanguageLoader.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

struct TLanguageSource {
    QByteArray Bytes;
    QList<QByteArray> Lines;         // each still ended by its CR
    QList<QByteArray> Banners;       // "#####" groups and "*****" sections
    QList<QByteArray> Keys, Values;  // every key line after the header, in file order
    int InventoryKeys = 0;           // the keys before the group of added texts
};

TLanguageSource Load(const char* name)
{
    TLanguageSource source;
    source.Bytes = ReadBuiltInLanguage(QString::fromLatin1(name)).value_or(QByteArray());
    source.Lines = source.Bytes.chopped(1).split('\n');
    bool added = false;
    for (const QByteArray& line : source.Lines) {
        const QByteArray text = line.chopped(1);
        const qsizetype equals = text.indexOf('=');
        if (text.startsWith("#####") || text.startsWith("*****")) {
            source.Banners << text;
            added = added || text.startsWith("##### AddedTexts ");
        } else if (equals >= 0 && !source.Banners.isEmpty()) {
            source.Keys << text.left(equals);
            source.Values << text.mid(equals + 1);
            source.InventoryKeys += added ? 0 : 1;
        }
    }
    return source;
}

class LanguageFileInventoryTest : public ::testing::Test {
protected:
    const TLanguageSource English = Load("ENGLISH");
    const TLanguageSource German = Load("GERMAN");
};

TEST_F(LanguageFileInventoryTest, EveryLineIsWindows1252EndedByCrLf)
{
    // Control characters other than the line ends, and the bytes that
    // Windows-1252 leaves undefined.
    static const QRegularExpression stray(QStringLiteral("[\\x00-\\x1f\\x7f\\x81\\x8d\\x8f\\x90\\x9d]"));
    for (const TLanguageSource* source : {&English, &German}) {
        ASSERT_TRUE(source->Bytes.endsWith("\r\n"));
        for (const QByteArray& line : source->Lines) {
            EXPECT_TRUE(line.endsWith('\r') && !QString::fromLatin1(line.chopped(1)).contains(stray))
                << "stray line end, control character or undefined byte in: " << line.constData();
        }
    }
    // Umlauts are single Windows-1252 bytes, not UTF-8 sequences.
    EXPECT_TRUE(German.Bytes.contains("\r\nClose=Schlie\xDF" "en\r\n"));
}

TEST_F(LanguageFileInventoryTest, BannersAreEightyCharactersAndAddedTextsFollowTheInventory)
{
    // Five fill characters, a blank, the name, a blank, fill to column 80.
    static const QRegularExpression banner(QStringLiteral("^(#|\\*)\\1{4} \\S.*\\S \\1+$"));
    for (const TLanguageSource* source : {&English, &German}) {
        for (const QByteArray& line : source->Banners)
            EXPECT_TRUE(line.size() == 80 && QString::fromLatin1(line).contains(banner)) << line.constData();
        // The inventory's 667 keys and "ErrorUndoFileMissing".
        EXPECT_EQ(source->InventoryKeys, 668);
    }
    // Texts this program added follow the inventory under one group, in
    // sections of their own that both files share.
    const auto added = [](const TLanguageSource& source) {
        const qsizetype group = source.Banners.indexOf(QByteArray("##### AddedTexts ").leftJustified(80, '#'));
        return group < 0 ? QList<QByteArray>() : source.Banners.mid(group);
    };
    ASSERT_FALSE(added(English).isEmpty());
    EXPECT_EQ(added(English), added(German));
    for (const QByteArray& line : added(English).mid(1))
        EXPECT_TRUE(line.startsWith('*')) << line.constData();
}

TEST_F(LanguageFileInventoryTest, BothFilesHoldTheSameKeysEachWithATextOfKnownEscapes)
{
    // The escapes the lookup understands: "\n" and "\\" only, so that a
    // single backslash meant literally is never swallowed.
    static const QRegularExpression unknownEscape(QStringLiteral("\\\\([^n\\\\]|$)"));
    EXPECT_EQ(German.Keys, English.Keys);
    QSet<QString> seen;
    for (qsizetype i = 0; i < English.Keys.size(); ++i) {
        const QString key = QString::fromLatin1(English.Keys[i]);
        EXPECT_FALSE(seen.contains(key.toLower())) << "duplicate key (lookups ignore case): " << key.toStdString();
        seen.insert(key.toLower());
        EXPECT_FALSE(key.startsWith(QLatin1Char('%'))) << key.toStdString();
        for (const TLanguageSource* source : {&English, &German}) {
            QString value = QString::fromLatin1(source->Values.value(i));
            EXPECT_FALSE(value.isEmpty()) << key.toStdString();
            EXPECT_FALSE(value.replace(QStringLiteral("\\\\"), QString()).contains(unknownEscape)) << key.toStdString();
        }
    }
}

}
