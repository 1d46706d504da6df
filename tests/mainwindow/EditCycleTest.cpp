// The edit cycle: edits reach every selected file when the selection moves on,
// failed writes are retried or given up, and no edit is ever applied twice.

#include "InputPanelTestSupport.h"

#include "support/MutagenReader.h"

#include "frameinput/ID3v2FrameDateTime.h"
#include "frameinput/ID3v2FrameNumber.h"
#include "mainwindow/SessionEnd.h"
#include "localisation/MultiLanguage.h"
#include "tagengine/DisplayTexts.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QDateTime>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QTimer>

#include <csignal>

namespace {

class EditCycleTest : public ::testing::Test, public TFilesWindowFixture {
protected:
    TRecordingPrompt& Prompt = Env.Prompt;

    // Takes the write permission of the file away or gives it back.
    bool Protect(const char* name, bool on = true)
    {
        return QFile::setPermissions(Path(name), QFile::ReadOwner | (on ? QFile::Permissions() : QFile::WriteOwner));
    }

    // Answers the save question (an error box with Yes and No) by its round.
    void Answer(std::function<bool(qsizetype round)> yes)
    {
        Prompt.OnAsk = [this, yes](const QString&, TPromptButtons buttons) {
            EXPECT_EQ(buttons, TPromptButtons(pbYes | pbNo));
            return yes(Prompt.Asked.size()) ? pbYes : pbNo;
        };
    }
};

}

TEST_F(EditCycleTest, AnEditIsWrittenWhenTheSelectionMovesOn)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("Old")}, {"TPE1", Text("Band")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("b.mp3"), {{"TIT2", Text("Second")}}));
    auto window = Open();
    // The first row is selected after the load and shown.
    TID3v2Frame* title = InputOf(*window, "TIT2");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(ShownText(title), QStringLiteral("Old"));

    TypeInto(title, QStringLiteral("New \xe9 Title"));
    EXPECT_TRUE(window->HasModifiedInputs());
    SelectListRows(*window, {1});

    // Written before the second file was shown.
    const TMutagenRead mutagen = ReadWithMutagen(Path("a.mp3"));
    EXPECT_EQ(MutagenTexts(mutagen, "TIT2"), QStringList{QStringLiteral("New \xe9 Title")});
    EXPECT_EQ(MutagenTexts(mutagen, "TPE1"), QStringList{QStringLiteral("Band")});
    EXPECT_FALSE(window->Entries()[0]->Changed);
    ASSERT_EQ(window->UndoList().Count(), 1);
    EXPECT_EQ(ShownText(InputOf(*window, "TIT2")), QStringLiteral("Second"));
    // Showing values is no edit: moving on again writes nothing.
    SelectListRows(*window, {0});
    EXPECT_EQ(window->UndoList().Count(), 1);
}

TEST_F(EditCycleTest, AMultiSelectionEditReachesEveryFileAndLeavesTheRestAlone)
{
    const QByteArray artist = ID3v2Builder::TextBody(1, {QStringLiteral("Caf\xe9 Band")});
    ASSERT_TRUE(WriteMp3WithFrames(Path("1.mp3"), {{"TALB", Text("One")}, {"TPE1", artist}, {"TIT2", Text("x")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("2.mp3"), {{"TALB", Text("Two")}, {"TPE1", artist}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("3.mp3"), {{"TALB", Text("Three")}}));
    const QByteArray untouched = Mp3Builder::ReadFile(Path("3.mp3"));
    auto window = Open();
    SelectListRows(*window, {0, 1});
    EXPECT_TRUE(InputOf(*window, "TALB")->IsDifferent());
    EXPECT_FALSE(InputOf(*window, "TPE1")->IsDifferent());
    // One file lacks the title: the files disagree.
    EXPECT_TRUE(InputOf(*window, "TIT2")->IsDifferent());

    TypeInto(InputOf(*window, "TALB"), QStringLiteral("Common"));
    SelectListRows(*window, {2});

    for (const char* name : {"1.mp3", "2.mp3"}) {
        const TID3FrameList frames = ReadFramesOf(Path(name));
        EXPECT_EQ(FrameText(frames, "TALB"), QStringLiteral("Common")) << name;
        // The artist nobody touched keeps its bytes, UTF-16 included.
        ASSERT_NE(FindFrame(frames, "TPE1"), nullptr) << name;
        EXPECT_EQ(FindFrame(frames, "TPE1")->Body(), artist) << name;
    }
    // An input left untouched writes nothing: the second file still has no title.
    EXPECT_EQ(CountFrames(ReadFramesOf(Path("2.mp3")), "TIT2"), 0);
    EXPECT_EQ(FrameText(ReadFramesOf(Path("1.mp3")), "TIT2"), QStringLiteral("x"));
    EXPECT_EQ(Mp3Builder::ReadFile(Path("3.mp3")), untouched);
    EXPECT_EQ(window->UndoList().Count(), 2);
}

TEST_F(EditCycleTest, TheFirstFilesYearTypedAgainReachesEveryFile)
{
    const QStringList years = {QStringLiteral("2001"), QStringLiteral("1999"), QStringLiteral("1987"),
                               QStringLiteral("2010"), QStringLiteral("1975")};
    for (int i = 0; i < years.size(); ++i)
        ASSERT_TRUE(WriteMp3WithFrames(Path(QStringLiteral("%1.mp3").arg(i)), {{"TYER", Text(years[i])}}));
    auto window = OpenActive();
    SelectListRows(*window, {0, 1, 2, 3, 4});
    auto* date = qobject_cast<TID3v2FrameDateTime*>(InputOf(*window, "TDRC"));
    ASSERT_NE(date, nullptr);
    ASSERT_TRUE(date->IsDifferent());

    QLineEdit* field = date->DatePicker()->findChild<QLineEdit*>();
    QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, QPoint(field->width() / 2, field->height() / 2));
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), date->DatePicker());
    TypeKeys(date->DatePicker(), years[0]);
    SelectListRows(*window, {0});
    for (int i = 0; i < years.size(); ++i)
        EXPECT_EQ(MutagenTexts(ReadWithMutagen(Path(QStringLiteral("%1.mp3").arg(i))), "TDRC"), QStringList{years[0]})
            << i;
}

