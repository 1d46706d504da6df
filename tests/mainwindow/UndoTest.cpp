#include "RenameTestSupport.h"

#include "InputPanelTestSupport.h"

#include "tagengine/DisplayTexts.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileIdentity.h"

#include <QFileInfo>

#include <stdio.h>

namespace {

constexpr qint64 NsPerSecond = 1000000000;

class UndoTest : public ::testing::Test, protected TRenameFixture {
protected:
    // Renames the one selected file by hand.
    void RenameByHand(const QString& name, const QString& typed)
    {
        Select({name});
        Prompt.Inputs = {typed};
        Trigger("ActRenameFile");
    }

    QString UndoCaption() const { return Window->Action("ActUndo")->text(); }

    static qint64 ModifiedSeconds(const QString& path) { return QFileInfo(path).lastModified().toSecsSinceEpoch(); }
};

}

TEST_F(UndoTest, WriteRenameUndoUndoGivesTheOriginalFileBack)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TPE1", "Artist"}, {"TIT2", "Old"}}));
    ASSERT_TRUE(SetModifiedNs(Dir() + "a.mp3", 1000000000 * NsPerSecond));
    const QByteArray original = Bytes(Dir() + "a.mp3");
    Open();
    Select({"a.mp3"});
    SetTitle(*Entry("a.mp3"), QStringLiteral("New"));
    Window->SaveChangedEntries();
    Trigger("ActFilenameFromID3");
    ASSERT_TRUE(QFile::exists(Dir() + "Artist - New.mp3"));
    Window->UpdateActions();
    EXPECT_EQ(UndoCaption(), LangFmt("UndoRename", {QStringLiteral("Artist - New.mp3")}));

    Trigger("ActUndo");
    EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3"}));
    Window->UpdateActions();
    Trigger("ActUndo");
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(Bytes(Dir() + "a.mp3"), original);
    EXPECT_EQ(ModifiedSeconds(Dir() + "a.mp3"), 1000000000);
    EXPECT_EQ(GetColumnText(*Entry("a.mp3"), "TIT2"), QStringLiteral("Old"));
    Window->ActUndoExecute();
    EXPECT_EQ(Prompt.Beeps, 1);
}

TEST_F(UndoTest, UnsavedEditsComeFirstAndOnlyWhileAFileIsSelected)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "A"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("b.mp3"), {{"TIT2", "B"}}));
    Open();
    RenameByHand("a.mp3", "c");
    ASSERT_NE(Entry("c.mp3"), nullptr);

    // Edits of the selected file and of one that is not selected.
    SetTitle(*Entry("c.mp3"), QStringLiteral("edited"));
    SetTitle(*Entry("b.mp3"), QStringLiteral("edited too"));
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukUnsavedEntries);
    Trigger("ActUndo");
    EXPECT_EQ(GetColumnText(*Entry("c.mp3"), "TIT2") + GetColumnText(*Entry("b.mp3"), "TIT2"), QStringLiteral("AB"));
    EXPECT_TRUE(QFile::exists(Dir() + "c.mp3"));

    // Without a selection the journal comes first, edits or not.
    Window->LVFiles->selectionModel()->clearSelection();
    ASSERT_EQ(Window->EditedCount(), 0);
    SetTitle(*Entry("b.mp3"), QStringLiteral("edited again"));
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukRename);
    Trigger("ActUndo");
    EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_TRUE(Entry("b.mp3")->Changed);
}

TEST_F(UndoTest, AStepWhoseFileVanishedCanBeDroppedToReachOlderSteps)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "A"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("b.mp3"), {{"TIT2", "B"}}));
    Open();
    RenameByHand("a.mp3", "x");
    RenameByHand("b.mp3", "y");
    ASSERT_EQ(Window->UndoList().Count(), 2);
    ASSERT_TRUE(QFile::remove(Dir() + "y.mp3"));

    // No keeps the step.
    Trigger("ActUndo");
    EXPECT_EQ(Prompt.Questions, QStringList({LangFmt("ErrorUndoFileMissing", {QStringLiteral("y.mp3")})}));
    EXPECT_EQ(Window->UndoList().Count(), 2);
    // Yes drops it; the older step is then undone as usual.
    Prompt.OnQuestion = [](const QString&) { return true; };
    Trigger("ActUndo");
    Trigger("ActUndo");
    EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3"}));
    EXPECT_EQ(Window->UndoList().Count(), 0);
    EXPECT_TRUE(Prompt.Errors.isEmpty());
}

TEST_F(UndoTest, RenameBackNeverReplacesAFileAndLooksEntriesUpExactly)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "lower"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("A.mp3"), {{"TIT2", "upper"}}));
    Open();

    // The old name was taken again meanwhile: the step fails and stays.
    RenameByHand("a.mp3", "x");
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "newcomer"}}));
    const QByteArray newcomer = Bytes(Dir() + "a.mp3");
    Trigger("ActUndo");
    EXPECT_EQ(Prompt.Errors, QStringList({LangFmt("ErrorUndoRename", {QStringLiteral("x.mp3")})}));
    EXPECT_EQ(Bytes(Dir() + "a.mp3"), newcomer);
    EXPECT_TRUE(QFile::exists(Dir() + "x.mp3"));
    EXPECT_EQ(Window->UndoList().Count(), 1);
    ASSERT_TRUE(QFile::remove(Dir() + "a.mp3"));
    Trigger("ActUndo");
    EXPECT_EQ(GetColumnText(*Entry("a.mp3"), "TIT2"), QStringLiteral("lower"));

    // A step of "A.mp3" moves only that entry, never "a.mp3".
    Window->UndoList().AddRename(Dir() + "A.mp3", Dir() + "b.mp3");
    Window->UpdateActions();
    Trigger("ActUndo");
    EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(GetColumnText(*Entry("b.mp3"), "TIT2") + GetColumnText(*Entry("a.mp3"), "TIT2"),
              QStringLiteral("upperlower"));

    // A file the list does not show is renamed back all the same.
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("elsewhere/new.mp3"), {}));
    Window->UndoList().AddRename(Env.PathOf("elsewhere/new.mp3"), Env.PathOf("elsewhere/old.mp3"));
    Window->UpdateActions();
    Trigger("ActUndo");
    EXPECT_TRUE(QFile::exists(Env.PathOf("elsewhere/old.mp3")));
}

