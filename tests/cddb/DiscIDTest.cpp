#include "cddb/DiscIDCalculator.h"
#include "platform/CdromAccess.h"

#include "support/QtPrinters.h"
#include "support/FakeCdrom.h"

#ifdef QUILLON_HAVE_LIBDISCID
#include <discid/discid.h>
#endif

#include <gtest/gtest.h>

#include <random>
#include <utility>

namespace {

// The disc id and the query of a table.
std::pair<QString, QString> IdAndQuery(const TCdToc& toc)
{
    std::pair<QString, QString> result;
    TDiscIDCalculator::CalcDiscId(toc, result.first, result.second);
    return result;
}

// The query built straight from frame offsets.
QString ExpectedQuery(const QString& id, const std::vector<int>& starts, int leadOut)
{
    QString query = id + QLatin1Char(' ') + QString::number(starts.size());
    for (int start : starts)
        query += QLatin1Char(' ') + QString::number(start);
    return query + QLatin1Char(' ') + QString::number(leadOut / 75);
}

#ifdef QUILLON_HAVE_LIBDISCID
QString LibDiscIdFreedbId(const std::vector<int>& starts, int leadOut)
{
    int offsets[100] = {};
    offsets[0] = leadOut;
    for (size_t i = 0; i < starts.size(); ++i)
        offsets[i + 1] = starts[i];
    DiscId* disc = discid_new();
    QString id;
    if (discid_put(disc, 1, int(starts.size()), offsets))
        id = QString::fromLatin1(discid_get_freedb_id(disc));
    discid_free(disc);
    return id;
}
#endif

TCdToc ValidToc()
{
    return TFakeCdrom::TocOfFrames({150, 14270}, 420 * 75);
}

}

TEST(DiscIDTest, RandomTablesGiveLibdiscidsFreedbIdAndTheQueryOfTheirOffsets)
{
#ifndef QUILLON_HAVE_LIBDISCID
    FAIL() << "libdiscid-dev is not installed (scripts/setup.sh installs it)";
#else
    std::mt19937 random(20240612);
    constexpr int MaxLeadOut = 90 * 60 * 75; // libdiscid's longest disc
    for (int disc = 0; disc < 1500; ++disc) {
        const int count = std::uniform_int_distribution<int>(1, 99)(random);
        const int room = (MaxLeadOut - 150) / count;
        std::vector<int> starts;
        int offset = 150;
        for (int track = 0; track < count; ++track) {
            starts.push_back(offset);
            offset += std::uniform_int_distribution<int>(1, room)(random);
        }
        const TCdToc toc = TFakeCdrom::TocOfFrames(starts, offset);
        const QString expected = LibDiscIdFreedbId(starts, offset);
        ASSERT_EQ(expected.size(), 8) << "libdiscid refused disc " << disc;
        ASSERT_EQ(IdAndQuery(toc).first, expected) << "disc " << disc << " with " << count << " tracks";
        ASSERT_EQ(IdAndQuery(toc).second, ExpectedQuery(expected, starts, offset));
    }
#endif
}

TEST(DiscIDTest, ATableStartingAboveTrackOneCountsTheTracksItHolds)
{
    // Tracks 3 to 5 of a disc (libdiscid above starts at 1), by hand:
    // n = 2 + (1+0) + (2+0+0) = 5, t = 400 - 2 = 398 (0x18e).
    const TCdToc later = TFakeCdrom::TocOfFrames({150, 10 * 75, 200 * 75}, 400 * 75, 3);
    EXPECT_EQ(IdAndQuery(later).second, QStringLiteral("05018e03 3 150 750 15000 400"));
    EXPECT_EQ(TDiscIDCalculator::ValidTrackCount(later), 3);
}

TEST(DiscIDTest, TablesThatDescribeNoCDGiveNoIdNoQueryAndNoTracks)
{
    const auto expectInvalid = [](const TCdToc& toc, const char* what) {
        EXPECT_EQ(TDiscIDCalculator::ValidTrackCount(toc), 0) << what;
        QString id = QStringLiteral("x");
        QString query = QStringLiteral("x");
        TDiscIDCalculator::CalcDiscId(toc, id, query);
        EXPECT_TRUE(id.isEmpty()) << what;
        EXPECT_TRUE(query.isEmpty()) << what;
    };
    expectInvalid(TCdToc(), "all zero");
    TCdToc toc = ValidToc();
    toc.SetTracks(2, 1);
    expectInvalid(toc, "last before first");
    toc = TFakeCdrom::TocOfFrames(std::vector<int>(99, 150), 200);
    toc.SetTracks(1, 100);
    expectInvalid(toc, "100 tracks");
    toc = ValidToc();
    toc.SetAddress(1, {3, 60, 0});
    expectInvalid(toc, "second 60");
    expectInvalid(TFakeCdrom::TocOfFrames({150, 14270}, 14000), "lead-out before the last track");
    // 99 tracks with the lead-out in the last of the 100 entries is the most
    // a table holds.
    EXPECT_EQ(TDiscIDCalculator::ValidTrackCount(TFakeCdrom::TocOfFrames(std::vector<int>(99, 150), 200)), 99);
}