TEST_F(EditCycleTest, AProgramToldToEndWritesWhatIsStillInTheInputs)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TALB", Text("Old Album")}}));
    auto window = OpenActive();
    SelectListRows(*window, {0});
    CloseOnTermination(*window);
    auto* album = qobject_cast<TID3v2FrameEdit*>(InputOf(*window, "TALB"));
    ASSERT_NE(album, nullptr);
    ClickBehindText(album->Edit());
    TypeKeys(album->Edit(), QStringLiteral(" Two"));

    // The signal comes while a dialog is open: the dialog closes first, then
    // the window, which writes the edit.
    QDialog dialog(window.get());
    QTimer::singleShot(0, [] { ::raise(SIGTERM); });
    QTimer::singleShot(5000, &dialog, &QDialog::accept); // rather a failure than a hang
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(WaitUntil([&] { return !window->isVisible(); }));
    EXPECT_EQ(MutagenTexts(ReadWithMutagen(Path("a.mp3")), "TALB"), QStringList{QStringLiteral("Old Album Two")});
}

TEST_F(EditCycleTest, TypingIntoADifferingFieldReplacesItButATypedTotalKeepsEachFilesNumber)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TALB", Text("Old Album")}, {"TRCK", Text("1/10")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("b.mp3"), {{"TALB", Text("Other Album")}, {"TRCK", Text("2")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("c.mp3"), {{"TIT2", Text("no number")}}));
    auto window = OpenActive();
    SelectListRows(*window, {0, 1, 2});
    auto* album = qobject_cast<TID3v2FrameEdit*>(InputOf(*window, "TALB"));
    auto* track = qobject_cast<TID3v2FrameNumber*>(InputOf(*window, "TRCK"));
    ASSERT_TRUE(album && track);
    ASSERT_TRUE(album->IsDifferent());
    ClickBehindText(album->Edit());
    TypeKeys(album->Edit(), QStringLiteral("New Album"));
    ClickBehindText(track->TotalEdit());
    TypeKeys(track->TotalEdit(), QStringLiteral("12"));
    SelectListRows(*window, {0});
    // (all three were "1/12" before)
    for (const auto& [name, written] :
         {std::pair{"a.mp3", "1/12"}, std::pair{"b.mp3", "2/12"}, std::pair{"c.mp3", "0/12"}}) {
        const TMutagenRead mutagen = ReadWithMutagen(Path(name));
        EXPECT_EQ(MutagenTexts(mutagen, "TALB"), QStringList{QStringLiteral("New Album")}) << name;
        EXPECT_EQ(MutagenTexts(mutagen, "TRCK"), QStringList{written}) << name;
    }
}

