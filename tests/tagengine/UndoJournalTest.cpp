#include "platform/PathMoves.h"
#include "support/NativeFiles.h"
#include "tagengine/UndoJournal.h"

#include <QDir>

#include <stdio.h>

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

    // A renamed file moved alone: undoing its rename names it back where it
    // is, never moves it back.
    TQLNUndoList single;
    single.AddRename("/music/A/new.mp3", "/music/A/old.mp3");
    TPathMoves fileMove;
    fileMove.Add("/music/A/new.mp3", "/music/C/new.mp3");
    single.MovePaths(fileMove);
    EXPECT_EQ(single.GetItem(0)->OldPath, "/music/C/old.mp3");

    // The file now named b.mp3 is deleted: its rename and the tag written
    // under its old name go; the other file's step stays.
    journal.PurgeFiles({"/music/B/b.mp3"});
    ASSERT_EQ(journal.Count(), 1);
    EXPECT_EQ(journal.GetItem(0)->Path, "/music/A2/c.mp3");
}

namespace {

// What a program that saves a file anew does: a new file renamed over it.
bool PutNewFileInPlace(const QString& path, const QByteArray& content)
{
    const QByteArray native = QFile::encodeName(path);
    return WriteNativeFile(native + ".new", content) && ::rename((native + ".new").constData(), native.constData()) == 0;
}

}

TEST(UndoJournal, RenamesKnowTheirFileThroughTheProgramsOwnRewritesOnly)
{
    TNativeTemporaryDir dir;
    const QString b = dir.filePath("b.mp3");
    const QString c = dir.filePath("c.mp3");
    const QString other = dir.filePath("other.mp3");
    ASSERT_TRUE(WriteNativeFile(QFile::encodeName(b), "song"));
    ASSERT_TRUE(WriteNativeFile(QFile::encodeName(other), "other"));
    TQLNUndoList journal;
    // a.mp3 became b.mp3, then c.mp3: both steps know the file.
    journal.AddRename(b, dir.filePath("a.mp3"));
    ASSERT_TRUE(QFile::rename(b, c));
    journal.AddRename(c, b);
    journal.AddRename(other, dir.filePath("o.mp3"));
    const std::optional<TFileIdentity> song = FileIdentityOf(c);
    ASSERT_TRUE(song);
    EXPECT_EQ(journal.GetItem(0)->Identity, song);
    EXPECT_EQ(journal.GetItem(1)->Identity, song);
    EXPECT_EQ(journal.AddRename(dir.filePath("none.mp3"), b)->Identity, std::nullopt);

    // The program's own rewrite through a new file: every name of the file
    // follows; the other file's step keeps its own.
    const std::optional<TFileIdentity> otherIdentity = FileIdentityOf(other);
    EXPECT_TRUE(journal.FollowRewrite(c, [&] { return PutNewFileInPlace(c, "song, new tag"); }));
    const std::optional<TFileIdentity> rewritten = FileIdentityOf(c);
    ASSERT_NE(rewritten, song);
    EXPECT_EQ(journal.GetItem(0)->Identity, rewritten);
    EXPECT_EQ(journal.GetItem(1)->Identity, rewritten);
    EXPECT_EQ(journal.GetItem(2)->Identity, otherIdentity);
    EXPECT_FALSE(journal.FollowRewrite(c, [] { return false; }));

    // Another program's new file is no rewrite of ours: the steps keep the
    // renamed file's identity, and a move within the disk changes nothing.
    ASSERT_TRUE(PutNewFileInPlace(c, "another song"));
    TPathMoves moves;
    moves.Add(dir.path(), dir.path() + "-moved");
    ASSERT_TRUE(QDir().rename(dir.path(), dir.path() + "-moved"));
    journal.MovePaths(moves);
    ASSERT_TRUE(QDir().rename(dir.path() + "-moved", dir.path()));
    EXPECT_EQ(journal.GetItem(1)->Identity, rewritten);
    EXPECT_NE(FileIdentityOf(c), rewritten);
}

TEST(UndoJournal, ARenamedFileMovedToAnotherDiskIsKnownByItsCopy)
{
    TNativeTemporaryDir here;
    QTemporaryDir there(QStringLiteral("/dev/shm/quillon-journal-XXXXXX"));
    const std::optional<TFileIdentity> hereFolder = FileIdentityOf(here.path());
    const std::optional<TFileIdentity> thereFolder = FileIdentityOf(there.path());
    if (!there.isValid() || !hereFolder || !thereFolder || hereFolder->Device == thereFolder->Device)
        GTEST_SKIP() << "no second disk at /dev/shm";
    const QString from = here.filePath("new.mp3");
    const QString to = there.filePath("new.mp3");
    ASSERT_TRUE(WriteNativeFile(QFile::encodeName(from), "song"));
    TQLNUndoList journal;
    journal.AddRename(from, here.filePath("old.mp3"));
    // The move: a copy on the other disk, the original removed.
    ASSERT_TRUE(QFile::copy(from, to));
    ASSERT_TRUE(QFile::remove(from));
    TPathMoves moves;
    moves.Add(from, to);
    journal.MovePaths(moves);
    EXPECT_EQ(journal.GetItem(0)->Path, to);
    EXPECT_EQ(journal.GetItem(0)->OldPath, there.filePath("old.mp3"));
    EXPECT_EQ(journal.GetItem(0)->Identity, FileIdentityOf(to));
}
