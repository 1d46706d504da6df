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
