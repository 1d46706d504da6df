#include "cddb/CDDBSearch.h"
#include "cddb/FreedbHttp.h"
#include "cddb/ServerText.h"

#include "support/QtPrinters.h"
#include "support/FakeCDDBServer.h"

#include <gtest/gtest.h>

namespace {

const QString Query1 = QStringLiteral("0c01a202 2 150 14270 420");
const QString Query2 = QStringLiteral("02012a01 1 150 300");

// An entry as a server sends it: comments, a long title in two lines, the
// disc's extra data, a track with and one without artist.
const char* const RockEntry = "210 rock 0c01a202 CD database entry follows (until terminating `.')\r\n"
                              "# xmcd\r\n"
                              "# Disc length: 420 seconds\r\n"
                              "DISCID=0c01a202\r\n"
                              "DTITLE=The Band / Live 1/2\r\n"
                              "DYEAR=1999\r\n"
                              "DGENRE=Rock\r\n"
                              "TTITLE0=Guest / A very long title that the server \r\n"
                              "TTITLE0=had to split in two lines\r\n"
                              "TTITLE1=Encore 1/2 Mad/Max\r\n"
                              "EXTD= YEAR: 1999\r\n"
                              "PLAYORDER=\r\n"
                              ".\r\n"
                              "TTITLE2=After the end\r\n";

class CDDBSearchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Server.Start()) << Server.Error().toStdString(); }

    bool Search(const QStringList& queries)
    {
        TmyFreedbHttp http(QStringLiteral("127.0.0.1"), Server.Port(), QStringLiteral("/~cddb/cddb.cgi"),
                           QStringLiteral("Quillon"), QStringLiteral("3.14"), QStringLiteral("me"));
        Phases.clear();
        return QueryAndReadCDs(http, queries, CDs, Error, [this](TCDDBSearchPhase p) { Phases.push_back(p); });
    }

    QStringList Commands() const
    {
        QStringList commands;
        for (const auto& request : Server.Requests())
            commands << TFakeCDDBServer::Field(request.toObject(), QStringLiteral("cmd"));
        return commands;
    }

    TFakeCDDBServer Server;
    TCDDBCDList CDs;
    TCDDBSearchError Error;
    std::vector<TCDDBSearchPhase> Phases;
};

}

TEST_F(CDDBSearchTest, ExactMatchIsReadWithJoinedTitlesAndArtistsSplitAtTheSeparator)
{
    Server.Reply("cddb query " + Query1, "200 rock 0c01a202 The Band / Live 1/2\r\n");
    Server.Reply("cddb read rock 0c01a202", RockEntry);
    ASSERT_TRUE(Search({Query1}));
    EXPECT_EQ(Commands(), QStringList({"cddb query " + Query1, "cddb read rock 0c01a202"}));
    EXPECT_EQ(Phases, (std::vector{TCDDBSearchPhase::QueryCDs, TCDDBSearchPhase::ReadTracks,
                                   TCDDBSearchPhase::Finished}));
    ASSERT_EQ(CDs.size(), 1u);
    const TCDDBCD& cd = *CDs.front();
    EXPECT_EQ(cd.Caption(), QStringLiteral("The Band - Live 1/2 (rock)"));
    ASSERT_EQ(cd.TrackCount(), 2);
    EXPECT_TRUE(cd.Tracks[0].HasArtist);
    EXPECT_FALSE(cd.Tracks[1].HasArtist);
    EXPECT_EQ(cd.Tracks[1].Title, QStringLiteral("Encore 1/2 Mad/Max"));
    EXPECT_EQ(TrackCaption(cd.Tracks[0]), QStringLiteral("Guest - A very long title that the server had to split in two lines"));
}

