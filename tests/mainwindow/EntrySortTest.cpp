#include "mainwindow/EntrySort.h"

#include "common/ColumnCatalogue.h"
#include "tagengine/FrameCodecs.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

TEintragdatenPtr Entry(const QString& name, std::initializer_list<std::pair<const char*, QString>> frames = {})
{
    auto entry = std::make_unique<TEintragdaten>();
    entry->Folder = QStringLiteral("/music/");
    entry->FileName = name;
    for (const auto& [id, text] : frames) {
        auto frame = std::make_unique<TID3Frame>(QString::fromLatin1(id));
        SetTextFrame(*frame, QString(), {text});
        entry->Frames.push_back(std::move(frame));
    }
    return entry;
}

int Column(const char* id)
{
    return FindColumnIndex(QString::fromLatin1(id));
}

QStringList Names(const TEintragdatenList& entries)
{
    QStringList names;
    for (const auto& e : entries)
        names << e->FileName;
    return names;
}

QStringList SortedNames(TEintragdatenList& entries, const char* column, int direction = 1, QList<int> ties = {})
{
    SortEntries(entries, Column(column), direction, ties);
    return Names(entries);
}

}

TEST(EntrySortTest, TrackNumbersSortAsNumbersBeforeTexts)
{
    TEintragdatenList entries;
    for (const auto& [name, track] : {std::pair{"letter", "1a"}, std::pair{"ten", "10"}, std::pair{"two", "2"},
                                      std::pair{"word", "B"}, std::pair{"one of twelve", "1/12"}, std::pair{"none", ""},
                                      std::pair{"one of ten", "1/10"}})
        entries.push_back(*track ? Entry(name, {{"TRCK", track}}) : Entry(name));
    EXPECT_EQ(SortedNames(entries, "TRCK"),
              QStringList({"none", "one of ten", "one of twelve", "two", "ten", "letter", "word"}));
    EXPECT_EQ(SortedNames(entries, "TRCK", -1),
              QStringList({"word", "letter", "ten", "two", "one of twelve", "one of ten", "none"}));
}

TEST(EntrySortTest, ColumnKindsCompareByTheirValues)
{
    TEintragdatenList entries;
    entries.push_back(Entry("b.mp3", {{"TIT2", "banana"}, {"TDRC", "2004-05-06"}}));
    entries.push_back(Entry("A.mp3", {{"TIT2", "Cherry"}, {"TDRC", "1999"}}));
    entries.push_back(Entry("c.mp3", {{"TIT2", "apple"}, {"TDRC", "2004-05"}}));
    // Size, file time, length and bitrate of each.
    const qint64 values[3][4] = {{900, -5, 61000, 64}, {10000, 7, 9000, 320}, {5, 3, 120000, 128}};
    for (int i = 0; i < 3; ++i) {
        entries[i]->Size = values[i][0];
        entries[i]->LastWriteNs = values[i][1];
        entries[i]->Length = values[i][2];
        entries[i]->MPEGInfo.Bitrate = static_cast<quint16>(values[i][3]);
    }

    EXPECT_EQ(SortedNames(entries, "TIT2"), QStringList({"c.mp3", "b.mp3", "A.mp3"}));
    EXPECT_EQ(SortedNames(entries, "*SIZ"), QStringList({"c.mp3", "b.mp3", "A.mp3"}));
    EXPECT_EQ(SortedNames(entries, "*DAT"), QStringList({"b.mp3", "c.mp3", "A.mp3"}));
    EXPECT_EQ(SortedNames(entries, "TDRC"), QStringList({"A.mp3", "c.mp3", "b.mp3"}));
    // "64 kbps" against "320 kbps": right-aligned texts are padded with "0".
    EXPECT_EQ(SortedNames(entries, "*BIT"), QStringList({"b.mp3", "c.mp3", "A.mp3"}));
}

TEST(EntrySortTest, TiesAreBrokenByTheShownColumnsAndOtherwiseKeepTheirOrder)
{
    TEintragdatenList entries;
    entries.push_back(Entry("4", {{"TALB", "Same"}, {"TIT2", "b"}}));
    entries.push_back(Entry("3", {{"TALB", "same"}, {"TIT2", "a"}}));
    entries.push_back(Entry("2", {{"TALB", "Other"}}));
    entries.push_back(Entry("1", {{"TALB", "same"}, {"TIT2", "b"}}));
    // Without a tie-breaker the equal albums keep their order (stable).
    EXPECT_EQ(SortedNames(entries, "TALB"), QStringList({"2", "4", "3", "1"}));
    // The tie columns are tried in order; the sort column among them is skipped.
    EXPECT_EQ(SortedNames(entries, "TALB", 1, {Column("TALB"), Column("TIT2")}), QStringList({"2", "3", "4", "1"}));
    EXPECT_EQ(SortedNames(entries, "TALB", -1, {Column("TIT2"), Column("*FIN")}),
              QStringList({"4", "1", "3", "2"}));
    // A column outside the catalogue compares everything equal.
    EXPECT_EQ(SortedNames(entries, "none-such"), QStringList({"4", "1", "3", "2"}));
    EXPECT_EQ(CompareEntriesByColumn(*entries[0], *entries[1], 99), 0);
}

TEST(EntrySortTest, EveryColumnIsAStrictWeakOrder)
{
    static const char* const texts[] = {"", "1", "01", "2/5", "2/", "/3", "x", "X", "10", "-4", "4a", "9", "ü"};
    QRandomGenerator random(17);
    TEintragdatenList entries;
    for (int i = 0; i < 40; ++i) {
        const QString text = QString::fromUtf8(texts[random.bounded(int(std::size(texts)))]);
        entries.push_back(Entry(QString::number(i), {{"TRCK", text}, {"TIT2", text}}));
        entries.back()->MPEGInfo.Bitrate = static_cast<quint16>(random.bounded(8, 320));
    }
    for (const char* column : {"TRCK", "TIT2", "*BIT"}) {
        const int c = Column(column);
        for (const auto& a : entries) {
            EXPECT_EQ(CompareEntriesByColumn(*a, *a, c), 0);
            for (const auto& b : entries) {
                const int ab = CompareEntriesByColumn(*a, *b, c);
                EXPECT_EQ(ab < 0, CompareEntriesByColumn(*b, *a, c) > 0) << column;
                for (const auto& x : entries) {
                    if (ab < 0 && CompareEntriesByColumn(*b, *x, c) < 0) {
                        EXPECT_LT(CompareEntriesByColumn(*a, *x, c), 0) << column;
                    }
                }
            }
        }
        SortEntries(entries, c, 1, {});
        for (size_t i = 1; i < entries.size(); ++i)
            EXPECT_LE(CompareEntriesByColumn(*entries[i - 1], *entries[i], c), 0) << column;
    }
}
