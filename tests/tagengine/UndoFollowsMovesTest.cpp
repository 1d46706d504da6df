#include "platform/PathMoves.h"
#include "tagengine/UndoJournal.h"

#include <gtest/gtest.h>

TEST(UndoFollowsMoves, JournalItemsFollowMovesAndDeletedFilesArePurgedWithTheirRenames)
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
