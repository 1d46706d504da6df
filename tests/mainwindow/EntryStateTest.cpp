// Files whose tags cannot be changed (a damaged tag, an ID3v2.2 tag, a file
// that cannot be read): how the list marks them, what the inputs allow and
// what a save does with them.

#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"

#include "localisation/MultiLanguage.h"
#include "mainwindow/FileListModel.h"
#include "tagengine/DisplayTexts.h"

namespace {

QByteArray Audio()
{
    return Mp3Builder::CbrFrames(MpegFormat{}, 8);
}

// A tag whose declared size runs far past the end of the file, as in a file
// whose download broke off: its frames are read as far as they go.
bool WriteTruncatedTag(const QString& path, const QString& title)
{
    const QByteArray tag = ID3v2Builder(3).Frame("TIT2", Text(title)).Padding(64).DeclaredTagSize(100000).Build();
    return Mp3Builder::WriteFile(path, Mp3Builder::File({tag, Audio(), {}, {}}));
}

// An ID3v2.2 tag, a version that is not read.
bool WriteVersion22Tag(const QString& path)
{
    const QByteArray tag = QByteArray("ID3\x02\x00\x00", 6) + ID3v2Builder::SyncSafe(20) + QByteArray(20, '\0');
    return Mp3Builder::WriteFile(path, Mp3Builder::File({tag, Audio(), {}, {}}));
}

class EntryStateTest : public ::testing::Test, public TFilesWindowFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("Good")}}));
        ASSERT_TRUE(WriteTruncatedTag(Path("damaged.mp3"), QStringLiteral("Partial")));
        ASSERT_TRUE(WriteVersion22Tag(Path("old.mp3")));
        ASSERT_TRUE(QFile(Path("empty.mp3")).open(QIODevice::WriteOnly));
        Window = Open();
        ASSERT_EQ(Window->Entries().size(), 4u);
    }

    int Row(const QString& name) const
    {
        for (size_t row = 0; row < Window->Entries().size(); ++row)
            if (Window->Entries()[row]->FileName == name)
                return static_cast<int>(row);
        return -1;
    }

    const TEintragdaten& Entry(const QString& name) const
    {
        return *Window->Entries().at(static_cast<size_t>(Row(name)));
    }

    QVariant ToolTip(const QString& name) const
    {
        // Any column of the row tells it.
        return Window->LVFiles->model()->index(Row(name), 1).data(Qt::ToolTipRole);
    }

    void Select(const QStringList& names) { SelectByName(*Window, names); }

    TID3v2Frame* Title() const { return InputOf(*Window, "TIT2"); }

    std::unique_ptr<TFQuillon> Window;
};

}

TEST_F(EntryStateTest, TheListShowsWhyAFileCannotBeReadOrChanged)
{
    EXPECT_EQ(RowImageOf(Entry("a.mp3"), nullptr), riNormal);
    EXPECT_FALSE(ToolTip("a.mp3").isValid());
    EXPECT_EQ(RowImageOf(Entry("damaged.mp3"), nullptr), riUnsupported);
    EXPECT_EQ(ToolTip("damaged.mp3").toString(), LangFmt("StateTagNotWritable", {Lang("TagReasonTagDamaged")}));
    EXPECT_EQ(RowImageOf(Entry("old.mp3"), nullptr), riUnsupported);
    EXPECT_EQ(ToolTip("old.mp3").toString(),
              LangFmt("StateTagNotWritable", {LangFmt("TagReasonVersionUnsupported", {QStringLiteral("2")})}));
    EXPECT_EQ(RowImageOf(Entry("empty.mp3"), nullptr), riReadFailed);
    EXPECT_EQ(ToolTip("empty.mp3").toString(), LangFmt("StateReadFailed", {Lang("TagReasonFileEmpty")}));
    for (const char* name : {"damaged.mp3", "old.mp3", "empty.mp3"})
        EXPECT_FALSE(ToolTip(QString::fromLatin1(name)).toString().contains(QLatin1Char('%'))) << name;

    // A file gone since the list was read says so once it is read again.
    ASSERT_TRUE(QFile::remove(Path("a.mp3")));
    Window->ReadEntry(const_cast<TEintragdaten&>(Entry("a.mp3")));
    EXPECT_EQ(ToolTip("a.mp3").toString(), LangFmt("StateReadFailed", {Lang("TagReasonFileMissing")}));
}

