#include "EnglishTexts.h"

#include "common/FileNamePresets.h"

namespace {

QString NameOf(const TFileNamePresets& presets, int index, bool translate = true)
{
    QString name, pattern;
    EXPECT_TRUE(presets.Get(index, name, translate, pattern));
    return name;
}

} // namespace

using FileNamePresetsTest = EnglishTextsTest;

TEST_F(FileNamePresetsTest, GetTranslatesOnlyBuiltInNames)
{
    TFileNamePresets presets;
    presets.Add(QStringLiteral("%FilenameTemplateStandard"), QStringLiteral("%A - %T"));
    presets.Add(QStringLiteral("%"), QStringLiteral("p1"));
    presets.Add(QStringLiteral("%X"), QStringLiteral("p2"));
    presets.Add(QStringLiteral("My pattern"), QStringLiteral("%N %T"));
    presets.Add(QStringLiteral("%NoSuchKey"), QStringLiteral("p3"));

    EXPECT_EQ(NameOf(presets, 0), QStringLiteral("Standard"));
    // Two characters or fewer are never a key, even when the language has it.
    EXPECT_EQ(NameOf(presets, 1), QStringLiteral("%"));
    EXPECT_EQ(NameOf(presets, 2), QStringLiteral("%X"));
    EXPECT_EQ(NameOf(presets, 3), QStringLiteral("My pattern"));
    // A user's name that begins with "%" but names no text stays readable.
    EXPECT_EQ(NameOf(presets, 4), QStringLiteral("%NoSuchKey"));
    EXPECT_EQ(NameOf(presets, 0, false), QStringLiteral("%FilenameTemplateStandard"));
}

TEST_F(FileNamePresetsTest, DeleteKeepsNamesAndPatternsInStep)
{
    TFileNamePresets presets;
    presets.Add(QStringLiteral("a"), QStringLiteral("1"));
    presets.Add(QStringLiteral("b"), QStringLiteral("2"));
    presets.Add(QStringLiteral("c"), QStringLiteral("3"));
    EXPECT_FALSE(presets.Delete(3));
    EXPECT_FALSE(presets.Delete(-1));
    EXPECT_TRUE(presets.Delete(1));
    EXPECT_EQ(presets.Names() + presets.Patterns(), QStringList({"a", "c", "1", "3"}));

    // Outside the list nothing is read and the outputs stay as they were.
    QString name = QStringLiteral("unchanged");
    QString pattern = name;
    EXPECT_FALSE(presets.Get(2, name, true, pattern));
    EXPECT_EQ(name + pattern, QStringLiteral("unchangedunchanged"));
}