TEST_F(EditCycleTest, ClearingAnInputDeletesTheFrameAndFurtherFramesGetExtraInputs)
{
    ASSERT_TRUE(WriteMp3WithFrames(
        Path("a.mp3"), {{"TENC", Text("Enc A")}, {"COMM", Comment("", "first")}, {"TCOP", Text("(c) A")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("b.mp3"), {{"TENC", Text("Enc B")}, {"COMM", Comment("notes", "second")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("c.mp3"), {{"TIT2", Text("plain")}}));
    auto window = Open();
    // A frame no page shows has its input among the further fields.
    ASSERT_EQ(InputCount(*window, "TCOP"), 1);
    EXPECT_TRUE(InputOf(*window, "TCOP")->KillOnClear());

    SelectListRows(*window, {0, 1});
    // The second file's comment, of another description, opens an extra input
    // that counts as different, since the first file lacked it.
    ASSERT_EQ(InputCount(*window, "COMM"), 2);
    TID3v2Frame* pageComment = InputOf(*window, "COMM", 0);
    TID3v2Frame* extraComment = InputOf(*window, "COMM", 1);
    EXPECT_FALSE(pageComment->KillOnClear());
    EXPECT_EQ(ShownText(pageComment), QStringLiteral("first"));
    EXPECT_TRUE(extraComment->KillOnClear());
    EXPECT_TRUE(extraComment->IsDifferent());
    EXPECT_TRUE(InputOf(*window, "TENC")->IsDifferent());

    TypeInto(InputOf(*window, "TENC"), QString());
    // An extra input holding the focus stays alive until the event loop runs:
    // it may be inside one of its own handlers.
    const QPointer<TID3v2Frame> extra = InputOf(*window, "TCOP");
    extra->setFocus();
    SelectListRows(*window, {2});
    EXPECT_FALSE(extra.isNull());
    for (const char* name : {"a.mp3", "b.mp3"}) {
        const TID3FrameList frames = ReadFramesOf(Path(name));
        EXPECT_EQ(CountFrames(frames, "TENC"), 0) << name;
        EXPECT_EQ(CountFrames(frames, "COMM"), 1) << name;
    }
    // The third file has no further frames: the extra inputs are gone.
    EXPECT_EQ(InputCount(*window, "TCOP") + InputCount(*window, "COMM"), 1);
    EXPECT_TRUE(window->SBoxWeitereFelder->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(extra.isNull());
}

TEST_F(EditCycleTest, NoEditIsEverAppliedTwiceNorComesBackOnceDropped)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("A")}, {"COMM", Comment("", "old")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("b.mp3"), {{"TIT2", Text("B")}}));
    auto window = Open();
    SelectListRows(*window, {0, 1});
    // New frames for one file or both, replaced frames, and an extra input.
    TypeInto(InputOf(*window, "TENC"), QStringLiteral("encoder"));
    TypeInto(InputOf(*window, "COMM"), QStringLiteral("comment"));
    TypeInto(InputOf(*window, "TIT2"), QStringLiteral("Same"));

    // Batch commands apply the inputs without saving, maybe several times.
    window->ApplyInputsToSelection();
    window->ApplyInputsToSelection();
    // The user types again into an input already applied: its frame is
    // replaced, not added once more.
    TypeInto(InputOf(*window, "TENC"), QStringLiteral("encoder 2"));
    window->ApplyInputsToSelection();

    // Commit, apply the pages again, reload, commit again.
    window->CommitEdits();
    window->ApplyInputPages(window->InputPages());
    window->ReloadFolder(true);
    window->CommitEdits();
    window->ApplySettings();
    window->ReloadFolder(false);
    window->CommitEdits();

    for (const char* name : {"a.mp3", "b.mp3"}) {
        const TMutagenRead mutagen = ReadWithMutagen(Path(name));
        EXPECT_EQ(MutagenTexts(mutagen, "TIT2") + MutagenTexts(mutagen, "TENC") + MutagenTexts(mutagen, "COMM"),
                  QStringList({"Same", "encoder 2", "comment"}))
            << name;
    }
    // Each file was written once.
    EXPECT_EQ(window->UndoList().Count(), 2);

    // An edit dropped from an entry does not come back when a later command
    // applies the inputs again.
    SelectListRows(*window, {0});
    TypeInto(InputOf(*window, "TIT2"), QStringLiteral("Typed"));
    window->ApplyInputsToSelection();
    TEintragdaten& entry = *window->Entries()[0];
    ASSERT_TRUE(entry.Changed);
    window->ReadEntry(entry);
    window->ApplyInputsToSelection();
    EXPECT_FALSE(entry.Changed);
    EXPECT_EQ(FrameText(entry.Frames, "TIT2"), QStringLiteral("Same"));
    window->CommitEdits();
    EXPECT_EQ(window->UndoList().Count(), 2);
}

TEST_F(EditCycleTest, TheReadOnlyToggleNeverCopiesTheFirstFilesValue)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("Alpha")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("b.mp3"), {{"TIT2", Text("Beta")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("c.mp3"), {}));
    auto window = Open();
    // Without a focused input the command only beeps.
    window->LVFiles->setFocus();
    EXPECT_FALSE(window->ActFrameReadOnlyUpdate().Enabled);
    window->ActFrameReadOnlyExecute();
    EXPECT_EQ(Prompt.Beeps, 1);

    SelectListRows(*window, {0, 1});
    TID3v2Frame* title = InputOf(*window, "TIT2");
    ASSERT_TRUE(title->IsDifferent());
    TextControlOf(title)->setFocus();
    window->ActFrameReadOnlyExecute();
    window->ApplyInputsToSelection();
    for (size_t i = 0; i < 2; ++i)
        EXPECT_TRUE(FindFrame(window->Entries()[i]->Frames, "TIT2")->ReadOnly);
    SelectListRows(*window, {2});
    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), "TIT2"), QStringLiteral("Alpha"));
    EXPECT_EQ(FrameText(ReadFramesOf(Path("b.mp3")), "TIT2"), QStringLiteral("Beta"));

    // Typed after the toggle, the value counts for all files.
    SelectListRows(*window, {0, 1});
    title = InputOf(*window, "TIT2");
    TextControlOf(title)->setFocus();
    window->ActFrameReadOnlyExecute();
    TypeInto(title, QStringLiteral("Both"));
    SelectListRows(*window, {2});
    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), "TIT2"), QStringLiteral("Both"));
    EXPECT_EQ(FrameText(ReadFramesOf(Path("b.mp3")), "TIT2"), QStringLiteral("Both"));
}

