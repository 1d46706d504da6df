#include "RenameTestSupport.h"

#include "InputPanelTestSupport.h"

#include "support/MutagenReader.h"

#include "tagengine/DisplayTexts.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"

#include <QMenu>

#include <cerrno>

namespace {

class RenameTest : public ::testing::Test, protected TRenameFixture {
protected:
    int RenameItems() const
    {
        int count = 0;
        for (int i = 0; i < Window->UndoList().Count(); ++i)
            count += Window->UndoList().GetItem(i)->Kind == TQLNUndoItem::Rename;
        return count;
    }
};

}

TEST_F(RenameTest, NamesFromTagsNeverReplaceAFile)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TPE1", "X"}, {"TIT2", "Same"}, {"TALB", "first"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("b.mp3"), {{"TPE1", "X"}, {"TIT2", "Same"}, {"TALB", "second"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("c.MP3"), {{"TPE1", "Y"}, {"TIT2", "Other"}, {"TALB", "third"}}));
    const QByteArray a = Bytes(Dir() + "a.mp3");
    const QByteArray b = Bytes(Dir() + "b.mp3");
    const QByteArray c = Bytes(Dir() + "c.MP3");
    Open();
    Select({"a.mp3", "b.mp3", "c.MP3"});
    // Yes once: the retry fails again; then No.
    int asked = 0;
    Prompt.OnQuestion = [&](const QString&) { return ++asked == 1; };

    Trigger("ActFilenameFromID3");

    EXPECT_EQ(FilesOnDisk(), QStringList({"X - Same.mp3", "Y - Other.MP3", "b.mp3"}));
    EXPECT_EQ(Bytes(Dir() + "X - Same.mp3"), a);
    EXPECT_EQ(Bytes(Dir() + "b.mp3"), b);
    EXPECT_EQ(Bytes(Dir() + "Y - Other.MP3"), c);
    ASSERT_EQ(Prompt.Questions.size(), 2);
    // Each name with the system's reason.
    EXPECT_EQ(Prompt.Questions[0], LangFmt("ErrorRenameFileMany", {QStringLiteral("b.mp3 (") + SystemErrorText(EEXIST)
                                                                    + QStringLiteral(")\n\r")}));
    EXPECT_EQ(RenameItems(), 2);
    ASSERT_NE(Entry("X - Same.mp3"), nullptr);
    EXPECT_EQ(GetColumnText(*Entry("X - Same.mp3"), "TALB"), QStringLiteral("first"));
}

