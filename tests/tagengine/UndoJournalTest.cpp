#include "tagengine/UndoJournal.h"

#include <gtest/gtest.h>

TEST(UndoJournal, LastIsNewestAndEmptyGivesNull)
{
    TQLNUndoList list;
    EXPECT_EQ(list.Last(), nullptr);
    list.AddTagWritten(QStringLiteral("/m/a.mp3"));
    auto* item = list.AddFileDate(QStringLiteral("/m/a.mp3"), 1234);
    EXPECT_EQ(list.Last(), item);
    EXPECT_EQ(item->Kind, TQLNUndoItem::FileDate);
    EXPECT_EQ(item->OldWriteNs, 1234);
}

TEST(UndoJournal, PurgeFollowsRenamesBackwardsAndComparesExactly)
{
    TQLNUndoList list;
    list.AddTagWritten(QStringLiteral("/m/A.mp3"));          // older name, other case: another file
    list.AddTagWritten(QStringLiteral("/m/a.mp3"));          // before the rename
    list.AddRename(QStringLiteral("/m/b.mp3"), QStringLiteral("/m/a.mp3"));
    list.AddTagWritten(QStringLiteral("/m/b.mp3"));          // after the rename
    list.AddTagWritten(QStringLiteral("/m/c.mp3"));          // unrelated

    list.PurgeFile(QStringLiteral("/m/b.mp3"));

    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetItem(0)->Path, QStringLiteral("/m/A.mp3"));
    EXPECT_EQ(list.GetItem(1)->Path, QStringLiteral("/m/c.mp3"));
}
