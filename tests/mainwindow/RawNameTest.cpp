// Files and folders whose names are not valid UTF-8, checked with Python's
// os.listdir on bytes and mutagen on the raw path.
#include "RenameTestSupport.h"

#include "mainwindow/FileListModel.h"
#include "mainwindow/ShellTreeModel.h"
#include "common/ColumnCatalogue.h"
#include "support/MutagenReader.h"
#include "support/NativeFiles.h"
#include "tagengine/DisplayTexts.h"

#include "localisation/MultiLanguage.h"
#include "platform/NativePath.h"

#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QByteArray Latin1Name = "Caf\xe9 latin1.mp3";    // a Latin-1 byte
const QByteArray ContinuationName = "a\x80z.mp3";       // a lone continuation byte
const QByteArray OverlongName = "\xe0\x80\x80 overlong.mp3"; // an overlong NUL

class RawNameTest : public ::testing::Test, protected TRenameFixture {
protected:
    QByteArray NativeDir() const { return QFile::encodeName(Env.Folder()) + '/'; }

    void Put(const QByteArray& name, const TTextFrames& frames, int audioFrames = 8)
    {
        ASSERT_TRUE(WriteNativeFile(NativeDir() + name, TaggedMp3(frames, audioFrames)));
    }

    // The entry listed under these bytes (folder and name).
    TEintragdaten* EntryOf(const QByteArray& nativePath) const
    {
        for (const auto& entry : Window->Entries())
            if (entry->NativePath() == nativePath)
                return entry.get();
        return nullptr;
    }

