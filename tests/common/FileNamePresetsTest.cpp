#include "EnglishTexts.h"

#include "common/FileNamePresets.h"

namespace {

struct Entry {
    QString Name;
    QString Pattern;
};

Entry GetEntry(const TFileNamePresets& presets, int index, bool translate)
{
    Entry entry;
    EXPECT_TRUE(presets.Get(index, entry.Name, translate, entry.Pattern));
    return entry;
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

    EXPECT_EQ(GetEntry(presets, 0, true).Name, QStringLiteral("Standard"));
    // Two characters or fewer are never a key, even when the language has it.
    EXPECT_EQ(GetEntry(presets, 1, true).Name, QStringLiteral("%"));
    EXPECT_EQ(GetEntry(presets, 2, true).Name, QStringLiteral("%X"));
    EXPECT_EQ(GetEntry(presets, 3, true).Name, QStringLiteral("My pattern"));
    // A user's name that begins with "%" but names no text stays readable.
    EXPECT_EQ(GetEntry(presets, 4, true).Name, QStringLiteral("%NoSuchKey"));
    EXPECT_EQ(GetEntry(presets, 0, false).Name, QStringLiteral("%FilenameTemplateStandard"));
}

TEST_F(FileNamePresetsTest, SetDefaultsAndAssignReplaceEverything)
{
    TFileNamePresets presets;
    presets.Add(QStringLiteral("Mine"), QStringLiteral("%T"));
    presets.SetDefaults();
    ASSERT_EQ(presets.Count(), FileNamePresetDefaultCount);
    EXPECT_EQ(presets.Patterns().size(), FileNamePresetDefaultCount);
    EXPECT_EQ(GetEntry(presets, 1, true).Name, QStringLiteral("Standard with Track Number"));

    TFileNamePresets other;
    other.Add(QStringLiteral("Only"), QStringLiteral("%B"));
    presets.Assign(other);
    EXPECT_EQ(presets, other);
    presets.Assign(presets);
    EXPECT_EQ(presets, other);
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
    EXPECT_EQ(presets.Names(), QStringList({"a", "c"}));
    EXPECT_EQ(presets.Patterns(), QStringList({"1", "3"}));

    // Outside the list nothing is read and the outputs stay as they were.
    QString name = QStringLiteral("unchanged");
    QString pattern = name;
    EXPECT_FALSE(presets.Get(2, name, true, pattern));
    EXPECT_FALSE(presets.Get(-1, name, false, pattern));
    EXPECT_EQ(name + pattern, QStringLiteral("unchangedunchanged"));

}
