#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3FilenameParser.h"

#include <gtest/gtest.h>

namespace {

void SetText(TEintragdaten& entry, const QString& id, const QString& text)
{
    TID3Frame frame(id);
    SetTextFrame(frame, QString(), QStringList{text});
    entry.SetFrame(id, &frame, 0);
}

QList<QPair<QString, QString>> Results(const TID3FilenameParser& parser)
{
    QList<QPair<QString, QString>> list;
    for (int i = 0; i < parser.GetFrameContentCount(); ++i)
        list << qMakePair(parser.GetFrameContent(i).FrameID, parser.GetFrameContent(i).Value);
    return list;
}

using Pairs = QList<QPair<QString, QString>>;

}

TEST(FilenameParser, BuildsNamesFromTags)
{
    TID3FilenameParser parser;
    TEintragdaten entry;
    bool allEmpty = true;

    parser.SetFilenameConstruct("%A - %T");
    SetText(entry, "TPE1", "Artist X");
    SetText(entry, "TIT2", "Why? Because: Ωmega/日本");
    EXPECT_EQ(parser.BuildFileName(&entry, allEmpty), "Artist X - Why Because Ωmega日本");
    EXPECT_FALSE(allEmpty);

    parser.SetFilenameConstruct("%N. %T");
    TEintragdaten empty;
    EXPECT_EQ(parser.BuildFileName(&empty, allEmpty), "00.");
    EXPECT_TRUE(allEmpty);
    SetText(empty, "TIT2", "Only title");
    EXPECT_EQ(parser.BuildFileName(&empty, allEmpty), "00. Only title");
    EXPECT_FALSE(allEmpty);

    // Control characters from a tag never reach a file name.
    SetText(empty, "TIT2", "a\tb\nc");
    EXPECT_EQ(parser.BuildFileName(&empty, allEmpty), "00. abc");
}

TEST(FilenameParser, NamesFromTagsAreNeverHiddenNorShownReordered)
{
    TID3FilenameParser parser;
    bool allEmpty = true;
    const auto build = [&](const char* pattern, const QString& artist, const QString& title) {
        TEintragdaten entry;
        SetText(entry, "TPE1", artist);
        SetText(entry, "TIT2", title);
        parser.SetFilenameConstruct(QString::fromLatin1(pattern));
        return parser.BuildFileName(&entry, allEmpty);
    };
    EXPECT_EQ(build("%A - %T", ".Dotband", "Song"), "Dotband - Song");
    EXPECT_EQ(build("%T", "", ".hidden"), "hidden");
    EXPECT_EQ(build("%A - %T", "..", ""), "-");
    EXPECT_EQ(build("%T", "", "/../x"), "x");
    EXPECT_EQ(build(".%T", "", "pattern dot"), "pattern dot");
    EXPECT_EQ(build("%T", "", "..."), "");
    EXPECT_FALSE(allEmpty);
    // "abc" U+202E "gnp.exe.mp3" would show as "abc3pm.exe.png".
    EXPECT_EQ(build("%T", "", QStringLiteral("abc\u202Egnp.exe")), "abcgnp.exe");
    EXPECT_EQ(build("%A %T", QStringLiteral("\u2067x\u2069"), QStringLiteral("\u202Ay\u202C")), "x y");
}

TEST(FilenameParser, ParsesNamesAndFoldersBack)
{
    const struct {
        const char* Name;
        const char* Pattern;
        const char* Path;
        Pairs Expected;
    } cases[] = {
        {"no separator in the name", "%A - %T", "/music/Title.mp3", {{"TPE1", "Title"}}},
        {"non-Latin folder levels", "%A\\%B\\%N - %T", "/home/ü/Künstler/Альбом Vol. 2/07 - 東京.mp3",
         {{"TRCK", "07"}, {"TIT2", "東京"}, {"TALB", "Альбом Vol. 2"}, {"TPE1", "Künstler"}}},
        {"fewer folders than levels", "%A\\%B\\%N - %T", "/07 - Song.mp3", {{"TRCK", "07"}, {"TIT2", "Song"}}},
        {"only an extension: nothing, the previous results gone", "%A\\%B\\%N - %T", ".mp3", {}},
        // A separator that occurs again in the name: the first one splits,
        // the rest stays in the last field.
        {"repeated separator", "%A - %T", "/m/AC - DC - Live - Part 2.mp3",
         {{"TPE1", "AC"}, {"TIT2", "DC - Live - Part 2"}}},
        {"dotted separators, literal text, dotted values, capital extension", "[%N]. %T (%A)",
         "/m/[07]. Mr. Jones (St. Vincent).MP3", {{"TRCK", "07"}, {"TIT2", "Mr. Jones"}, {"TPE1", "St. Vincent"}}},
        {"values neither trimmed nor unpadded", "%N-%T", "/m/003- spaced .mp3",
         {{"TRCK", "003"}, {"TIT2", " spaced "}}},
        {"no separator between fields: the first gets nothing", "%A%T", "/m/Everything.mp3",
         {{"TPE1", QString()}, {"TIT2", "Everything"}}},
        {"no literal end: the field takes the rest", "%T (%A)", "/m/Song (Artist.mp3",
         {{"TIT2", "Song"}, {"TPE1", "Artist"}}},
    };
    TID3FilenameParser parser;
    for (const auto& c : cases) {
        parser.SetFilenameConstruct(QString::fromUtf8(c.Pattern));
        parser.ParseFileName(QString::fromUtf8(c.Path));
        EXPECT_EQ(Results(parser), c.Expected) << c.Name;
    }
}

TEST(FilenameParser, BuiltNamesParseBackAndNumbersArePadded)
{
    TID3FilenameParser parser;
    TEintragdaten entry;
    bool allEmpty = true;
    SetText(entry, "TPE1", "Sigur Rós");
    SetText(entry, "TIT2", "Ágætis byrjun v1.0");
    SetText(entry, "TRCK", "4/10");
    SetText(entry, "TPOS", "2");

    parser.NumberDecimals = 3;
    parser.SetFilenameConstruct("%P.%N - %A - %T");
    const QString name = parser.BuildFileName(&entry, allEmpty);
    EXPECT_EQ(name, "002.004 - Sigur Rós - Ágætis byrjun v1.0");
    EXPECT_FALSE(allEmpty);
    parser.ParseFileName("/m/" + name + ".mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TPOS", "002"}, {"TRCK", "004"}, {"TPE1", "Sigur Rós"},
                                      {"TIT2", "Ágætis byrjun v1.0"}}));

    // A field whose every character is illegal in a name leaves an empty
    // name, though the field was filled.
    TEintragdaten illegal;
    SetText(illegal, "TIT2", "?*/\\:|");
    parser.SetFilenameConstruct("%T");
    EXPECT_EQ(parser.BuildFileName(&illegal, allEmpty), QString());
    EXPECT_FALSE(allEmpty);

    // Without an entry the frame names stand in (the settings' preview).
    parser.SetFilenameConstruct("%T");
    EXPECT_FALSE(parser.BuildFileName(nullptr, allEmpty).isEmpty());
}