TEST_F(UndoTest, FileDatesComeBackUnlessTheFileIsWriteProtected)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "A"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("elsewhere/b.mp3"), {{"TIT2", "B"}}));
    ASSERT_TRUE(SetModifiedNs(Dir() + "a.mp3", 1500000000 * NsPerSecond));
    ASSERT_TRUE(SetModifiedNs(Env.PathOf("elsewhere/b.mp3"), 1500000000 * NsPerSecond));
    Open();
    const qint64 old = 1200000000;

    // A file the list does not show gets its date back as well.
    Window->UndoList().AddFileDate(Env.PathOf("elsewhere/b.mp3"), old * NsPerSecond);
    Window->UpdateActions();
    EXPECT_EQ(UndoCaption(), LangFmt("UndoSetFileDate", {QStringLiteral("b.mp3")}));
    Trigger("ActUndo");
    EXPECT_EQ(ModifiedSeconds(Env.PathOf("elsewhere/b.mp3")), old);

    Window->UndoList().AddFileDate(Dir() + "a.mp3", old * NsPerSecond + 5);
    ASSERT_TRUE(QFile::setPermissions(Dir() + "a.mp3", QFile::ReadOwner | QFile::ReadGroup));
    Window->UpdateActions();
    Trigger("ActUndo");
    EXPECT_EQ(Prompt.Errors, QStringList({LangFmt("ErrorUndoSetDate", {QStringLiteral("a.mp3")})}));
    EXPECT_EQ(ModifiedSeconds(Dir() + "a.mp3"), 1500000000);
    EXPECT_EQ(Window->UndoList().Count(), 1);

    ASSERT_TRUE(QFile::setPermissions(Dir() + "a.mp3", QFile::ReadOwner | QFile::WriteOwner));
    Trigger("ActUndo");
    EXPECT_EQ(ModifiedSeconds(Dir() + "a.mp3"), old);
    EXPECT_EQ(Entry("a.mp3")->LastWriteNs, old * NsPerSecond + 5);
}

TEST_F(UndoTest, TypedValuesNotYetAppliedAreDroppedFirst)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "Stored"}}));
    const QByteArray original = Bytes(Dir() + "a.mp3");
    Open();
    Select({"a.mp3"});
    Window->UndoList().AddFileDate(Dir() + "a.mp3", 0);
    TypeInto(InputOf(*Window, QStringLiteral("TIT2")), QStringLiteral("Typed"));
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukModifiedInputs);
    Window->UpdateActions();
    Trigger("ActUndo");
    EXPECT_EQ(ShownText(InputOf(*Window, QStringLiteral("TIT2"))), QStringLiteral("Stored"));
    EXPECT_EQ(Bytes(Dir() + "a.mp3"), original);
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukFileDate);
}

TEST_F(UndoTest, ARenamedFileReplacedByAnotherProgramIsNotRenamedBack)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "A"}}));
    Open();
    RenameByHand("a.mp3", "x");
    // Another program saves another song, without tags, under the new name:
    // a new file renamed over it.
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("incoming.tmp"), {}));
    ASSERT_TRUE(::rename(QFile::encodeName(Dir() + "incoming.tmp").constData(),
                         QFile::encodeName(Dir() + "x.mp3").constData()) == 0);
    const QByteArray replacement = Bytes(Dir() + "x.mp3");

    // No keeps the step, Yes drops it; the other song keeps its name.
    Trigger("ActUndo");
    EXPECT_EQ(Prompt.Questions, QStringList({LangFmt("ErrorUndoFileReplaced", {QStringLiteral("x.mp3")})}));
    EXPECT_EQ(Window->UndoList().Count(), 1);
    Prompt.OnQuestion = [](const QString&) { return true; };
    Trigger("ActUndo");
    EXPECT_EQ(Window->UndoList().Count(), 0);
    EXPECT_EQ(FilesOnDisk(), QStringList({"x.mp3"}));
    EXPECT_EQ(Bytes(Dir() + "x.mp3"), replacement);
    EXPECT_TRUE(Prompt.Errors.isEmpty());
}

TEST_F(UndoTest, TheProgramsOwnRewritesKeepTheRenamedFile)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "A"}}));
    const QByteArray original = Bytes(Dir() + "a.mp3");
    Open();
    RenameByHand("a.mp3", "x");
    const std::optional<TFileIdentity> renamed = FileIdentityOf(Dir() + "x.mp3");
    // A title longer than the padding: the tag is written through a new file.
    Select({"x.mp3"});
    SetTitle(*Entry("x.mp3"), QString(500, QLatin1Char('t')));
    Window->SaveChangedEntries();
    ASSERT_NE(FileIdentityOf(Dir() + "x.mp3"), renamed);

    // The tag comes back, then the name, without a question.
    Window->UpdateActions();
    Trigger("ActUndo");
    Window->UpdateActions();
    Trigger("ActUndo");
    EXPECT_TRUE(Prompt.Questions.isEmpty());
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3"}));
    EXPECT_EQ(Bytes(Dir() + "a.mp3"), original);
}