TEST_F(CDDBSearchTest, InexactMatchesOfSeveralQueriesAreAllRead)
{
    // Latin-1 list, a line without disc id, an empty title, lines after ".".
    Server.Reply("cddb query " + Query1,
                 QString::fromUtf8("211 close matches found\r\n"
                                   "rock 0c01a202 The Band / Live\r\n"
                                   "  misc 0c01a203 M\xc3\xa4rchen  \r\n"
                                   "jazz\r\n"
                                   "blues 0c01a204\r\n"
                                   ".\r\n"
                                   "folk 0c01a205 After / End\r\n"),
                 "latin-1");
    Server.Reply("cddb query " + Query2, "202 No match for disc ID 02012a01.\r\n");
    Server.Reply("cddb read .*", "210 entry\r\nTTITLE0=One\r\nTTITLE1=Two / Three\r\n.\r\n");
    ASSERT_TRUE(Search({Query1, Query2}));
    ASSERT_EQ(CDs.size(), 3u);
    EXPECT_EQ(CDs[1]->Caption(), QString::fromUtf8("M\xc3\xa4rchen - M\xc3\xa4rchen (misc)"));
    EXPECT_TRUE(CDs[2]->Title.isEmpty());
    for (const auto& cd : CDs) {
        EXPECT_EQ(cd->Query, Query1);
        EXPECT_EQ(cd->TrackCount(), 2);
    }
    EXPECT_EQ(Commands(), QStringList({"cddb query " + Query1, "cddb query " + Query2, "cddb read rock 0c01a202",
                                       "cddb read misc 0c01a203", "cddb read blues 0c01a204"}));
}

TEST_F(CDDBSearchTest, AHugeListOfMatchesIsReadOnlyUpToItsFirstFiftyOfEachQuery)
{
    Server.Add({.Command = "cddb query " + Query1, .Body = {}, .Matches = 20000});
    Server.Reply("cddb query " + Query2, "211 close matches\r\nrock 1 A / B\r\n.\r\n");
    Server.Reply("cddb read .*", "210 entry\r\nTTITLE0=One\r\n.\r\n");
    ASSERT_TRUE(Search({Query1, Query2}));
    ASSERT_EQ(CDs.size(), 51u);
    EXPECT_EQ(CDs[49]->DiscId, QStringLiteral("00000031"));
    EXPECT_EQ(CDs[50]->Query, Query2);
    EXPECT_EQ(Error.MatchesLeftOut, 19950);
    EXPECT_FALSE(Error.LeftOutUncounted);
    EXPECT_EQ(Commands().size(), 2 + 51);

    // Realistic lines make a list beyond the size of any reply: the fifty
    // are read as they arrive, the rest is counted while it may run.
    const QString query3 = QStringLiteral("03000001 1 150 200");
    Server.Add({.Command = "cddb query " + query3, .Body = {}, .Matches = 20000, .MatchLength = 58});
    ASSERT_TRUE(Search({query3})) << int(Error.Kind);
    EXPECT_EQ(CDs.size(), 50u);
    EXPECT_TRUE(Error.LeftOutUncounted);
    EXPECT_GT(Error.MatchesLeftOut, 17000);
    EXPECT_LT(Error.MatchesLeftOut, 19950);
}

