#include "commands/TrackNumbers.h"

#include "tagengine/Eintragdaten.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// The track texts the numbering gives files of these names.
QStringList Numbered(const QStringList& names, const TTrackNrEinstellungen& settings)
{
    std::vector<TEintragdaten> entries(static_cast<size_t>(names.size()));
    std::vector<TTrackNrMp3> items;
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].FileName = names.at(qsizetype(i));
        items.push_back({&entries[i], -1, -1});
    }
    AssignTrackNumbers(items, settings);
    QStringList texts;
    for (const TTrackNrMp3& item : items)
        texts << TrackText(item.Number, item.Total);
    return texts;
}

}

TEST(TrackNumbersTest, DigitsOfTheFileName)
{
    EXPECT_EQ(TrackNumberFromFileName("03 - Title 2.mp3"), 3);
    EXPECT_EQ(TrackNumberFromFileName("Song.mp3"), std::nullopt); // the extension does not count
    EXPECT_EQ(TrackNumberFromFileName("Song.7.mp3"), 7);
    EXPECT_EQ(TrackNumberFromFileName("2147483647.mp3"), 2147483647);
    EXPECT_EQ(TrackNumberFromFileName("2147483648.mp3"), std::nullopt);
    EXPECT_EQ(TrackNumberFromFileName("99999999999999999999999 x 5.mp3"), std::nullopt);
    EXPECT_EQ(TrackNumberFromFileName(QString::fromUtf8("٣ arabic 4.mp3")), 4); // ASCII digits only
}

TEST(TrackNumbersTest, TotalsAndNumbering)
{
    const QStringList files = {"a1.mp3", "b7.mp3", "c3.mp3"};
    EXPECT_EQ(Numbered(files, {1, 1, 0, 0}), (QStringList{"1/7", "7/7", "3/7"}));
    EXPECT_EQ(Numbered(files, {1, 0, 0, 0}), (QStringList{"1", "7", "3"}));
    EXPECT_EQ(Numbered(files, {0, 2, 5, 12}), (QStringList{"5/12", "6/12", "7/12"}));
    EXPECT_EQ(Numbered(files, {0, 1, 0, 0}), (QStringList{"", "1/2", "2/2"})); // start 0: the first has none
    EXPECT_EQ(Numbered(files, {0, 2, 1, 0}), (QStringList{"1", "2", "3"}));   // a fixed total 0 adds none
    EXPECT_EQ(Numbered({"x.mp3", "y.mp3"}, {1, 1, 0, 0}), (QStringList{"", ""}));
}
