#include "cddb/CDDBMatching.h"
#include "tagengine/FrameCodecs.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEintragdatenPtr Entry(const QString& name, const QString& trck = QString(), qint64 lengthMs = 0)
{
    auto entry = std::make_unique<TEintragdaten>();
    entry->Folder = QStringLiteral("/music/");
    entry->FileName = name;
    entry->Length = lengthMs;
    entry->Edited = 1;
    if (!trck.isNull())
        SetEntryTextFrame(*entry, QStringLiteral("TRCK"), trck);
    entry->Changed = 0;
    return entry;
}

QString Text(const TEintragdaten& entry, const char* id)
{
    const TID3Frame* frame = FindFrame(entry.Frames, QString::fromLatin1(id));
    return frame ? GetFrameAsText(*frame) : QStringLiteral("<none>");
}

std::unique_ptr<TCDDBCD> Cd(const QString& query, const QString& title, std::initializer_list<const char*> tracks)
{
    auto cd = std::make_unique<TCDDBCD>();
    cd->Query = query;
    cd->Category = QStringLiteral("rock");
    cd->Artist = QStringLiteral("Band");
    cd->Title = title;
    for (const char* track : tracks)
        cd->Tracks.push_back(ParseTrackTitle(QString::fromUtf8(track)));
    return cd;
}

}

TEST(CDDBMatchingTest, TrackNumbersComeFromTheTagElseTheNameAndSortTheRowsWithoutNumbersLast)
{
    EXPECT_EQ(GetTrackNumber(*Entry("x.mp3", "3/12")), 3);
    EXPECT_EQ(GetTrackNumber(*Entry("07 - Song.mp3", "A1")), 7);
    EXPECT_EQ(GetTrackNumber(*Entry("Song.mp3")), -1) << "the 3 of the extension does not count";
    // Digits too large for a number give none, without trying the name.
    EXPECT_EQ(GetTrackNumber(*Entry("03.mp3", "99999999999")), -1);
    EXPECT_EQ(GetTrackNumber(*Entry("3000000000.mp3")), -1);

    // Rows sort by track number, then by name; rows without a number last.
    TEintragdatenList entries;
    entries.push_back(Entry("b.mp3"));
    entries.push_back(Entry("x.mp3", "2"));
    entries.push_back(Entry("A.mp3"));
    entries.push_back(Entry("c.mp3", "1"));
    entries.push_back(Entry("B2.mp3", "2"));
    entries.push_back(Entry("skipped 1.mp3"));
    entries.back()->Edited = 0;
    TCDDBMP3List rows = CollectRows(entries);
    ASSERT_EQ(rows.size(), 5u);
    rows.push_back(PaddingRow(QStringLiteral("q")));
    SortRows(rows);
    QStringList names;
    for (const TCDDBMP3& row : rows)
        names << (row.Entry ? row.Entry->FileName : QStringLiteral("-"));
    EXPECT_EQ(names, QStringList({"c.mp3", "B2.mp3", "x.mp3", "A.mp3", "b.mp3", "-"}));
}

TEST(CDDBMatchingTest, PlayLengthsOfUpTo255MinutesBuildATable)
{
    // The query of a whole CD is the lookup wizard's test; 255 minutes fit the
    // minute byte, more do not.
    TEintragdatenList entries;
    entries.push_back(Entry("long.mp3", "1", 255 * 60000 - 2000 + 59999));
    TCdToc toc;
    ASSERT_TRUE(BuildTocFromLengths(CollectRows(entries), toc));
    EXPECT_EQ(toc.Address(1).M, 255);
    entries.front()->Length += 1;
    EXPECT_FALSE(BuildTocFromLengths(CollectRows(entries), toc));
}

TEST(CDDBMatchingTest, PossibilitiesCountPerQueryAndStartAfreshOnEachMatch)
{
    TCDDBCDList cds;
    for (const char* query : {"q1", "q2", "q1", "q1"})
        cds.push_back(Cd(QString::fromLatin1(query), "Title", {"One", "Two"}));
    TEintragdatenList entries;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        entries.push_back(Entry(name, "5"));
    TCDDBMP3List rows = CollectRows(entries);
    rows[0].Query = rows[2].Query = QStringLiteral("q1");
    rows[1].Query = QStringLiteral("q3");
    rows[1].CdIndex = 1; // left from an earlier search
    MatchPossibilities(rows, cds);
    EXPECT_EQ(rows[0].Possibilities, 3);
    EXPECT_EQ(rows[0].CdIndex, 0);
    EXPECT_EQ(rows[1].CdIndex, -1);
    EXPECT_EQ(PossibilityText(rows[0], cds), QStringLiteral("1/3"));
    EXPECT_EQ(PossibilityText(rows[1], cds), QStringLiteral("?"));

    EXPECT_TRUE(StepPossibility(rows[0], cds, 1));
    EXPECT_EQ(rows[0].CdIndex, 2);
    EXPECT_EQ(PossibilityText(rows[0], cds), QStringLiteral("2/3"));
    EXPECT_FALSE(StepPossibility(rows[1], cds, 1));
    EXPECT_EQ(TrackOfRow(rows[2], cds), nullptr) << "track 5 of a two-track CD";
}

TEST(CDDBMatchingTest, TheSuggestionStoresNonLatinTextAsUtf16AndReplacesItsFrames)
{
    TCDDBCDList cds;
    cds.push_back(Cd("q", QString::fromUtf8("\xd0\x9c\xd0\xb8\xd1\x80"), {"Guest / Song", "Third / Song 3"}));
    TEintragdatenList entries;
    entries.push_back(Entry("a.mp3"));
    const TCDDBMP3List rows = CollectRows(entries);
    WriteSuggestion(*cds.front(), rows, true, QByteArray());
    EXPECT_EQ(Text(*entries[0], "TPE1"), QStringLiteral("Song"));
    EXPECT_EQ(Text(*entries[0], "TALB"), QString::fromUtf8("\xd0\x9c\xd0\xb8\xd1\x80"));
    EXPECT_EQ(FindFrame(entries[0]->Frames, "TALB")->Body().at(0), '\x01');
    EXPECT_EQ(FindFrame(entries[0]->Frames, "TIT2")->Body().at(0), '\x00');

    // Writing again replaces the frames instead of adding more.
    WriteSuggestion(*cds.front(), rows, false, QByteArray());
    EXPECT_EQ(Text(*entries[0], "TPE1"), QStringLiteral("Guest"));
    EXPECT_EQ(entries[0]->Frames.size(), 4u);
}