TEST_F(CDDBSearchTest, ServerErrorsEmptyRepliesAndLostConnectionsFailWithTheServersLine)
{
    Server.Reply("cddb query " + Query1, "403 Database entry is corrupt.\r\n");
    EXPECT_FALSE(Search({Query1}));
    EXPECT_EQ(Error.Kind, TCDDBSearchError::ServerError);
    EXPECT_EQ(Error.ServerLine, QStringLiteral("403 Database entry is corrupt."));
    EXPECT_EQ(Phases.back(), TCDDBSearchPhase::Failed) << "nobody cancelled";

    Server.Reply("cddb query " + Query2, "");
    EXPECT_FALSE(Search({Query2}));
    EXPECT_EQ(Error.Kind, TCDDBSearchError::EmptyResponse);

    // The first CD is read, the second's entry is missing: the first stays.
    const QString query3 = QStringLiteral("03000001 1 150 200");
    Server.Reply("cddb query " + query3, "211 found\r\nrock 1 A / B\r\nrock 2 C / D\r\n.\r\n");
    Server.Reply("cddb read rock 1", "210 rock 1\r\nTTITLE0=X\r\n.\r\n");
    Server.Reply("cddb read rock 2", "401 rock 2 No such CD entry in database.\r\n");
    EXPECT_FALSE(Search({query3}));
    EXPECT_EQ(Error.ServerLine, QStringLiteral("401 rock 2 No such CD entry in database."));
    ASSERT_EQ(CDs.size(), 2u);
    EXPECT_EQ(CDs[0]->TrackCount(), 1);

    // Garbage in place of a reply, and a server that is gone.
    const QString query4 = QStringLiteral("04000001 1 150 200");
    Server.Reply("cddb query " + query4, "<html>Service Unavailable</html>");
    EXPECT_FALSE(Search({query4}));
    EXPECT_EQ(Error.ServerLine, QStringLiteral("<html>Service Unavailable</html>"));
    TmyFreedbHttp gone(QStringLiteral("127.0.0.1"), 1, QStringLiteral("/"), QStringLiteral("Quillon"),
                       QStringLiteral("3.14"), QStringLiteral("me"));
    EXPECT_FALSE(QueryAndReadCDs(gone, {Query1}, CDs, Error));
    EXPECT_EQ(Error.Kind, TCDDBSearchError::RequestFailed);
    EXPECT_EQ(Error.Failure, TFreedbFailure::NoConnection);

    // An entry cut before its end mark gives no tracks.
    const QString query5 = QStringLiteral("05000001 2 150 300 400");
    Server.Reply("cddb query " + query5, "200 rock 5 Cut / Short\r\n");
    Server.Add({.Command = "cddb read rock 5", .Body = "210 rock 5\r\nTTITLE0=One\r\nTTITLE1=Two\r\n",
                .Length = "none"});
    EXPECT_FALSE(Search({query5}));
    EXPECT_EQ(Error.Kind, TCDDBSearchError::RequestFailed);
    EXPECT_EQ(Error.Failure, TFreedbFailure::Incomplete);
    ASSERT_EQ(CDs.size(), 1u);
    EXPECT_EQ(CDs[0]->TrackCount(), 0);
}

TEST_F(CDDBSearchTest, AMillionCharactersOfATextAreCutAndTheCDSaysSo)
{
    const QString huge(1000000, QLatin1Char('a'));
    Server.Reply("cddb query " + Query1, "211 close matches\r\nrock 0c01a202 " + huge + " / Album\r\n"
                                         "misc 0c01a203 Short / Album\r\n.\r\n");
    Server.Reply("cddb read rock .*", "210 rock\r\nTTITLE0=Guest / " + huge + "\r\n.\r\n");
    Server.Reply("cddb read misc .*", "210 misc\r\nTTITLE0=" + huge.left(TServerText::MaxValueChars) + "\r\n.\r\n");
    ASSERT_TRUE(Search({Query1})) << int(Error.Kind);
    ASSERT_EQ(CDs.size(), 2u);
    const QString cut = huge.left(TServerText::MaxValueChars - 1) + QStringLiteral("\u2026");
    EXPECT_EQ(CDs[0]->Artist, cut);
    EXPECT_EQ(CDs[0]->Title, QStringLiteral("Album"));
    ASSERT_EQ(CDs[0]->TrackCount(), 1);
    EXPECT_EQ(CDs[0]->Tracks[0].Title, cut);
    EXPECT_TRUE(CDs[0]->TextCut);
    EXPECT_EQ(CDs[1]->Tracks[0].Title.size(), TServerText::MaxValueChars);
    EXPECT_FALSE(CDs[1]->TextCut) << "a text as long as allowed is whole";
}