TEST_F(EntryStateTest, ADamagedTagAloneIsShownReadOnlyAndNeverWritten)
{
    const QByteArray before = Mp3Builder::ReadFile(Path("damaged.mp3"));
    Select({"damaged.mp3"});
    ASSERT_EQ(Window->EditedCount(), 1);
    ASSERT_NE(Title(), nullptr);
    EXPECT_EQ(ShownText(Title()), QStringLiteral("Partial"));
    for (const TID3v2Frame* input : Window->PageInputs())
        EXPECT_TRUE(input->IsReadOnly()) << input->FrameID().toStdString();
    // The status bar says why, not only the row's tool tip.
    EXPECT_EQ(Window->StatusText(), LangFmt("StateTagNotWritable", {Lang("TagReasonTagDamaged")}));
    TypeInto(Title(), QStringLiteral("Lost"));
    EXPECT_EQ(ShownText(Title()), QStringLiteral("Partial"));
    EXPECT_FALSE(Window->HasModifiedInputs());

    // An ID3v2.2 tag alike; a good file takes edits again.
    Select({"old.mp3"});
    EXPECT_TRUE(Title()->IsReadOnly());
    EXPECT_EQ(Window->StatusText(),
              LangFmt("StateTagNotWritable", {LangFmt("TagReasonVersionUnsupported", {QStringLiteral("2")})}));
    Select({"a.mp3"});
    EXPECT_FALSE(Title()->IsReadOnly());
    EXPECT_EQ(Window->StatusText(), Lang("StatusBarSelOne"));
    EXPECT_EQ(Mp3Builder::ReadFile(Path("damaged.mp3")), before);
    EXPECT_TRUE(Env.Prompt.Informations.isEmpty());
    EXPECT_TRUE(Env.Prompt.Asked.isEmpty());
}

TEST_F(EntryStateTest, AmongOtherFilesTheyAreSkippedAndListedWhenSaving)
{
    const QByteArray damaged = Mp3Builder::ReadFile(Path("damaged.mp3"));
    const QByteArray old = Mp3Builder::ReadFile(Path("old.mp3"));
    Select({"a.mp3", "damaged.mp3", "old.mp3"});
    ASSERT_EQ(Window->EditedCount(), 3);
    EXPECT_FALSE(Title()->IsReadOnly());
    TypeInto(Title(), QStringLiteral("Both"));
    Select({"empty.mp3"});

    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), "TIT2"), QStringLiteral("Both"));
    EXPECT_EQ(Mp3Builder::ReadFile(Path("damaged.mp3")), damaged);
    EXPECT_EQ(Mp3Builder::ReadFile(Path("old.mp3")), old);
    const QString reasons = QStringLiteral("\n\rdamaged.mp3 (") + Lang("TagReasonTagDamaged") + QStringLiteral(")\n\rold.mp3 (")
                            + LangFmt("TagReasonVersionUnsupported", {QStringLiteral("2")}) + QLatin1Char(')');
    EXPECT_EQ(Env.Prompt.Informations, QStringList({LangFmt("ErrorTagsNotWritable", {reasons})}));
    EXPECT_TRUE(Env.Prompt.Asked.isEmpty()) << "skipped files are no failure to retry";
    // Memory holds what the files hold.
    EXPECT_EQ(GetColumnText(Entry("damaged.mp3"), "TIT2"), QStringLiteral("Partial"));
    EXPECT_FALSE(Entry("damaged.mp3").Changed);
}

TEST_F(EntryStateTest, AFileThatCouldNotBeReadIsNeverEdited)
{
    Select({"empty.mp3"});
    EXPECT_EQ(Window->EditedCount(), 0);
    EXPECT_EQ(Window->StatusText(), Lang("StatusBarSelNothing"));
    for (const TID3v2Frame* input : Window->PageInputs())
        EXPECT_FALSE(input->isEnabled()) << input->FrameID().toStdString();

    // With a good file, only the good file is edited and written.
    Select({"empty.mp3", "a.mp3"});
    EXPECT_EQ(Window->EditedCount(), 1);
    EXPECT_FALSE(Title()->IsReadOnly());
    TypeInto(Title(), QStringLiteral("Only"));
    Select({});
    EXPECT_EQ(FrameText(ReadFramesOf(Path("a.mp3")), "TIT2"), QStringLiteral("Only"));
    EXPECT_EQ(QFile(Path("empty.mp3")).size(), 0);
    EXPECT_TRUE(Env.Prompt.Informations.isEmpty());
    EXPECT_TRUE(Env.Prompt.Asked.isEmpty());
}