TEST_F(EditCycleTest, AFailedWriteIsListedRetriedOrGivenUpAndThenShownAsStored)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("Stored")}}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("b.mp3"), {}));
    const QByteArray before = Mp3Builder::ReadFile(Path("a.mp3"));
    auto window = Open();
    ASSERT_TRUE(Protect("a.mp3"));

    // Given up at the third question: read back and shown as stored.
    Answer([](qsizetype round) { return round < 3; });
    TypeInto(InputOf(*window, "TIT2"), QStringLiteral("Lost"));
    // Committed while the selection stays, as before a file operation.
    window->CommitEdits();
    EXPECT_EQ(Prompt.Asked.size(), 3);
    EXPECT_EQ(Mp3Builder::ReadFile(Path("a.mp3")), before);
    EXPECT_FALSE(window->Entries()[0]->Changed);
    EXPECT_EQ(ShownText(InputOf(*window, "TIT2")), QStringLiteral("Stored"));
    EXPECT_FALSE(window->HasModifiedInputs());
    EXPECT_EQ(window->UndoList().Count(), 0);

    // Retried once the file may be written: listed with its reason, written.
    Prompt.Asked.clear();
    Answer([this](qsizetype) { return Protect("a.mp3", false); });
    TypeInto(InputOf(*window, "TIT2"), QStringLiteral("New"));
    SelectListRows(*window, {1});
    ASSERT_EQ(Prompt.Asked.size(), 1);
    EXPECT_EQ(Prompt.Asked[0],
              LangFmt("ErrorSavingTag", {QStringLiteral("a.mp3 (") + Lang("TagReasonNoWritePermission") + ")\n\r"}));
    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), "TIT2"), QStringLiteral("New"));
    EXPECT_EQ(window->UndoList().Count(), 1);
}

TEST_F(EditCycleTest, EachFailedWriteIsListedWithItsOwnReason)
{
    for (const char* name : {"gone.mp3", "locked.mp3", "ok.mp3"})
        ASSERT_TRUE(WriteMp3WithFrames(Path(name), {{"TALB", Text("Old")}}));
    auto window = Open();
    ASSERT_TRUE(Protect("locked.mp3"));
    window->LVFiles->selectAll();
    TypeInto(InputOf(*window, "TALB"), QStringLiteral("New"));
    ASSERT_TRUE(QFile::remove(Path("gone.mp3")));
    window->CommitEdits();

    // The message keeps its text; each name is followed by its own reason.
    const QString names = QStringLiteral("gone.mp3 (") + Lang("TagReasonFileMissing") + QStringLiteral(")\n\r")
                          + QStringLiteral("locked.mp3 (") + Lang("TagReasonNoWritePermission")
                          + QStringLiteral(")\n\r");
    ASSERT_EQ(Prompt.Asked.size(), 1);
    EXPECT_EQ(Prompt.Asked[0], LangFmt("ErrorSavingTag", {names}));
    EXPECT_EQ(FrameText(ReadFramesOf(Path("ok.mp3")), "TALB"), QStringLiteral("New"));
}