TEST_F(RenameTest, NamesFromTagsAreCleanedOrRefused)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("untagged.mp3"), {{"TALB", "only album"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("illegal.mp3"), {{"TPE1", "?*"}, {"TIT2", ":|"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("slash.mp3"), {{"TPE1", "AC/DC"}, {"TIT2", "T\tN"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("Z Done.mp3"), {{"TPE1", "Z"}, {"TIT2", "Done"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("dot.mp3"), {{"TPE1", ".Dotband"}, {"TIT2", "Song"}}));
    ASSERT_TRUE(WriteMp3WithFrames(Env.PathOf("bidi.mp3"),
                                   {{"TPE1", ID3v2Builder::TextBody(1, {"abc"})},
                                    {"TIT2", ID3v2Builder::TextBody(1, {QStringLiteral("\u202Egnp.exe\u2066")})}}));
    Open();
    Window->Settings().FileNamePattern = QStringLiteral("%A %T");
    Select({"untagged.mp3", "illegal.mp3", "slash.mp3", "Z Done.mp3", "dot.mp3", "bidi.mp3"});

    Trigger("ActFilenameFromID3");

    // Control characters, reordering marks, "/" and leading dots are
    // dropped; a file already named right is no rename and no undo step.
    EXPECT_EQ(FilesOnDisk(), QStringList({"ACDC TN.mp3", "Dotband Song.mp3", "Z Done.mp3", "abc gnp.exe.mp3",
                                          "illegal.mp3", "untagged.mp3"}));
    EXPECT_EQ(RenameItems(), 3);
    // A name that would be empty is told with its reason and not offered
    // again; empty pattern fields are reported once, as skipped.
    EXPECT_TRUE(Prompt.Questions.isEmpty());
    EXPECT_EQ(Prompt.Informations,
              QStringList({LangFmt("ErrorRenameEmptyFields", {QStringLiteral("\n\runtagged.mp3")}),
                           LangFmt("ErrorRenameUnusableNames", {QStringLiteral("\n\rillegal.mp3")})}));

    // Names "." and "..", hidden names and names of dots only are never
    // built either.
    Window->Settings().FileNamePattern = QStringLiteral("%T");
    for (const char* title : {"..", " . ", "/../", ". . ."}) {
        Prompt.Informations.clear();
        SetTitle(*Entry("illegal.mp3"), QString::fromLatin1(title));
        Select({"illegal.mp3"});
        Trigger("ActFilenameFromID3");
        EXPECT_EQ(Prompt.Informations,
                  QStringList({LangFmt("ErrorRenameUnusableNames", {QStringLiteral("\n\rillegal.mp3")})}))
            << title;
    }
    SetTitle(*Entry("illegal.mp3"), QStringLiteral("/../x"));
    Select({"illegal.mp3"});
    Trigger("ActFilenameFromID3");
    SetTitle(*Entry("untagged.mp3"), QStringLiteral(".hidden"));
    Select({"untagged.mp3"});
    Trigger("ActFilenameFromID3");
    EXPECT_TRUE(Prompt.Questions.isEmpty());
    EXPECT_EQ(FilesOnDisk(), QStringList({"ACDC TN.mp3", "Dotband Song.mp3", "Z Done.mp3", "abc gnp.exe.mp3",
                                          "hidden.mp3", "x.mp3"}));
}

TEST_F(RenameTest, LongTitlesThatMeetOnlyBehindTheCutAreToldSo)
{
    const QString common = QString(300, QLatin1Char('x'));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", common + "one"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("b.mp3"), {{"TIT2", common + "two"}}));
    Open();
    Window->Settings().FileNamePattern = QStringLiteral("%T");
    Select({"a.mp3", "b.mp3"});
    // Yes once: the retry fails again, and says why again; then No.
    int asked = 0;
    Prompt.OnQuestion = [&](const QString&) { return ++asked == 1; };

    Trigger("ActFilenameFromID3");

    const QString cut = QString(251, QLatin1Char('x')) + QStringLiteral(".mp3");
    EXPECT_EQ(FilesOnDisk(), QStringList({"b.mp3", cut}));
    const QString failure = LangFmt("ErrorRenameFileMany", {QStringLiteral("b.mp3 (") + SystemErrorText(EEXIST) + "; "
                                                            + Lang("RenameReasonNameCut") + QStringLiteral(")\n\r")});
    EXPECT_EQ(Prompt.Questions, QStringList({failure, failure}));
    EXPECT_EQ(Prompt.Informations, QStringList({LangFmt("RenameNamesCut", {QStringLiteral("\n\r") + cut})}));
}

TEST_F(RenameTest, NamesFromLongTagsAreCutToWhatTheFileSystemTakes)
{
    // 2-byte letters, and a 4-byte character where the cut falls.
    const QString artist = QString(100, QChar(0xE4));
    const auto title = [](int ts) {
        return QString(ts, QLatin1Char('t')) + QStringLiteral("\U0001F600\U0001F600") + QString(50, QLatin1Char('u'));
    };
    const std::pair<const char*, int> files[] = {{"long.MP3", 47}, {"lone.MP3", 45}};
    for (const auto& [name, ts] : files)
        ASSERT_TRUE(WriteMp3WithFrames(Env.PathOf(name), {{"TPE1", ID3v2Builder::TextBody(1, {artist})},
                                                          {"TIT2", ID3v2Builder::TextBody(1, {title(ts)})}}));
    const QByteArray before = Bytes(Dir() + "long.MP3");
    Open();
    Window->Settings().FileNamePattern = QStringLiteral("%A - %T");
    Select({"long.MP3", "lone.MP3"});

    Trigger("ActFilenameFromID3");

    // 200 + 3 + 47 bytes; an emoji would end at 254, and ".MP3" no longer
    // fits behind it: it goes whole. Behind the 45 "t" of the second name
    // the emoji's first half alone would fit (a lone surrogate, written as
    // the 3 bytes of U+FFFD): it goes whole too.
    const QString expected = artist + QStringLiteral(" - ") + QString(47, QLatin1Char('t')) + QStringLiteral(".MP3");
    const QString second = artist + QStringLiteral(" - ") + QString(45, QLatin1Char('t')) + QStringLiteral(".MP3");
    EXPECT_TRUE(Prompt.Questions.isEmpty());
    ASSERT_EQ(FilesOnDisk().join(QLatin1Char('|')).toStdString(), (second + '|' + expected).toStdString());
    // The cut is told, with the names it gave.
    EXPECT_EQ(Prompt.Informations, QStringList({LangFmt("RenameNamesCut", {"\n\r" + second + "\n\r" + expected})}));
    EXPECT_EQ(Bytes(Dir() + expected), before);
    Trigger("ActUndo");
    Trigger("ActUndo");
    EXPECT_EQ(FilesOnDisk(), QStringList({"lone.MP3", "long.MP3"}));
}

TEST_F(RenameTest, RenameByHandKeepsTheExtensionAndRefusesTakenNames)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("song.MP3"), {{"TIT2", "Song"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("other.MP3"), {{"TIT2", "Other"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "a"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("B.mp3"), {{"TIT2", "B"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("b.mp3"), {{"TIT2", "b"}}));
    const QByteArray otherBytes = Bytes(Dir() + "other.MP3");
    Open();

    // An illegal character, then a name another file holds, then a good one.
    Select({"song.MP3"});
    Prompt.Inputs = {"a:b", "other", "new"};
    Trigger("ActRenameFile");
    EXPECT_EQ(Prompt.Offered, QStringList({"song", "a:b", "other"}));
    EXPECT_EQ(Prompt.Errors, QStringList({Lang("ErrorFileNameLetters"),
                                          LangFmt("ErrorDoubleFileName", {QStringLiteral("other.MP3")})}));
    EXPECT_EQ(Bytes(Dir() + "other.MP3"), otherBytes);
    ASSERT_NE(Entry("new.MP3"), nullptr);

    // Only the letter case changes, and no file has the new name: allowed.
    Prompt.Errors.clear();
    Select({"a.mp3"});
    Prompt.Inputs = {"A"};
    Trigger("ActRenameFile");
    EXPECT_TRUE(Prompt.Errors.isEmpty());

    // A name differing only in case from another file is that other file.
    Select({"b.mp3"});
    Prompt.Inputs = {"B"};
    Trigger("ActRenameFile");
    EXPECT_EQ(Prompt.Errors, QStringList({LangFmt("ErrorDoubleFileName", {QStringLiteral("B.mp3")})}));
    EXPECT_EQ(GetColumnText(*Entry("B.mp3"), "TIT2"), QStringLiteral("B"));

    // The same name again: nothing to do, no undo step; Cancel does nothing.
    Prompt.Errors.clear();
    Prompt.Inputs = {"b"};
    Trigger("ActRenameFile");
    Trigger("ActRenameFile");
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(RenameItems(), 2);
    EXPECT_EQ(FilesOnDisk(), QStringList({"A.mp3", "B.mp3", "b.mp3", "new.MP3", "other.MP3"}));

    // An empty name, blanks, "." or "..": the file would turn into a hidden
    // ".mp3" or worse; each is refused and asked again, an empty name as such.
    Prompt.Errors.clear();
    Prompt.Inputs = {"", "   ", ".", ".."};
    Trigger("ActRenameFile");
    EXPECT_EQ(Prompt.Errors, QStringList({Lang("ErrorFileNameEmpty"), Lang("ErrorFileNameEmpty"),
                                          LangFmt("ErrorRenameFile", {QStringLiteral("b.mp3")}),
                                          LangFmt("ErrorRenameFile", {QStringLiteral("b.mp3")})}));
    EXPECT_EQ(RenameItems(), 2);
}

TEST_F(RenameTest, ThePathLookupFollowsEveryRenameAndItsUndo)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TIT2", "Alpha"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("z.mp3"), {{"TIT2", "Zulu"}}));
    Open();
    TEintragdaten* alpha = Entry("a.mp3");
    ASSERT_NE(alpha, nullptr);

    // Renamed twice, looked up in between: the lookup knows each name at once.
    ASSERT_TRUE(Window->RenameEntry(*alpha, QStringLiteral("b.mp3")));
    EXPECT_EQ(Entry("b.mp3"), alpha);
    ASSERT_TRUE(Window->RenameEntry(*alpha, QStringLiteral("c.mp3"), false));
    EXPECT_EQ(Entry("c.mp3"), alpha);
    EXPECT_EQ(Entry("b.mp3"), nullptr);
    EXPECT_EQ(RenameItems(), 1) << "only the journalled rename is an undo step";

    // A name another file holds is refused and changes nothing.
    EXPECT_FALSE(Window->RenameEntry(*alpha, QStringLiteral("z.mp3")));
    EXPECT_EQ(Entry("c.mp3"), alpha);
    EXPECT_EQ(GetColumnText(*Entry("z.mp3"), "TIT2"), QStringLiteral("Zulu"));

    // Undo renames through the entry (its step is a.mp3 to b.mp3): the
    // lookup follows again.
    ASSERT_TRUE(Window->RenameEntry(*alpha, QStringLiteral("b.mp3"), false));
    Window->UpdateActions();
    Trigger("ActUndo");
    EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3", "z.mp3"}));
    EXPECT_EQ(Entry("a.mp3"), alpha);
    EXPECT_EQ(Entry("b.mp3"), nullptr);
}

TEST_F(RenameTest, TagsFromNamesWithAPresetAndUndoOfTheUnsavedEdit)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("07 - Артист - Song v1.2.mp3"), {{"TIT2", "old"}, {"TRCK", "1"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("01 -  - Title.mp3"), {{"TPE1", "removed"}}));
    const QByteArray before = Bytes(Dir() + "07 - Артист - Song v1.2.mp3");
    Open();

    // The preset menu marks the current pattern; choosing another replaces it.
    QMenu* presets = Window->PopupMenu("PopFilenamePresets");
    ASSERT_NE(presets, nullptr);
    Window->PopFilenamePresetsPopup();
    EXPECT_TRUE(presets->actions().at(0)->isChecked());
    presets->actions().at(2)->trigger();
    EXPECT_EQ(Window->Settings().FileNamePattern, QStringLiteral("%N - %A - %T"));

    Select({"07 - Артист - Song v1.2.mp3", "01 -  - Title.mp3"});
    Trigger("ActID3FromFilename");
    const TEintragdaten* first = Entry("07 - Артист - Song v1.2.mp3");
    const TEintragdaten* second = Entry("01 -  - Title.mp3");
    EXPECT_EQ(GetColumnText(*first, "TRCK") + "|" + GetColumnText(*first, "TPE1") + "|" + GetColumnText(*first, "TIT2"),
              QStringLiteral("7|Артист|Song v1.2"));
    EXPECT_EQ(GetColumnText(*second, "TPE1"), QString()) << "an empty part empties its field";
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukUnsavedEntries);

    // Undo drops the unsaved edits; the files were never touched.
    Trigger("ActUndo");
    EXPECT_EQ(GetColumnText(*first, "TIT2"), QStringLiteral("old"));
    EXPECT_EQ(GetColumnText(*second, "TPE1"), QStringLiteral("removed"));
    EXPECT_FALSE(first->Changed || second->Changed);
    EXPECT_EQ(Bytes(Dir() + "07 - Артист - Song v1.2.mp3"), before);

    // A pattern of the user's own is only replaced after a Yes.
    Window->Settings().FileNamePattern = QStringLiteral("%T");
    Window->PopFilenamePresetsPopup();
    presets->actions().at(1)->trigger();
    EXPECT_EQ(Window->Settings().FileNamePattern, QStringLiteral("%T"));
    EXPECT_EQ(Prompt.Questions, QStringList({Lang("FileNamePresetNotSaved")}));
    Prompt.OnQuestion = [](const QString&) { return true; };
    presets->actions().at(1)->trigger();
    EXPECT_EQ(Window->Settings().FileNamePattern, QStringLiteral("%N %A - %T"));
}

TEST_F(RenameTest, NamesFromTagsComeOnlyFromTagsTheFilesHold)
{
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("a.mp3"), {{"TPE1", "the band"}, {"TIT2", "first song"}}));
    ASSERT_TRUE(WriteTaggedMp3(Env.PathOf("b.mp3"), {{"TPE1", "the band"}, {"TIT2", "second song"}}));
    const QByteArray original = Bytes(Dir() + "a.mp3");
    Open();
    // Every file keeps its own name or has the name its stored tags make.
    const auto namesInStepWithFiles = [this] {
        for (const QString& name : FilesOnDisk()) {
            const TMutagenRead read = ReadWithMutagen(Dir() + name);
            const QString fromTags =
                MutagenTexts(read, "TPE1").value(0) + " - " + MutagenTexts(read, "TIT2").value(0) + ".mp3";
            EXPECT_TRUE(name == "a.mp3" || name == "b.mp3" || name == fromTags) << name.toStdString();
        }
    };

    // Converted case, an unsaved edit of the entries, is written first.
    Select({"a.mp3", "b.mp3"});
    Trigger("ActGrossKleinAuto");
    Trigger("ActFilenameFromID3");
    EXPECT_EQ(FilesOnDisk(), QStringList({"The Band - First Song.mp3", "The Band - Second Song.mp3"}));
    namesInStepWithFiles();
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukRename) << "nothing is left to discard";
    // Undo takes back the renames, then the written tags, newest first.
    for (int step = 0; step < 4; ++step) {
        Trigger("ActUndo");
        namesInStepWithFiles();
    }
    EXPECT_EQ(FilesOnDisk(), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(Bytes(Dir() + "a.mp3"), original);
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukNothing);

    // A title still in the input is written before a name is made from it.
    Select({"a.mp3"});
    TypeInto(InputOf(*Window, QStringLiteral("TIT2")), QStringLiteral("Typed"));
    Trigger("ActFilenameFromID3");
    EXPECT_EQ(FilesOnDisk(), QStringList({"b.mp3", "the band - Typed.mp3"}));
    namesInStepWithFiles();
    EXPECT_FALSE(Entry("the band - Typed.mp3")->Changed);

    // Tags read from the name show in the inputs at once.
    Window->Settings().FileNamePattern = QStringLiteral("%T");
    Trigger("ActID3FromFilename");
    EXPECT_EQ(ShownText(InputOf(*Window, QStringLiteral("TIT2"))), QStringLiteral("the band - Typed"));
}
