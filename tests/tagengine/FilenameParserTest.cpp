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
    parser.SetFilenameConstruct(QStringLiteral("%a%%%t"));
    ASSERT_EQ(parser.GetConstructCount(), 1);
    EXPECT_EQ(parser.GetConstruct(0).FrameIDs, (QStringList{QStringLiteral("TPE1"), QStringLiteral("TIT2")}));
    EXPECT_EQ(parser.GetConstruct(0).Separators, (QStringList{QString(), QStringLiteral("%"), QString()}));

    parser.SetFilenameConstruct(QStringLiteral("%X%T%"));
    EXPECT_EQ(parser.GetConstruct(0).FrameIDs, QStringList{QStringLiteral("TIT2")});
    EXPECT_EQ(parser.GetConstruct(0).GetSeparatorCount(), 2);

    parser.SetFilenameConstruct(QStringLiteral("\\\\%B\\%N %T"));
    EXPECT_EQ(parser.FilenameConstruct(), QStringLiteral("%B\\%N %T"));
    ASSERT_EQ(parser.GetConstructCount(), 2);
    EXPECT_EQ(parser.GetConstruct(0).FrameIDs, (QStringList{QStringLiteral("TRCK"), QStringLiteral("TIT2")}));
    EXPECT_EQ(parser.GetConstruct(1).FrameIDs, QStringList{QStringLiteral("TALB")});
}

TEST(FilenameParser, BuildsNamesFromTags)
{
    TID3FilenameParser parser;
    TEintragdaten entry;
    bool allEmpty = true;

    parser.SetFilenameConstruct(QStringLiteral("%A - %T"));
    SetText(entry, QStringLiteral("TPE1"), QStringLiteral("Artist X"));
    SetText(entry, QStringLiteral("TIT2"), QStringLiteral("Why? Because: Ωmega/日本"));
    EXPECT_EQ(parser.BuildFileName(&entry, allEmpty), QStringLiteral("Artist X - Why Because Ωmega日本"));
    EXPECT_FALSE(allEmpty);

    parser.SetFilenameConstruct(QStringLiteral("%N. %T"));
    SetText(entry, QStringLiteral("TRCK"), QStringLiteral("3/12"));
    SetText(entry, QStringLiteral("TIT2"), QStringLiteral("Title"));
    EXPECT_EQ(parser.BuildFileName(&entry, allEmpty), QStringLiteral("03. Title"));

    TEintragdaten empty;
    EXPECT_EQ(parser.BuildFileName(&empty, allEmpty), QStringLiteral("00."));
    EXPECT_TRUE(allEmpty);
    SetText(empty, QStringLiteral("TIT2"), QStringLiteral("Only title"));
    EXPECT_EQ(parser.BuildFileName(&empty, allEmpty), QStringLiteral("00. Only title"));
    EXPECT_FALSE(allEmpty);

    // Control characters from a tag never reach a file name.
    SetText(empty, QStringLiteral("TIT2"), QStringLiteral("a\tb\nc"));
    EXPECT_EQ(parser.BuildFileName(&empty, allEmpty), QStringLiteral("00. abc"));
}

TEST(FilenameParser, ParsesNamesAndFoldersBack)
{
    TID3FilenameParser parser;
    parser.SetFilenameConstruct(QStringLiteral("%A - %T"));
    parser.ParseFileName(QStringLiteral("/music/Artist - Title.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TPE1"), QStringLiteral("Artist")},
                                      {QStringLiteral("TIT2"), QStringLiteral("Title")}}));

    parser.ParseFileName(QStringLiteral("/music/Title.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TPE1"), QStringLiteral("Title")}}));

    // Dots in the name and non-Latin letters; only the extension goes.
    parser.ParseFileName(QStringLiteral("/music/Ж.Б. - Песня v1.2.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TPE1"), QStringLiteral("Ж.Б.")},
                                      {QStringLiteral("TIT2"), QStringLiteral("Песня v1.2")}}));

    parser.SetFilenameConstruct(QStringLiteral("%B\\%N %T"));
    parser.ParseFileName(QStringLiteral("/home/u/Music/Album/01 Song.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TRCK"), QStringLiteral("01")},
                                      {QStringLiteral("TIT2"), QStringLiteral("Song")},
                                      {QStringLiteral("TALB"), QStringLiteral("Album")}}));
}

