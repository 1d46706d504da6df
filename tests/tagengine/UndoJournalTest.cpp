#include "platform/PathMoves.h"
#include "tagengine/UndoJournal.h"

#include <gtest/gtest.h>

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

TEST(UndoJournal, JournalItemsFollowMovesAndDeletedFilesArePurgedWithTheirRenames)
{
    TQLNUndoList journal;
    journal.AddTagWritten("/music/A/a.mp3");
    journal.AddRename("/music/A/b.mp3", "/music/A/a.mp3");
    journal.AddFileDate("/music/A2/c.mp3", 7);
    TPathMoves moves;
    moves.Add("/music/A", "/music/B");
    journal.MovePaths(moves);
    EXPECT_EQ(journal.GetItem(0)->Path, "/music/B/a.mp3");
    EXPECT_EQ(journal.GetItem(1)->Path, "/music/B/b.mp3");
    EXPECT_EQ(journal.GetItem(1)->OldPath, "/music/B/a.mp3");
    EXPECT_EQ(journal.GetItem(2)->Path, "/music/A2/c.mp3"); // another folder

    // The file now named b.mp3 is deleted: its rename and the tag written
    // under its old name go; the other file's step stays.
    journal.PurgeFiles({"/music/B/b.mp3"});
    ASSERT_EQ(journal.Count(), 1);
    EXPECT_EQ(journal.GetItem(0)->Path, "/music/A2/c.mp3");
}