TEST_F(EditCycleTest, AFileAnotherProgramChangedSinceItWasReadIsReadAgainNotOverwritten)
{
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        ASSERT_TRUE(WriteMp3WithFrames(Path(name), {{"TALB", Text("Old")}}));
    // Another program adds an artist and a picture and keeps the file's date.
    const auto changeElsewhere = [this](const char* name) {
        const QString path = Path(name);
        QFile file(path);
        const QDateTime listed = QFileInfo(path).lastModified();
        EXPECT_TRUE(WriteMp3WithFrames(path, {{"TALB", Text("Old")},
                                              {"TPE1", Text("Elsewhere")},
                                              {"APIC", QByteArray("\0image/png\0\x03\0", 14) + QByteArray(5000, 'p')}}));
        EXPECT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(listed, QFileDevice::FileModificationTime));
        return Mp3Builder::ReadFile(path);
    };
    auto window = Open();
    ASSERT_TRUE(Protect("a.mp3") && Protect("c.mp3"));
    window->LVFiles->selectAll();
    TypeInto(InputOf(*window, "TALB"), QStringLiteral("New"));
    const QByteArray changedB = changeElsewhere("b.mp3");
    // c.mp3 is changed while the user is asked whether to try again.
    QByteArray changedC;
    Answer([&](qsizetype) {
        changedC = changeElsewhere("c.mp3");
        return Protect("a.mp3", false) && Protect("c.mp3", false);
    });
    window->CommitEdits();

    ASSERT_EQ(Prompt.Asked.size(), 1) << "a.mp3 and c.mp3 were write-protected at first";
    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), "TALB"), QStringLiteral("New"));
    // The other program's changes stay, the user is told, the list shows them.
    EXPECT_EQ(Mp3Builder::ReadFile(Path("b.mp3")), changedB);
    EXPECT_EQ(Mp3Builder::ReadFile(Path("c.mp3")), changedC);
    const QString reason = Lang("TagReasonChangedElsewhere");
    const QString names = QStringLiteral("\n\rb.mp3 (") + reason + QStringLiteral(")\n\rc.mp3 (") + reason + QLatin1Char(')');
    EXPECT_EQ(Prompt.Informations, QStringList({LangFmt("ErrorTagsNotWritable", {names})}));
    for (const auto& entry : window->Entries()) {
        EXPECT_FALSE(entry->Changed) << entry->FileName.toStdString();
        EXPECT_EQ(FrameText(entry->Frames, "TPE1").value_or("none"), entry->FileName == "a.mp3" ? "none" : "Elsewhere");
    }
    EXPECT_EQ(window->UndoList().Count(), 1);
}

TEST_F(EditCycleTest, SavingManyFilesLetsEventsRunAndShowsProgress)
{
    constexpr int Files = 30;
    for (int i = 0; i < Files; ++i)
        ASSERT_TRUE(WriteMp3WithFrames(Path(QStringLiteral("%1.mp3").arg(i, 2, 10, QLatin1Char('0'))),
                                       {{"TALB", Text("x")}}));
    auto window = Open();
    window->LVFiles->selectAll();
    TypeInto(InputOf(*window, "TALB"), QStringLiteral("All"));

    bool ranDuringSave = false;
    int progress = -1;
    AfterEventRounds(3, [&] {
        ranDuringSave = window->IsSaving();
        progress = window->ProgressLaden->value();
    });
    window->CommitEdits();
    EXPECT_TRUE(ranDuringSave);
    EXPECT_GT(progress, 0);
    EXPECT_LT(progress, 100);
    EXPECT_EQ(window->ProgressLaden->value(), 0);
    EXPECT_EQ(window->UndoList().Count(), Files);
}

TEST_F(EditCycleTest, TheFileInformationFollowsTheSelection)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {}));
    ASSERT_TRUE(WriteMp3WithFrames(Path("b.mp3"), {}));
    auto window = Open();
    const qint64 length = window->Entries()[0]->Length;
    EXPECT_EQ(window->EDateiName->text(), QStringLiteral("a.mp3"));
    EXPECT_TRUE(window->ELaenge->text().startsWith(DurationToText(length)));
    // Several files: their whole length, no single file's name.
    SelectListRows(*window, {0, 1});
    EXPECT_TRUE(window->EDateiName->text().isEmpty());
    EXPECT_TRUE(window->ELaenge->text().startsWith(DurationToText(2 * length)));
    window->LVFiles->clearSelection();
    EXPECT_TRUE(window->EGroesse->text().isEmpty() && window->ELaenge->text().isEmpty());
}