    void SelectEntry(const TEintragdaten* wanted)
    {
        auto* model = Window->LVFiles->model();
        const auto& entries = Window->Entries();
        for (size_t row = 0; row < entries.size(); ++row)
            if (entries[row].get() == wanted)
                Window->LVFiles->selectionModel()->select(
                    model->index(static_cast<int>(row), 0),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    QString ShownCell(const TEintragdaten& entry, const char* column) const
    {
        return GetShownCellText(entry, FindColumnIndex(QString::fromLatin1(column)));
    }
};

}

TEST_F(RawNameTest, FilesAreListedReadWrittenAndUndoneByTheirBytes)
{
    Put(Latin1Name, {{"TPE1", "Latin"}, {"TIT2", "One"}}, 40);
    Put(ContinuationName, {{"TIT2", "Two"}});
    Put(OverlongName, {{"TIT2", "Three"}});
    Put("plain.mp3", {{"TIT2", "Plain"}});
    const QByteArray original = ReadNativeFile(NativeDir() + Latin1Name);
    Open();

    ASSERT_EQ(Window->Entries().size(), 4u);
    for (const QByteArray& name : {Latin1Name, ContinuationName, OverlongName}) {
        const TEintragdaten* entry = EntryOf(NativeDir() + name);
        ASSERT_NE(entry, nullptr) << name.toHex().toStdString();
        EXPECT_GT(entry->Length, 0) << name.toHex().toStdString();
        EXPECT_EQ(ShownCell(*entry, "*FIN"), entry->FileName + QStringLiteral(" (") + Lang("NameNotValidUTF8") + ')');
        EXPECT_EQ(Window->FindEntryByPath(entry->PathKey()), entry);
    }
    TEintragdaten& latin = *EntryOf(NativeDir() + Latin1Name);
    EXPECT_EQ(GetColumnText(latin, "TIT2"), QStringLiteral("One"));
    EXPECT_EQ(ShownCell(*EntryOf(NativeDir() + "plain.mp3"), "*FIN"), QStringLiteral("plain.mp3"));
    SelectEntry(&latin);
    EXPECT_TRUE(Window->StatusText().endsWith(NameNotValidUTF8Mark()));

    // A title too long for the old tag: the file is copied through a
    // temporary file beside it, which takes the place of the original.
    const QString longTitle = QString(300, QLatin1Char('t'));
    SetTitle(latin, longTitle);
    Window->SaveChangedEntries();
    EXPECT_TRUE(Prompt.Questions.isEmpty());
    const TMutagenRead read = ReadWithMutagen(NativeDir() + Latin1Name);
    ASSERT_TRUE(read.Ok) << read.Error.toStdString();
    EXPECT_EQ(MutagenTexts(read, "TIT2") + MutagenTexts(read, "TPE1"), QStringList({longTitle, "Latin"}));
    EXPECT_EQ(ListWithPython(NativeDir()),
              QList<QByteArray>({Latin1Name, ContinuationName, "plain.mp3", OverlongName}));

    // The undo puts the old tag back through the same bytes.
    Window->LVFiles->selectionModel()->clearSelection();
    EXPECT_EQ(Window->Action("ActUndo")->text(), LangFmt("UndoSaveID3", {QFile::decodeName(Latin1Name)}));
    Trigger("ActUndo");
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(ReadNativeFile(NativeDir() + Latin1Name), original);
}

TEST_F(RawNameTest, RenamesGiveValidNamesAndUndoGivesTheExactBytesBack)
{
    Put(Latin1Name, {{"TIT2", "Latin"}});
    Put(ContinuationName, {{"TPE1", "Artist"}, {"TIT2", "From tags"}});
    // Shown exactly like the Latin-1 file, yet another file.
    const QByteArray twin = "Caf\xc9 latin1.mp3";
    Put(twin, {{"TIT2", "Twin"}});
    const QByteArray latinBytes = ReadNativeFile(NativeDir() + Latin1Name);
    Open();
    ASSERT_EQ(Window->Entries().size(), 3u);
    TEintragdaten* latin = EntryOf(NativeDir() + Latin1Name);
    ASSERT_NE(latin, nullptr);
    ASSERT_NE(EntryOf(NativeDir() + twin), nullptr);
    EXPECT_NE(latin->PathKey(), EntryOf(NativeDir() + twin)->PathKey());

    // By hand: the shown name is offered, the typed one is valid UTF-8.
    SelectEntry(latin);
    Prompt.Inputs = {QStringLiteral("Caf\u00e9")};
    Trigger("ActRenameFile");
    EXPECT_EQ(Prompt.Offered, QStringList({QFile::decodeName("Caf\xe9 latin1")}));
    EXPECT_EQ(latin->NativePath(), NativeDir() + "Caf\xc3\xa9.mp3");

    // From tags.
    TEintragdaten* continuation = EntryOf(NativeDir() + ContinuationName);
    SelectEntry(continuation);
    Trigger("ActFilenameFromID3");
    EXPECT_EQ(continuation->FileName, QStringLiteral("Artist - From tags.mp3"));
    EXPECT_EQ(ListWithPython(NativeDir()),
              QList<QByteArray>({"Artist - From tags.mp3", "Caf\xc3\xa9.mp3", twin}));

    // Undo, newest first: each file gets its own old bytes, the twin is
    // never touched.
    Window->LVFiles->selectionModel()->clearSelection();
    Trigger("ActUndo");
    EXPECT_EQ(continuation->NativePath(), NativeDir() + ContinuationName);
    Trigger("ActUndo");
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(ListWithPython(NativeDir()), QList<QByteArray>({twin, Latin1Name, ContinuationName}));
    EXPECT_EQ(ReadNativeFile(NativeDir() + Latin1Name), latinBytes);
    EXPECT_EQ(Window->FindEntryByPath(latin->PathKey()), latin);

    // Taking the shown name as offered is a rename too: the file gets that
    // name in valid UTF-8, replacement characters and all.
    TEintragdaten* twinEntry = EntryOf(NativeDir() + twin);
    SelectEntry(twinEntry);
    Prompt.Offered.clear();
    Prompt.Inputs = {QFile::decodeName("Caf\xc9 latin1")};
    Trigger("ActRenameFile");
    EXPECT_EQ(twinEntry->NativePath(), NativeDir() + "Caf\xef\xbf\xbd latin1.mp3");
}

TEST_F(RawNameTest, CaseConversionKeepsTheBytesItDoesNotChangeAndFileDatesGoByTheBytes)
{
    const QByteArray name = "caf\xe9 song.mp3";
    // Tags already in case: the only change is the name.
    Put(name, {{"TIT2", "X"}});
    Put("\xe9T\xe9.mp3", {{"TIT2", "Y"}});
    Open();
    Select({QFile::decodeName(name), QFile::decodeName("\xe9T\xe9.mp3")});
    Trigger("ActGrossKleinDateiname");
    Trigger("ActGrossKleinAuto");
    // Only letters change; a name whose letters are in case is left alone.
    EXPECT_EQ(ListWithPython(NativeDir()), QList<QByteArray>({"Caf\xe9 Song.mp3", "\xe9T\xe9.mp3"}));
    EXPECT_EQ(Window->UndoList().Count(), 1);
    Window->LVFiles->selectionModel()->clearSelection();
    Trigger("ActUndo");
    EXPECT_EQ(ListWithPython(NativeDir()), QList<QByteArray>({name, "\xe9T\xe9.mp3"}));

    // The file date and its undo reach the file by its bytes.
    TEintragdaten& entry = *EntryOf(NativeDir() + name);
    const qint64 oldNs = 1000000000LL * 1000000000LL;
    Window->UndoList().AddFileDate(entry.PathKey(), oldNs);
    Window->ActUndoExecute();
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    struct stat st {};
    ASSERT_EQ(::stat((NativeDir() + name).constData(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(entry.LastWriteNs, oldNs);
}

TEST_F(RawNameTest, FileOperationsTakeTheBytes)
{
    const QByteArray target = NativeDir() + "Cible \xe9";
    ASSERT_TRUE(MakeNativeFolder(target));
    Put(Latin1Name, {{"TIT2", "Moved"}});
    Put(ContinuationName, {{"TIT2", "Copied"}});
    Put(OverlongName, {{"TIT2", "Deleted"}});
    const QByteArray moved = ReadNativeFile(NativeDir() + Latin1Name);
    Open();

    SelectEntry(EntryOf(NativeDir() + Latin1Name));
    Window->MoveSelectionTo(PathFromNative(target));
    SelectEntry(EntryOf(NativeDir() + ContinuationName));
    Window->CopySelectionTo(PathFromNative(target));
    EXPECT_EQ(ListWithPython(target), QList<QByteArray>({Latin1Name, ContinuationName}));
    EXPECT_EQ(ReadNativeFile(target + '/' + Latin1Name), moved);

    SelectEntry(EntryOf(NativeDir() + OverlongName));
    Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
    Window->DeleteSelection(true);
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(ListWithPython(NativeDir()), QList<QByteArray>({"Cible \xe9", ContinuationName}));
    EXPECT_EQ(Window->Entries().size(), 1u);

    // A folder of such a name renamed in the tree gets a valid one.
    const QModelIndex node = Window->ShellTreeModel->index(PathFromNative(target));
    ASSERT_TRUE(Window->ShellTreeView1Edited(node, QStringLiteral("Cible")));
    EXPECT_EQ(ListWithPython(NativeDir()), QList<QByteArray>({"Cible", ContinuationName}));
}

TEST_F(RawNameTest, AFolderWithSuchANameIsShownInTheTreeOpensAndListsItsFiles)
{
    const QByteArray folder = NativeDir() + "Dossier \xe9t\xe9";
    ASSERT_TRUE(MakeNativeFolder(folder));
    ASSERT_TRUE(MakeNativeFolder(folder + "/sub\xff"));
    ASSERT_TRUE(WriteNativeFile(folder + "/inside.mp3", TaggedMp3({{"TIT2", "Inside"}})));
    ASSERT_TRUE(WriteNativeFile(folder + "/sub\xff/" + Latin1Name, TaggedMp3({{"TIT2", "Below"}})));
    Open();

    // The user opens the test folder in the tree and picks the folder.
    const QModelIndex parent = Window->ShellTreeModel->index(Env.Folder());
    Window->ShellTreeModel->fetchMore(parent);
    QModelIndex node;
    for (int row = 0; row < Window->ShellTreeModel->rowCount(parent); ++row)
        if (Window->ShellTreeModel->fileName(Window->ShellTreeModel->index(row, 0, parent))
            == QFile::decodeName("Dossier \xe9t\xe9"))
            node = Window->ShellTreeModel->index(row, 0, parent);
    ASSERT_TRUE(node.isValid());
    Window->ShellTreeView1->setCurrentIndex(node);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window->Entries().size() == 1; }, 5000));
    EXPECT_EQ(Window->CurrentFolder(), PathFromNative(folder + '/'));

    // A folder given by its shown name (a stored start folder) is found too.
    const QString shown = QFile::decodeName(folder);
    Window->SetTreePath(Env.Folder());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window->CurrentFolder() == Dir(); }, 5000));
    Window->LoadFolder(shown, false);
    ASSERT_EQ(Window->Entries().size(), 1u);
    TEintragdaten& inside = *Window->Entries().front();
    EXPECT_EQ(inside.NativePath(), folder + "/inside.mp3");
    EXPECT_EQ(GetColumnText(inside, "TIT2"), QStringLiteral("Inside"));
    EXPECT_EQ(ShownCell(inside, "*DIR"), GetColumnText(inside, "*DIR") + NameNotValidUTF8Mark());

    // With subfolders, the levels below go by their bytes too; an edit that
    // needs a new file beside the old one is written there.
    Window->ActUnterordnerExecute();
    ASSERT_EQ(Window->Entries().size(), 2u);
    TEintragdaten* below = EntryOf(folder + "/sub\xff/" + Latin1Name);
    ASSERT_NE(below, nullptr);
    const QString title = QString(200, QLatin1Char('e'));
    SetTitle(*below, title);
    Window->SaveChangedEntries();
    EXPECT_TRUE(Prompt.Questions.isEmpty());
    EXPECT_EQ(MutagenTexts(ReadWithMutagen(folder + "/sub\xff/" + Latin1Name), "TIT2"), QStringList({title}));
    EXPECT_EQ(ListWithPython(folder + "/sub\xff"), QList<QByteArray>({Latin1Name}));
}

TEST_F(RawNameTest, ACommandLinePathKeepsItsBytes)
{
    const QByteArray folder = NativeDir() + "\xff";
    ASSERT_TRUE(MakeNativeFolder(folder));
    ASSERT_TRUE(WriteNativeFile(folder + "/other.mp3", TaggedMp3({{"TIT2", "Other"}})));
    ASSERT_TRUE(WriteNativeFile(folder + '/' + Latin1Name, TaggedMp3({{"TIT2", "Chosen"}})));

    Window = std::make_unique<TFQuillon>(QStringList({PathFromNative(folder + '/' + Latin1Name)}));
    Window->FormShow();
    ASSERT_EQ(Window->Entries().size(), 2u);
    EXPECT_EQ(Window->CurrentFolder(), PathFromNative(folder + '/'));
    EXPECT_EQ(Window->ShellTreeModel->NativePath(Window->ShellTreeView1->currentIndex()), folder);
    const TEintragdaten* chosen = EntryOf(folder + '/' + Latin1Name);
    ASSERT_NE(chosen, nullptr);
    EXPECT_TRUE(chosen->Edited);
    EXPECT_FALSE(EntryOf(folder + "/other.mp3")->Edited);
}