TEST(DiscIDTest, McdiBodiesAreUsedOnlyWhenLongEnoughForTheirOwnTrackCount)
{
    TCdToc toc;
    // A one-track CD's own body: 4 + 8 * 2 bytes.
    const TCdToc single = TFakeCdrom::TocOfFrames({150}, 22500);
    EXPECT_TRUE(TDiscIDCalculator::TocFromMcdi(single.Head(1), toc));
    EXPECT_EQ(IdAndQuery(toc).first, IdAndQuery(single).first);
    EXPECT_FALSE(TDiscIDCalculator::TocFromMcdi(single.Head(1).left(19), toc));

    std::vector<int> starts;
    for (int i = 0; i < 12; ++i)
        starts.push_back(150 + i * 15000);
    const TCdToc twelve = TFakeCdrom::TocOfFrames(starts, 200000);
    const QByteArray body = twelve.Head(12);
    EXPECT_TRUE(TDiscIDCalculator::TocFromMcdi(body, toc));
    EXPECT_FALSE(TDiscIDCalculator::TocFromMcdi(body.left(107), toc)) << "no room for the lead-out";
    EXPECT_TRUE(TDiscIDCalculator::TocFromMcdi(body + QByteArray(804 - 108, '\0'), toc));
    EXPECT_EQ(IdAndQuery(toc), IdAndQuery(twelve)) << "the padding is no part of the table";
    EXPECT_FALSE(TDiscIDCalculator::TocFromMcdi(body + QByteArray(805 - 108, '\0'), toc));
    EXPECT_FALSE(TDiscIDCalculator::TocFromMcdi(QByteArray(804, '\0'), toc));
}

TEST(DiscIDTest, DriveEntriesBecomeTheTableLayout)
{
    // A three-track disc as the drive reports it: data track last.
    const std::vector<TRawTocEntry> entries{
        {1, 1, 0, {0, 2, 0}}, {2, 1, 0, {4, 31, 17}}, {3, 1, 4, {9, 2, 74}}, {0xAA, 1, 4, {61, 59, 3}}};
    const TCdToc toc = TocFromRawEntries(1, 3, entries);
    const QByteArray head = toc.Head(3);
    EXPECT_EQ(head.left(4), QByteArray("\x00\x22\x01\x03", 4)); // 34 bytes follow the length
    EXPECT_EQ(head.mid(20, 8), QByteArray("\x00\x14\x03\x00\x00\x09\x02\x4a", 8));
    EXPECT_EQ(head.mid(28, 8), QByteArray("\x00\x14\xaa\x00\x00\x3d\x3b\x03", 8));
    EXPECT_EQ(TDiscIDCalculator::ValidTrackCount(toc), 3);
    EXPECT_TRUE(std::all_of(toc.Bytes.begin() + 36, toc.Bytes.end(), [](quint8 b) { return b == 0; }));

    // A header outside 1..99 writes no entry, however many the drive gave.
    const std::vector<TRawTocEntry> many(120, TRawTocEntry{1, 1, 0, {1, 1, 1}});
    for (auto [first, last] : {std::pair<int, int>{5, 2}, {1, 120}}) {
        const TCdToc odd = TocFromRawEntries(quint8(first), quint8(last), many);
        EXPECT_TRUE(std::all_of(odd.Bytes.begin() + 4, odd.Bytes.end(), [](quint8 b) { return b == 0; }));
        EXPECT_EQ(TDiscIDCalculator::ValidTrackCount(odd), 0);
    }
    // Fewer entries than the header claims: the table is not complete.
    EXPECT_EQ(TDiscIDCalculator::ValidTrackCount(TocFromRawEntries(1, 3, {entries[0], entries[1]})), 0);
}

// The drives' names and an empty drive are the lookup wizard's test.
TEST(DiscIDTest, DrivesComeFromTheKernelsListWithVendorAndModel)
{
    const QByteArray info = "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n"
                            "\n"
                            "drive name:\t\tsr10\tsr2\tsr0\n"
                            "drive speed:\t\t48\t24\t8\n";
    EXPECT_EQ(ParseCdromInfo(info), QStringList({"sr0", "sr2", "sr10"}));
    EXPECT_EQ(ParseCdromInfo("drive name:\t../x\tsr0\n"), QStringList({"sr0"}));

    // A drive without vendor and model, holding a disc whose table is not valid.
    TFakeCdrom cdrom;
    cdrom.DriveList = {{"/dev/sr1", "", ""}};
    cdrom.Discs.insert("/dev/sr1", TCdToc());
    TDiscIDCalculator calculator(false);
    calculator.RefreshDrives();
    ASSERT_EQ(calculator.DriveCount(), 1);
    EXPECT_EQ(calculator.GetDrive(0)->Name, QStringLiteral("/dev/sr1"));
    calculator.ReadToc(*calculator.GetDrive(0));
    EXPECT_FALSE(calculator.TocValid);
    EXPECT_EQ(calculator.TrackCount, 0);
}
