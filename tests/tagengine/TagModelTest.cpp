#include "tagengine/Eintragdaten.h"
#include "tagengine/FrameCodecs.h"

#include <gtest/gtest.h>

namespace {

TID3FramePtr Text(const QString& id, const QString& text, const QString& description = {})
{
    auto frame = std::make_unique<TID3Frame>(id);
    SetTextFrame(*frame, description, {text});
    return frame;
}

TID3FramePtr Comment(const QString& text, const QString& description, const QString& language)
{
    auto frame = std::make_unique<TID3Frame>(QStringLiteral("COMM"));
    SetCommentFrame(*frame, {text}, description, language);
    return frame;
}

TID3FramePtr URL(const QString& id, const QString& url, const QString& description = {})
{
    auto frame = std::make_unique<TID3Frame>(id);
    SetURLFrame(*frame, description, url);
    return frame;
}

QString FirstText(const TID3Frame* frame)
{
    return frame ? GetFrameAsText(*frame) : QStringLiteral("<none>");
}

} // namespace

TEST(TagModel, SetFrameDeletesTheFirstMatchReplacesAppendsAndKeepsUniqueNumbers)
{
    TID3FrameList list;
    list.push_back(Text("TIT2", "a"));
    list.push_back(Text("TPE1", "b"));
    list.push_back(Text("TPE1", "c"));

    SetFrame(list, "TPE1", nullptr, 0);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(FirstText(list[1].get()), "c");

    list.clear();
    list.push_back(Text("TIT2", "old"));
    list[0]->UniqueNumber = 5;

    // Equal frame: replaced in place, its unique number stays.
    auto title = Text("TIT2", "new");
    title->UniqueNumber = 9;
    title->ReadOnly = 1;
    SetFrame(list, "TIT2", title.get(), 0);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(FirstText(list[0].get()), "new");
    EXPECT_EQ(list[0]->UniqueNumber, 5u);
    EXPECT_EQ(list[0]->ReadOnly, 1);

    // A unique number nobody carries appends, even with the ID present.
    SetFrame(list, "TIT2", Text("TIT2", "second").get(), 6);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(FirstText(list[1].get()), "second");
    EXPECT_EQ(list[1]->UniqueNumber, 0u);

    // The unique number picks the target over content.
    SetFrame(list, "TIT2", Text("TIT2", "third").get(), 5);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(FirstText(list[0].get()), "third");
    SetFrame(list, "TIT2", nullptr, 5);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(FirstText(list[0].get()), "second");
}

TEST(TagModel, SameFrameComparesDescriptionsAndLanguagesOnly)
{
    TID3FrameList list;
    list.push_back(Comment("text one", "d", "eng"));
    list.push_back(Comment("text two", "d", "ger"));
    list.push_back(Text("TXXX", "v", "Mood"));
    list.push_back(URL("WXXX", "http://a", "Shop"));

    EXPECT_EQ(FindEqualFrame(list, Comment("other", "d", "ger").get()), list[1].get());
    EXPECT_EQ(FindEqualFrame(list, Comment("text one", "D", "eng").get()), nullptr);
    EXPECT_EQ(FindEqualFrame(list, Text("TXXX", "v", "mood").get()), nullptr);
    EXPECT_EQ(FindEqualFrame(list, URL("WXXX", "http://b", "Shop").get()), list[3].get());

    TID3Frame shortA("TXXX"), shortB("TXXX");
    shortA.SetBody(QByteArray(1, '\0'));
    EXPECT_TRUE(IsSameFrame(shortA, shortB));

    SetFrame(list, "COMM", Comment("replaced", "d", "ger").get(), 0);
    EXPECT_EQ(FirstText(list[0].get()), "text one");
    EXPECT_EQ(FirstText(list[1].get()), "replaced");
}

TEST(TagModel, EntrySetFrameMarksChangedAndClearKeepsNamesOnRequest)
{
    TEintragdaten entry;
    entry.FileName = "a.mp3";
    entry.HasID3v1 = 1;
    entry.SetFrame("TIT2", Text("TIT2", "x").get(), 0);
    EXPECT_EQ(entry.Changed, 1);

    entry.Clear(false);
    EXPECT_EQ(entry.FileName, "a.mp3");
    EXPECT_EQ(entry.Changed + entry.HasID3v1, 0);
    EXPECT_TRUE(entry.Frames.empty());
    entry.Clear(true);
    EXPECT_TRUE(entry.FileName.isEmpty());
}

TEST(TagModel, SearchLooksAtFileNameThenTextFrames)
{
    TEintragdaten entry;
    entry.Folder = "/music/";
    entry.FileName = "Blue Song.mp3";
    entry.Frames.push_back(Text("TIT2", "Morning"));
    entry.Frames.push_back(Text("TIT2", "Hidden Second"));
    entry.Frames.push_back(URL("WOAR", "http://findme.example"));
    entry.Frames.push_back(Comment("Line one\nRemark", "", "eng"));
    entry.Frames.push_back(Text("TCON", "(17)"));

    TMP3SearchConfig config;
    config.Text = "rock";
    EXPECT_TRUE(entry.MatchesSearch(config));              // the genre's display text
    config.Text = "findme";
    EXPECT_FALSE(entry.MatchesSearch(config));             // URL frames never match
    config.Text = "hidden";
    EXPECT_FALSE(entry.MatchesSearch(config));             // only the first TIT2 counts

    EXPECT_FALSE(entry.MatchesSearchFields("TIT2", "blue"));
    EXPECT_TRUE(entry.MatchesSearchFields("COMM", "one; rem"));
    EXPECT_TRUE(entry.MatchesSearchFields("*DIR", "music"));
    EXPECT_FALSE(entry.MatchesSearchFields("*FIN", "music"));
}