TEST(FilenameParser, SeparatorsTakeTheirFirstOccurrence)
{
    TID3FilenameParser parser;
    // A separator that occurs again in the name: the first one splits, the
    // rest stays in the last field.
    parser.SetFilenameConstruct(QStringLiteral("%A - %T"));
    parser.ParseFileName(QStringLiteral("/m/AC - DC - Live - Part 2.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TPE1"), QStringLiteral("AC")},
                                      {QStringLiteral("TIT2"), QStringLiteral("DC - Live - Part 2")}}));

    // Separators made of dots, literal text around the fields, values with
    // dots of their own, and an extension in capitals.
    parser.SetFilenameConstruct(QStringLiteral("[%N]. %T (%A)"));
    parser.ParseFileName(QStringLiteral("/m/[07]. Mr. Jones (St. Vincent).MP3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TRCK"), QStringLiteral("07")},
                                      {QStringLiteral("TIT2"), QStringLiteral("Mr. Jones")},
                                      {QStringLiteral("TPE1"), QStringLiteral("St. Vincent")}}));

    // Values are neither trimmed nor unpadded.
    parser.SetFilenameConstruct(QStringLiteral("%N-%T"));
    parser.ParseFileName(QStringLiteral("/m/003- spaced .mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TRCK"), QStringLiteral("003")},
                                      {QStringLiteral("TIT2"), QStringLiteral(" spaced ")}}));

    // Two fields without a separator between them: the first gets nothing.
    parser.SetFilenameConstruct(QStringLiteral("%A%T"));
    parser.ParseFileName(QStringLiteral("/m/Everything.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TPE1"), QString()},
                                      {QStringLiteral("TIT2"), QStringLiteral("Everything")}}));

    // A name without the literal end: the field takes the rest.
    parser.SetFilenameConstruct(QStringLiteral("%T (%A)"));
    parser.ParseFileName(QStringLiteral("/m/Song (Artist.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TIT2"), QStringLiteral("Song")},
                                      {QStringLiteral("TPE1"), QStringLiteral("Artist")}}));
}

TEST(FilenameParser, FolderLevelsWithNonLatinNamesAndShortPaths)
{
    TID3FilenameParser parser;
    parser.SetFilenameConstruct(QStringLiteral("%A\\%B\\%N - %T"));
    ASSERT_EQ(parser.GetConstructCount(), 3);
    parser.ParseFileName(QStringLiteral("/home/ü/Künstler/Альбом Vol. 2/07 - 東京.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TRCK"), QStringLiteral("07")},
                                      {QStringLiteral("TIT2"), QStringLiteral("東京")},
                                      {QStringLiteral("TALB"), QStringLiteral("Альбом Vol. 2")},
                                      {QStringLiteral("TPE1"), QStringLiteral("Künstler")}}));

    // A path with fewer folders than the pattern has levels.
    parser.ParseFileName(QStringLiteral("/07 - Song.mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TRCK"), QStringLiteral("07")},
                                      {QStringLiteral("TIT2"), QStringLiteral("Song")}}));

    // Only an extension: nothing to read, and the previous results are gone.
    parser.ParseFileName(QStringLiteral(".mp3"));
    EXPECT_EQ(parser.GetFrameContentCount(), 0);
}

TEST(FilenameParser, BuiltNamesParseBackAndNumbersArePadded)
{
    TID3FilenameParser parser;
    TEintragdaten entry;
    bool allEmpty = true;
    SetText(entry, QStringLiteral("TPE1"), QStringLiteral("Sigur Rós"));
    SetText(entry, QStringLiteral("TIT2"), QStringLiteral("Ágætis byrjun v1.0"));
    SetText(entry, QStringLiteral("TRCK"), QStringLiteral("4/10"));
    SetText(entry, QStringLiteral("TPOS"), QStringLiteral("2"));

    parser.NumberDecimals = 3;
    parser.SetFilenameConstruct(QStringLiteral("%P.%N - %A - %T"));
    const QString name = parser.BuildFileName(&entry, allEmpty);
    EXPECT_EQ(name, QStringLiteral("002.004 - Sigur Rós - Ágætis byrjun v1.0"));
    EXPECT_FALSE(allEmpty);
    parser.ParseFileName(QStringLiteral("/m/") + name + QStringLiteral(".mp3"));
    EXPECT_EQ(Results(parser), (Pairs{{QStringLiteral("TPOS"), QStringLiteral("002")},
                                      {QStringLiteral("TRCK"), QStringLiteral("004")},
                                      {QStringLiteral("TPE1"), QStringLiteral("Sigur Rós")},
                                      {QStringLiteral("TIT2"), QStringLiteral("Ágætis byrjun v1.0")}}));

    // A field whose every character is illegal in a name leaves an empty
    // name, though the field was filled.
    TEintragdaten illegal;
    SetText(illegal, QStringLiteral("TIT2"), QStringLiteral("?*/\\:|"));
    parser.SetFilenameConstruct(QStringLiteral("%T"));
    EXPECT_EQ(parser.BuildFileName(&illegal, allEmpty), QString());
    EXPECT_FALSE(allEmpty);

    // Without an entry the frame names stand in (the settings' preview).
    parser.SetFilenameConstruct(QStringLiteral("%T"));
    EXPECT_FALSE(parser.BuildFileName(nullptr, allEmpty).isEmpty());
}
