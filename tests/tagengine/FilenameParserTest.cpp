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

TEST(FilenameParser, PatternsSplitIntoLevelsFieldsAndSeparators)
{
    TID3FilenameParser parser;
    parser.SetFilenameConstruct("%a%%%t");
    ASSERT_EQ(parser.GetConstructCount(), 1);
    EXPECT_EQ(parser.GetConstruct(0).FrameIDs, (QStringList{"TPE1", "TIT2"}));
    EXPECT_EQ(parser.GetConstruct(0).Separators, (QStringList{QString(), "%", QString()}));

    parser.SetFilenameConstruct("%X%T%");
    EXPECT_EQ(parser.GetConstruct(0).FrameIDs, QStringList{"TIT2"});
    EXPECT_EQ(parser.GetConstruct(0).GetSeparatorCount(), 2);

    parser.SetFilenameConstruct("\\\\%B\\%N %T");
    EXPECT_EQ(parser.FilenameConstruct(), "%B\\%N %T");
    ASSERT_EQ(parser.GetConstructCount(), 2);
    EXPECT_EQ(parser.GetConstruct(0).FrameIDs, (QStringList{"TRCK", "TIT2"}));
    EXPECT_EQ(parser.GetConstruct(1).FrameIDs, QStringList{"TALB"});
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
    SetText(entry, "TRCK", "3/12");
    SetText(entry, "TIT2", "Title");
    EXPECT_EQ(parser.BuildFileName(&entry, allEmpty), "03. Title");

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

TEST(FilenameParser, ParsesNamesAndFoldersBack)
{
    TID3FilenameParser parser;
    parser.SetFilenameConstruct("%A - %T");
    parser.ParseFileName("/music/Artist - Title.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TPE1", "Artist"}, {"TIT2", "Title"}}));

    parser.ParseFileName("/music/Title.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TPE1", "Title"}}));

    // Dots in the name and non-Latin letters; only the extension goes.
    parser.ParseFileName("/music/Ж.Б. - Песня v1.2.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TPE1", "Ж.Б."}, {"TIT2", "Песня v1.2"}}));

    parser.SetFilenameConstruct("%B\\%N %T");
    parser.ParseFileName("/home/u/Music/Album/01 Song.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TRCK", "01"}, {"TIT2", "Song"}, {"TALB", "Album"}}));
}

TEST(FilenameParser, SeparatorsTakeTheirFirstOccurrence)
{
    TID3FilenameParser parser;
    // A separator that occurs again in the name: the first one splits, the
    // rest stays in the last field.
    parser.SetFilenameConstruct("%A - %T");
    parser.ParseFileName("/m/AC - DC - Live - Part 2.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TPE1", "AC"}, {"TIT2", "DC - Live - Part 2"}}));

    // Separators made of dots, literal text around the fields, values with
    // dots of their own, and an extension in capitals.
    parser.SetFilenameConstruct("[%N]. %T (%A)");
    parser.ParseFileName("/m/[07]. Mr. Jones (St. Vincent).MP3");
    EXPECT_EQ(Results(parser), (Pairs{{"TRCK", "07"}, {"TIT2", "Mr. Jones"}, {"TPE1", "St. Vincent"}}));

    // Values are neither trimmed nor unpadded.
    parser.SetFilenameConstruct("%N-%T");
    parser.ParseFileName("/m/003- spaced .mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TRCK", "003"}, {"TIT2", " spaced "}}));

    // Two fields without a separator between them: the first gets nothing.
    parser.SetFilenameConstruct("%A%T");
    parser.ParseFileName("/m/Everything.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TPE1", QString()}, {"TIT2", "Everything"}}));

    // A name without the literal end: the field takes the rest.
    parser.SetFilenameConstruct("%T (%A)");
    parser.ParseFileName("/m/Song (Artist.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TIT2", "Song"}, {"TPE1", "Artist"}}));
}

TEST(FilenameParser, FolderLevelsWithNonLatinNamesAndShortPaths)
{
    TID3FilenameParser parser;
    parser.SetFilenameConstruct("%A\\%B\\%N - %T");
    ASSERT_EQ(parser.GetConstructCount(), 3);
    parser.ParseFileName("/home/ü/Künstler/Альбом Vol. 2/07 - 東京.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TRCK", "07"}, {"TIT2", "東京"}, {"TALB", "Альбом Vol. 2"},
                                      {"TPE1", "Künstler"}}));

    // A path with fewer folders than the pattern has levels.
    parser.ParseFileName("/07 - Song.mp3");
    EXPECT_EQ(Results(parser), (Pairs{{"TRCK", "07"}, {"TIT2", "Song"}}));

    // Only an extension: nothing to read, and the previous results are gone.
    parser.ParseFileName(".mp3");
    EXPECT_EQ(parser.GetFrameContentCount(), 0);
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