TEST(CDDBParseTest, RepliesWithoutServerAreParsedByTheirLines)
{
    TCDDBCD cd;
    EXPECT_TRUE(ParseMatchLine(QStringLiteral("200 rock 0c01a202 A / B / C"), true, cd));
    EXPECT_EQ(cd.Artist, QStringLiteral("A"));
    EXPECT_EQ(cd.Title, QStringLiteral("B / C"));
    EXPECT_FALSE(ParseMatchLine(QStringLiteral("200"), true, cd));
    EXPECT_FALSE(ParseMatchLine(QStringLiteral("200 rock"), true, cd));
    EXPECT_FALSE(ParseMatchLine(QStringLiteral("rock"), false, cd));

    TCDDBCDList cds;
    TCDDBSearchError error;
    EXPECT_TRUE(ParseQueryReply({QStringLiteral("2")}, Query1, cds, error));
    EXPECT_TRUE(ParseQueryReply({QStringLiteral("211 close matches"), QStringLiteral(".")}, Query1, cds, error));
    EXPECT_TRUE(cds.empty());

    // Titles go to the tracks their keys name, in any order; a missing number
    // leaves its track untitled, and no key (nor one without a number or
    // "=") makes a track beyond a CD's 99.
    TCDDBCD shuffled;
    ASSERT_TRUE(ParseReadReply({"210 x", "TTITLE5=Six", "EXTT5=extra", "TTITLE2=Three / Part", "TTITLE0=One",
                                "TTITLE99=Far", "TTITLE4294967296=Huge", "TTITLE5= (live)", "EXTT0=more",
                                "TTITLEx=Odd", "TTITLE1"},
                               shuffled, error));
    QStringList titles;
    for (const TCDDBCDTrack& track : shuffled.Tracks)
        titles << TrackCaption(track);
    EXPECT_EQ(titles, QStringList({"One", "", "Three - Part", "", "", "Six (live)"}));
    // Text from the server is kept clean: a NUL, ESC or BEL does not cut or
    // reach the title; bidirectional overrides go; joiners stay.
    TCDDBCD hostile;
    ASSERT_TRUE(ParseReadReply({"210 x", QStringLiteral("TTITLE0=Nul") + QChar(0) + "Title" + QChar(0) + "end",
                                QString::fromUtf8("TTITLE1=\x1b[31mRed\x07\tBell\xe2\x80\xae / \xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x92\xbb"),
                                "."},
                               hostile, error));
    ASSERT_EQ(hostile.TrackCount(), 2);
    EXPECT_EQ(hostile.Tracks[0].Title, QStringLiteral("Nul Title end"));
    EXPECT_EQ(hostile.Tracks[1].Artist, QStringLiteral("[31mRed Bell"));
    EXPECT_EQ(hostile.Tracks[1].Title, QString::fromUtf8("\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x92\xbb"));
    EXPECT_TRUE(ParseMatchLine(QStringLiteral("rock\x01" "0c01a202 A\x1b / B"), false, cd));
    EXPECT_EQ(cd.Caption(), QStringLiteral("A - B (rock)"));

    // An end mark with blanks around it ends a list and an entry.
    TCDDBCDList padded;
    EXPECT_TRUE(ParseQueryReply({"211 found", "rock 1 A / B", " \t. ", "rock 2 After / End"}, Query1, padded, error));
    EXPECT_EQ(padded.size(), 1u);
    TCDDBCD ended;
    ASSERT_TRUE(ParseReadReply({"210 x", "TTITLE0=One", "  .\t", "TTITLE1=After"}, ended, error));
    EXPECT_EQ(ended.TrackCount(), 1);

    // Continuation lines, lines after "." and a "/" without blanks are the
    // exact match's test.
    TCDDBCD read;
    EXPECT_FALSE(ParseReadReply({"211 x"}, read, error));
    EXPECT_FALSE(ParseReadReply({}, read, error));
    EXPECT_EQ(error.Kind, TCDDBSearchError::EmptyResponse);
}
