#include "FileOpsTestSupport.h"
#include "InputPanelTestSupport.h"

#include "mainwindow/FileOpRunner.h"
#include "mainwindow/SessionEnd.h"

#include "controls/MyListView.h"
#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"

#include "platform/FileOps.h"
#include "platform/RunRecord.h"

#include "support/ChildRuns.h"
#include "support/KillingLayer.h"
#include "support/Mounts.h"
#include "support/TrashCli.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QSet>
#include <QThread>
#include <QWindow>
// How a window system hands Qt the window manager's request to close a
// window: unlike QWidget::close() and QWindow::close(), such a request does
// not reach a window that a modal window blocks.
#include <qpa/qwindowsysteminterface.h>

#include <cerrno>
#include <csignal>

namespace {

// A slow disk: every piece written waits for OnWrite first.
class TSlowDiskLayer : public TFileLayer {
public:
    std::function<void()> OnWrite;
    ssize_t PWrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        if (OnWrite)
            OnWrite();
        return TFileLayer::PWrite(fd, buffer, count, offset);
    }
};

// Notes that a window was asked to close.
class TCloseWatch : public QObject {
public:
    explicit TCloseWatch(QWidget& window) { window.installEventFilter(this); }
    bool Asked = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        Asked = Asked || event->type() == QEvent::Close;
        return false;
    }
};

class FileOpsWindowTest : public ::testing::Test, protected TWindowFixture {
protected:
    QString Src() const { return Env.Folder() + "/src/"; }

    void SetUp() override
    {
        MakeFile(Src() + "a.mp3", "Song A");
        MakeFile(Src() + "b.mp3", "Song B");
        Open(Src());
    }

    // Answers every box with chosen buttons as given.
    void AnswerAsk(TPromptButton button)
    {
        Prompt.OnAsk = [button](const QString&, TPromptButtons) { return button; };
    }

    // Answers every name already taken with Replace, running work first.
    void ReplaceAfter(std::function<void()> work)
    {
        Prompt.OnChoose = [work = std::move(work)](const QString&, const QStringList&) {
            work();
            return TPromptChoice{0, false};
        };
    }

    std::vector<const TEintragdaten*> EntryAddresses() const
    {
        std::vector<const TEintragdaten*> entries;
        for (const auto& entry : Window->Entries())
            entries.push_back(entry.get());
        return entries;
    }

    // Where a click on a listed file lands, in the window.
    QPoint RowPoint(const QString& name) const
    {
        const QModelIndex row = Window->LVFiles->model()->index(static_cast<int>(ListedNames().indexOf(name)), 0);
        return Window->LVFiles->viewport()->mapTo(Window.get(), Window->LVFiles->visualRect(row).center());
    }

    // Copies a large file on a slow disk and, once the progress window shows,
    // brings the window to the front, clicks another file, presses Delete and
    // the search panel's shortcut, and asks for the window to close by
    // requestClose. None of the input reaches the window, the copy runs to
    // its end, then the window closes.
    void CloseDuringASlowCopy(const std::function<void()>& requestClose)
    {
        const QString big = Folder("big") + "/big.bin";
        if (!QFile::exists(big)) {
            QFile file(big);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            const QByteArray piece(1024 * 1024, 'x');
            for (int i = 0; i < 32; ++i)
                ASSERT_EQ(file.write(piece), piece.size());
        }
        const QString target = Folder("copied");
        QFile::remove(target + "/big.bin");
        Select({"a.mp3"});
        Window->LVFiles->setFocus();
        auto closeWatch = std::make_unique<TCloseWatch>(*Window);
        bool requested = false;
        auto disk = std::make_shared<TSlowDiskLayer>();
        disk->OnWrite = [&] {
            const auto* progress = Window->findChild<QProgressDialog*>();
            if (!requested && progress && progress->isVisible()) {
                requested = true;
                QApplication::setActiveWindow(Window.get());
                QTest::mouseClick(Window->windowHandle(), Qt::LeftButton, {}, RowPoint("b.mp3"));
                QTest::keyClick(Window->windowHandle(), Qt::Key_Delete);
                QTest::keyClick(Window->windowHandle(), Qt::Key_F3);
                requestClose();
            }
            // Slow until the window has seen the close.
            if (!closeWatch->Asked)
                QThread::msleep(10);
        };
        Window->FileOpRunner().Ops().SetFileLayer(disk);
        const int beeps = Prompt.Beeps;
        const bool searchShown = Window->IsSearchPanelShown();
        Window->ShellCopyFiles({QFile::encodeName(big)}, target);
        Window->FileOpRunner().Ops().SetFileLayer(nullptr);
        closeWatch.reset();
        EXPECT_TRUE(requested);
        EXPECT_TRUE(Bytes(target + "/big.bin") == Bytes(big)); // whole, not cancelled
        EXPECT_EQ(SelectedListRows(*Window), QList<int>({static_cast<int>(ListedNames().indexOf("a.mp3"))}));
        EXPECT_EQ(Prompt.Beeps, beeps);
        EXPECT_EQ(Window->IsSearchPanelShown(), searchShown);
        EXPECT_FALSE(Window->isVisible());
    }

    // What the error box lists for a file another program removed.
    static QString GoneLine(const QString& name)
    {
        return name + " (" + Lang("TagReasonFileMissing") + ")";
    }
};

// Refuses every trash folder, so that no trash can be used.
class TNoTrashLayer : public TFileLayer {
public:
    int Mkdir(const QByteArray& path, mode_t mode) override
    {
        if (path.contains("Trash")) {
            errno = EACCES;
            return -1;
        }
        return TFileLayer::Mkdir(path, mode);
    }
    int LStat(const QByteArray& path, struct stat& st) override
    {
        if (path.contains("Trash")) {
            errno = ENOENT;
            return -1;
        }
        return TFileLayer::LStat(path, st);
    }
};

// A trash whose record of a file cannot be written: the disk is full.
class TFullTrashInfoLayer : public TFileLayer {
public:
    int Open(const QByteArray& path, int flags, mode_t mode) override
    {
        const int fd = TFileLayer::Open(path, flags, mode);
        if (fd >= 0 && path.endsWith(".trashinfo"))
            m_infoFds.insert(fd);
        return fd;
    }
    ssize_t PWrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        if (m_infoFds.contains(fd)) {
            errno = ENOSPC;
            return -1;
        }
        return TFileLayer::PWrite(fd, buffer, count, offset);
    }
    int Close(int fd) override
    {
        m_infoFds.remove(fd);
        return TFileLayer::Close(fd);
    }

private:
    QSet<int> m_infoFds;
};

// A run killed on its way: "move" (replacing, killed before the moved file
// takes its name), "copy-replacing" (killed before the replaced file goes)
// or "copy" (killed once the first piece is written), of a file into a
// folder.
int KilledRun(const QStringList& arguments)
{
    TFileOps ops(std::make_shared<TKillingLayer>());
    ops.OnCollision = [](const QByteArray&, const QByteArray&, bool) {
        return TCollisionChoice{TCollisionAnswer::Replace, false};
    };
    ops.OnProgress = [&](const TFileOpProgress& progress) {
        if (arguments[0] == "copy" && progress.DoneBytes > 0)
            ::raise(SIGKILL);
        return true;
    };
    const QList<QByteArray> files{QFile::encodeName(arguments[1])};
    const QByteArray target = QFile::encodeName(arguments[2]);
    const TFileOpResult result = arguments[0] == "move" ? ops.Move(files, target) : ops.Copy(files, target);
    return result.Failed.empty() ? 0 : 1;
}

const TChildRegistration KilledRunRegistration("window-killed-run", KilledRun);

}

TEST_F(FileOpsWindowTest, CopyAndMoveByChosenFolderAndByHistory)
{
    Select({"a.mp3"});
    for (int i = 1; i <= 6; ++i) {
        Prompt.Folders = {Folder(QString("t%1").arg(i))};
        Trigger("ActCopyFileToSelect");
        EXPECT_EQ(Bytes(Env.Folder() + QString("/t%1/a.mp3").arg(i)), Bytes(Src() + "a.mp3"));
    }
    // Newest first, five kept: the sixth folder dropped the oldest.
    EXPECT_EQ(Window->CopyHistory().size(), 5);
    EXPECT_EQ(Window->CopyHistory().last(), Folder("t2"));

    // A history entry used goes to the top.
    Select({"b.mp3"});
    Trigger("ActCopyHistory3");
    EXPECT_TRUE(QFile::exists(Folder("t4") + "/b.mp3"));
    EXPECT_EQ(Window->CopyHistory().first(), Folder("t4"));

    // A move by the chosen folder and then by its history entry.
    Prompt.Folders = {Folder("m1")};
    Trigger("ActMoveFileToSelect");
    Select({"a.mp3"});
    Trigger("ActMoveHistory1");
    EXPECT_EQ(FilesIn(Folder("m1")), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_TRUE(ListedNames().isEmpty());
    EXPECT_TRUE(Prompt.Errors.isEmpty());

    // A target that is a file or is missing: the error names it, and nothing
    // changes.
    const QString moved = Folder("m1");
    Visit(moved);
    const QByteArray a = Bytes(moved + "/a.mp3");
    const QByteArray b = Bytes(moved + "/b.mp3");
    Select({"a.mp3"});
    for (const QString& target : {moved + "/b.mp3", Env.Folder() + "/missing"}) {
        Window->CopySelectionTo(target);
        Window->MoveSelectionTo(target);
        const QString error = LangFmt("ErrorTargetNotFolder", {QFileInfo(target).fileName()});
        EXPECT_EQ(Prompt.Errors, QStringList({error, error}));
        Prompt.Errors.clear();
    }
    EXPECT_EQ(FilesIn(moved), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(Bytes(moved + "/a.mp3"), a);
    EXPECT_EQ(Bytes(moved + "/b.mp3"), b);
    EXPECT_FALSE(QFileInfo::exists(Env.Folder() + "/missing"));
    EXPECT_EQ(ListedNames(), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_TRUE(Prompt.Asked.isEmpty());
}

TEST_F(FileOpsWindowTest, TakenNamesAskAndCopiesIntoTheirOwnFolderGetNewNames)
{
    Select({"a.mp3"});
    Window->CopySelectionTo(Src());
    EXPECT_TRUE(Prompt.Choices.isEmpty());
    EXPECT_EQ(FilesIn(Src()), QStringList({"a (2).mp3", "a.mp3", "b.mp3"}));
    EXPECT_TRUE(ListedNames().contains("a (2).mp3")); // the listed folder is read again

    const QString target = Folder("t");
    MakeFile(target + "/a.mp3", "Other");
    const QByteArray other = Bytes(target + "/a.mp3");
    std::vector<int> answers{2, 0, 3, 1}; // keep both, replace, cancel, skip
    Prompt.OnChoose = [&](const QString&, const QStringList&) {
        const int answer = answers.front();
        answers.erase(answers.begin());
        return TPromptChoice{answer, false};
    };
    Select({"a.mp3"});
    Window->CopySelectionTo(target);
    EXPECT_EQ(Bytes(target + "/a (2).mp3"), Bytes(Src() + "a.mp3"));
    EXPECT_EQ(Bytes(target + "/a.mp3"), other);
    Window->CopySelectionTo(target);
    EXPECT_EQ(Bytes(target + "/a.mp3"), Bytes(Src() + "a.mp3"));
    Window->MoveSelectionTo(target); // cancelled
    Window->MoveSelectionTo(target); // skipped
    EXPECT_TRUE(QFile::exists(Src() + "a.mp3"));
    EXPECT_EQ(FilesIn(target), QStringList({"a (2).mp3", "a.mp3"}));
    EXPECT_TRUE(Prompt.Errors.isEmpty());

    // A file moved into its own folder, and a link moved onto the
    // file it points to: nothing is asked or done, and the user is told why.
    const QString links = Folder("links");
    ASSERT_TRUE(QFile::link(Src() + "a.mp3", links + "/a.mp3"));
    const QByteArray original = Bytes(Src() + "a.mp3");
    Prompt.OnChoose = [](const QString&, const QStringList&) {
        ADD_FAILURE() << "asked";
        return TPromptChoice{1, false};
    };
    Window->ShellMoveFiles({QFile::encodeName(Src() + "a.mp3")}, Src());
    Window->ShellMoveFiles({QFile::encodeName(links + "/a.mp3")}, Src());
    ASSERT_EQ(Prompt.Informations.size(), 2);
    for (const QString& told : Prompt.Informations)
        EXPECT_TRUE(told.contains("a.mp3 (" + Lang("FileOpReasonOntoItself") + ")")) << told.toStdString();
    EXPECT_EQ(Bytes(Src() + "a.mp3"), original);
    EXPECT_TRUE(QFileInfo(links + "/a.mp3").isSymLink());
    EXPECT_TRUE(Prompt.Errors.isEmpty());
}

// An item done that could not remove the file it replaced is done: told
// with the file left behind, never offered for another try.
TEST_F(FileOpsWindowTest, AReplacedFileThatCannotBeRemovedLeavesItsItemDone)
{
    class TReplacedStay : public TFileLayer {
    public:
        int UnlinkAt(int dirFd, const QByteArray& name, int flags) override
        {
            if (name.endsWith(".replaced")) {
                errno = EACCES;
                return -1;
            }
            return TFileLayer::UnlinkAt(dirFd, name, flags);
        }
    };
    Window->FileOpRunner().Ops().SetFileLayer(std::make_shared<TReplacedStay>());
    const QString target = Folder("t");
    MakeFile(target + "/a.mp3", "Taken");
    MakeFile(target + "/Album/b.mp3", "Taken");
    MakeFile(Src() + "Album/b.mp3", "Song B");
    ReplaceAfter([] {});
    Select({"a.mp3"});
    Window->CopySelectionTo(target);
    Window->ShellMoveFiles({QFile::encodeName(Src() + "Album")}, target);
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_TRUE(Prompt.Asked.isEmpty());
    EXPECT_EQ(Bytes(target + "/a.mp3"), Bytes(Src() + "a.mp3"));
    EXPECT_FALSE(QFileInfo::exists(Src() + "Album"));
    // The folder's own question holds for folders only: its file was asked.
    EXPECT_EQ(Prompt.ForAllCaptions,
              QStringList({Lang("FileOpForAll"), Lang("FileOpForAllFolders"), Lang("FileOpForAll")}));
    ASSERT_EQ(Prompt.Informations.size(), 2);
    for (const QString& hidden : QDir(target).entryList({".a.mp3.*.replaced"}, QDir::Hidden | QDir::Files))
        EXPECT_TRUE(Prompt.Informations[0].contains(target + "/" + hidden + " (" + SystemErrorText(EACCES) + ")"))
            << Prompt.Informations[0].toStdString();
    EXPECT_TRUE(Prompt.Informations[0].startsWith(Lang("FileOpLeftBehind").section('\n', 0, 0)));
    EXPECT_TRUE(Prompt.Informations[1].contains("Album: " + target + "/Album/.b.mp3."));
}

// What killed runs left is settled when a folder is loaded, from their
// records: a move replacing a file, killed before the moved file took its
// name, is undone; a copy killed half way is removed; a copy killed after it
// took its name, before the file it replaced went, is finished. All of it is
// told once. Hidden names of the user's that only look like the program's
// are left alone and listed.
TEST_F(FileOpsWindowTest, WhatKilledRunsLeftIsSettledWhenAFolderIsLoaded)
{
    const QString target = Folder("t");
    MakeFile(target + "/a.mp3", "Taken A");
    MakeFile(target + "/b.mp3", "Taken B");
    MakeFile(Folder("more") + "/c.mp3", "Song C");
    const QString userFolder = Src() + ".Live Album.99998-Qwertyui.part/";
    MakeFile(userFolder + "01.mp3", "Live 1");
    MakeFile(userFolder + "02.mp3", "Live 2");
    ASSERT_TRUE(QFile::copy(Src() + "b.mp3", Src() + ".song.mp3.99999-abcdefgh.part"));
    const QByteArray takenA = Bytes(target + "/a.mp3");
    const QByteArray songA = Bytes(Src() + "a.mp3");
    const QByteArray songB = Bytes(Src() + "b.mp3");
    // Each run in a record folder of its own, lest the next one settle what
    // the last left; then their records go where the window looks.
    const QString records = QFile::decodeName(RunRecordFolder());
    ASSERT_TRUE(QDir().mkpath(records));
    const QList<QStringList> runs{{"move", Src() + "a.mp3", target},
                                  {"copy-replacing", Src() + "b.mp3", target},
                                  {"copy", Env.Folder() + "/more/c.mp3", Src()}};
    for (const QStringList& run : runs) {
        QTemporaryDir state;
        {
            const TScopedEnv own("XDG_STATE_HOME", state.path());
            EXPECT_TRUE(RunChild("window-killed-run", run).Killed);
        }
        const QString left = state.path() + "/Orvane/Quillon/runs";
        for (const QString& record : QDir(left).entryList(QDir::Files))
            ASSERT_TRUE(QFile::rename(left + "/" + record, records + "/" + record));
    }
    ASSERT_EQ(QDir(records).entryList(QDir::Files).size(), 3);

    Window->ActUnterordnerExecute(); // subfolders listed, the user's hidden folder among them
    EXPECT_EQ(ListedNames(), QStringList({"01.mp3", "02.mp3", "a.mp3", "b.mp3"}));
    EXPECT_EQ(Bytes(Src() + "a.mp3"), songA);
    EXPECT_EQ(Bytes(target + "/a.mp3"), takenA);
    EXPECT_EQ(Bytes(target + "/b.mp3"), songB);
    EXPECT_EQ(FilesIn(target), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(QDir(Src()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({".Live Album.99998-Qwertyui.part", ".song.mp3.99999-abcdefgh.part", "a.mp3", "b.mp3"}));
    EXPECT_EQ(FilesIn(userFolder), QStringList({"01.mp3", "02.mp3"}));
    EXPECT_EQ(QDir(records).entryList(QDir::Files), QStringList());
    ASSERT_EQ(Prompt.Informations.size(), 1);
    const QString told = Prompt.Informations[0];
    EXPECT_TRUE(told.contains(LangFmt("FileOpLeftoversRestored", {""}).trimmed())) << told.toStdString();
    EXPECT_TRUE(told.contains(Src() + "a.mp3")) << told.toStdString();
    EXPECT_TRUE(told.contains(target + "/a.mp3"));
    EXPECT_TRUE(told.contains(LangFmt("FileOpLeftoversFinished", {""}).trimmed()));
    EXPECT_TRUE(told.contains(target + "/b.mp3"));
    EXPECT_TRUE(told.contains(LangFmt("FileOpLeftoversRemoved", {""}).trimmed()));
    EXPECT_TRUE(told.contains(Src() + "c.mp3"));
    Window->ReloadFolder(true);
    EXPECT_EQ(Prompt.Informations.size(), 1);
    EXPECT_TRUE(Prompt.Errors.isEmpty());
}

// A moved file that cannot go back where it came from now (another file
// took its name meanwhile) waits under its hidden name: told once, with the
// reason, and settled at a load once its name is free.
TEST_F(FileOpsWindowTest, WhatCannotBeSettledNowIsToldOnceAndSettledLater)
{
    const QString target = Folder("t");
    MakeFile(target + "/a.mp3", "Taken A");
    const QByteArray songA = Bytes(Src() + "a.mp3");
    EXPECT_TRUE(RunChild("window-killed-run", {"move", Src() + "a.mp3", target}).Killed);
    MakeFile(Src() + "a.mp3", "Another A");
    Window->ReloadFolder(true);
    const QStringList staged = QDir(target).entryList({".a.mp3.*.moving"}, QDir::Hidden | QDir::Files);
    ASSERT_EQ(staged.size(), 1);
    EXPECT_EQ(Bytes(target + "/" + staged[0]), songA);
    ASSERT_EQ(Prompt.Informations.size(), 1);
    EXPECT_TRUE(Prompt.Informations[0].contains(target + "/a.mp3")) << Prompt.Informations[0].toStdString();
    EXPECT_TRUE(Prompt.Informations[0].contains(target + "/" + staged[0] + " (" + SystemErrorText(EEXIST) + ")"));
    Window->ReloadFolder(true);
    EXPECT_EQ(Prompt.Informations.size(), 1);

    ASSERT_TRUE(QFile::remove(Src() + "a.mp3"));
    Window->ReloadFolder(true);
    EXPECT_EQ(Bytes(Src() + "a.mp3"), songA);
    EXPECT_EQ(FilesIn(target), QStringList({"a.mp3"}));
    ASSERT_EQ(Prompt.Informations.size(), 2);
    EXPECT_TRUE(Prompt.Informations[1].contains(Src() + "a.mp3")) << Prompt.Informations[1].toStdString();
    EXPECT_EQ(QDir(QFile::decodeName(RunRecordFolder())).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(Prompt.Errors.isEmpty());
}

TEST_F(FileOpsWindowTest, DeletedFilesLeaveTheListBeforeTheReloadWritesAnything)
{
    Select({"a.mp3"});
    SetTitle(*Entry(Src() + "a.mp3"), "Applied but never written");
    // Asked first; No deletes nothing.
    AnswerAsk(pbNo);
    Window->DeleteSelection(false);
    EXPECT_EQ(Prompt.Asked, QStringList({LangFmt("ConfirmTrashFile", {"a.mp3"})}));
    EXPECT_TRUE(QFile::exists(Src() + "a.mp3"));

    AnswerAsk(pbYes);
    Window->DeleteSelection(false);
    EXPECT_EQ(FilesIn(Trash() + "/files"), QStringList({"a.mp3"}));
    EXPECT_EQ(ListedNames(), QStringList({"b.mp3"}));
    // The applied edit went with the file: nothing was written or recreated.
    EXPECT_TRUE(Prompt.Errors.isEmpty());
    EXPECT_EQ(FilesIn(Src()), QStringList({"b.mp3"}));

    // For good: not in the trash.
    MakeFile(Src() + "c.mp3", "Song C");
    Window->ReloadFolder(true);
    Select({"b.mp3", "c.mp3"});
    Window->DeleteSelection(true);
    EXPECT_EQ(Prompt.Asked.last(), LangFmt("ConfirmDeleteFiles", {"2"}));
    EXPECT_TRUE(FilesIn(Src()).isEmpty());
    EXPECT_EQ(FilesIn(Trash() + "/files"), QStringList({"a.mp3"}));
}

TEST_F(FileOpsWindowTest, AFailedTrashAsksBeforeDeletingForGoodButAFileGoneIsOnlyReported)
{
    QStringList asked;
    TPromptButton second = pbNo;
    Prompt.OnAsk = [&](const QString& text, TPromptButtons) {
        asked << text;
        return asked.size() % 2 == 1 ? pbYes : second; // confirm, then the trash question
    };
    // The file's record in the trash cannot be written: the file stays
    // where it was, and the trash holds nothing of it, as trash-cli sees.
    const QByteArray original = Bytes(Src() + "a.mp3");
    Window->FileOpRunner().Ops().SetFileLayer(std::make_shared<TFullTrashInfoLayer>());
    Select({"a.mp3"});
    Window->DeleteSelection(false);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked.value(1).contains("a.mp3"));
    EXPECT_EQ(Bytes(Src() + "a.mp3"), original);
    EXPECT_TRUE(FilesIn(Trash() + "/files").isEmpty());
    EXPECT_TRUE(FilesIn(Trash() + "/info").isEmpty());
    TProgramRun list;
    EXPECT_FALSE(ListedByTrashCli(&list).contains(Src() + "a.mp3"));
    EXPECT_EQ(list.ExitCode, 0) << "trash-list (package trash-cli): " << list.Err.toStdString();

    asked.clear();
    Window->FileOpRunner().Ops().SetFileLayer(std::make_shared<TNoTrashLayer>());
    Select({"a.mp3"});
    Window->DeleteSelection(false);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[1].startsWith(Lang("ErrorTrashFiles").section('\n', 0, 0)));
    EXPECT_TRUE(QFile::exists(Src() + "a.mp3"));

    second = pbYes;
    Select({"a.mp3"});
    Window->DeleteSelection(false);
    EXPECT_FALSE(QFile::exists(Src() + "a.mp3"));
    EXPECT_EQ(ListedNames(), QStringList({"b.mp3"}));

    // A file another program removed since the list was shown is reported
    // as gone, never offered for deleting for good or for another try.
    second = pbNo;
    for (const bool permanently : {false, true}) {
        MakeFile(Src() + "c.mp3", "Song C");
        Window->ReloadFolder(true);
        Select({"b.mp3", "c.mp3"});
        ASSERT_TRUE(QFile::remove(Src() + "c.mp3"));
        asked.clear();
        Prompt.Errors.clear();
        Window->DeleteSelection(permanently);
        ASSERT_EQ(Prompt.Errors.size(), 1) << permanently;
        EXPECT_TRUE(Prompt.Errors[0].contains(GoneLine("c.mp3"))) << Prompt.Errors[0].toStdString();
        EXPECT_FALSE(Prompt.Errors[0].contains("b.mp3"));
        if (permanently) {
            EXPECT_EQ(asked.size(), 1); // only whether to delete
        } else {
            ASSERT_EQ(asked.size(), 2);
            EXPECT_TRUE(asked[1].contains("b.mp3"));
            EXPECT_FALSE(asked[1].contains("c.mp3"));
        }
        EXPECT_EQ(ListedNames(), permanently ? QStringList() : QStringList({"b.mp3"}));
    }
}

TEST_F(FileOpsWindowTest, AFileReplacedByACopyOrMoveLosesItsUndoSteps)
{
    Select({"a.mp3", "b.mp3"});
    SetTitle(*Entry(Src() + "a.mp3"), "Saved A");
    SetTitle(*Entry(Src() + "b.mp3"), "Saved B");
    Window->SaveChangedEntries();
    // A file on another file system with a saved tag of its own, moved over
    // b.mp3: its step goes with it, b.mp3's steps do not stay behind.
    QTemporaryDir shm(QStringLiteral("/dev/shm/quillon-replace-XXXXXX"));
    const QString moving = shm.filePath("b.mp3");
    MakeFile(moving, "Moving");
    const QByteArray movingBefore = Bytes(moving);
    Visit(shm.path());
    Select({"b.mp3"});
    SetTitle(*Entry(moving), "Saved there");
    Window->SaveChangedEntries();
    const QByteArray movingSaved = Bytes(moving);
    Visit(Env.Folder() + "/src");
    const QString copied = Folder("other") + "/a.mp3";
    MakeFile(copied, "Copied");
    ReplaceAfter([] {});

    Window->ShellCopyFiles({QFile::encodeName(copied)}, Src());
    Window->ShellMoveFiles({QFile::encodeName(moving)}, Src());
    ASSERT_EQ(Bytes(Src() + "a.mp3"), Bytes(copied));
    ASSERT_EQ(Bytes(Src() + "b.mp3"), movingSaved);
    EXPECT_EQ(Prompt.Choices.size(), 2);
    const TEintragdaten* listed = Entry(Src() + "a.mp3");
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(GetFrameAsText(*FindFrame(listed->Frames, "TIT2")), QStringLiteral("Copied"));
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukTagWritten);
    Window->ActUndoExecute();
    EXPECT_EQ(Bytes(Src() + "b.mp3"), movingBefore);
    // Nothing is left to undo in the files that were replaced.
    EXPECT_EQ(Window->GetUndoKind(), TFQuillon::ukNothing);
    Window->ActUndoExecute();
    EXPECT_EQ(Bytes(Src() + "a.mp3"), Bytes(copied));
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_TRUE(Prompt.Asked.isEmpty());
}

TEST_F(FileOpsWindowTest, LoadsAndACloseWaitForARunningFileOperation)
{
    Show();
    CloseOnTermination(*Window);
    const QString target = Folder("t");
    MakeFile(target + "/a.mp3", "Taken");
    const QString elsewhere = Folder("elsewhere");
    MakeFile(elsewhere + "/e.mp3", "Song E");
    std::vector<const TEintragdaten*> entries = EntryAddresses();
    const auto stillIntact = [&] {
        EXPECT_EQ(Window->CurrentFolder(), Src());
        EXPECT_EQ(EntryAddresses(), entries);
        EXPECT_TRUE(Window->isVisible());
    };

    // The tree moves to another folder and a reload is asked for while the
    // question is up: both wait, then the tree's folder is loaded.
    ReplaceAfter([&] {
        Visit(elsewhere);
        Window->ReloadFolder(false);
        stillIntact();
    });
    Select({"a.mp3"});
    Window->CopySelectionTo(target);
    EXPECT_EQ(Bytes(target + "/a.mp3"), Bytes(Src() + "a.mp3"));
    EXPECT_EQ(Window->CurrentFolder(), elsewhere + "/");
    EXPECT_EQ(ListedNames(), QStringList({"e.mp3"}));

    // The window manager asks the window to close while the progress window
    // shows.
    Visit(Src());
    CloseDuringASlowCopy([this] {
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::DefaultDelivery>(Window->windowHandle());
    });

    // Told to end meanwhile: the window closes once the operation is done.
    Show();
    Visit(Src());
    entries = EntryAddresses();
    MakeFile(target + "/b.mp3", "Taken");
    TCloseWatch closeWatch(*Window);
    ReplaceAfter([&] {
        ::raise(SIGTERM);
        EXPECT_TRUE(WaitUntil([&] { return closeWatch.Asked; }));
        stillIntact();
    });
    Select({"b.mp3"});
    Window->MoveSelectionTo(target);
    EXPECT_EQ(FilesIn(target), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_FALSE(QFile::exists(Src() + "b.mp3"));
    EXPECT_FALSE(Window->isVisible());

    // Told to end while the progress window shows (in a new window, which
    // catches the signal again).
    Open(Src());
    Show();
    CloseOnTermination(*Window);
    CloseDuringASlowCopy([] { ::raise(SIGTERM); });
}

TEST_F(FileOpsWindowTest, UndoFollowsAMovedFileAndARenamedFolder)
{
    const QByteArray original = Bytes(Src() + "a.mp3");
    Select({"a.mp3"});
    SetTitle(*Entry(Src() + "a.mp3"), "New");
    Window->SaveChangedEntries();
    Window->MoveSelectionTo(Folder("moved"));
    Window->ActUndoExecute();
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_EQ(Bytes(Folder("moved") + "/a.mp3"), original);

    // The listed folder renamed in the tree: the list, the journal and the
    // saved old tags go with it.
    Select({"b.mp3"});
    const QByteArray originalB = Bytes(Src() + "b.mp3");
    SetTitle(*Entry(Src() + "b.mp3"), "Newer");
    Window->SaveChangedEntries();
    ASSERT_TRUE(Window->ShellTreeView1Edited(TreeIndex(Env.Folder() + "/src"), "renamed"));
    Settle();
    const QString renamed = Env.Folder() + "/renamed/";
    EXPECT_EQ(Window->CurrentFolder(), renamed);
    Window->ActUndoExecute();
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_EQ(Bytes(renamed + "b.mp3"), originalB);
    EXPECT_EQ(Window->BackHistory().last(), Env.Folder() + "/renamed");
}

TEST_F(FileOpsWindowTest, UndoOfARenameNamesAMovedFileBackWhereItIs)
{
    // Moved within the disk, and then to another one (a copy there): the
    // same renamed file, named back in the folder it is in.
    QTemporaryDir shm(QStringLiteral("/dev/shm/quillon-renamed-XXXXXX"));
    ASSERT_TRUE(shm.isValid());
    for (const QString& target : {Folder("moved"), shm.path()}) {
        Visit(Env.Folder() + "/src");
        Window->ReloadFolder(false);
        Select({"a.mp3"});
        Prompt.Inputs = {"x"};
        Trigger("ActRenameFile");
        Select({"x.mp3"});
        Window->MoveSelectionTo(target);
        Window->UpdateActions();
        Trigger("ActUndo");
        EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
        EXPECT_TRUE(Prompt.Questions.isEmpty()) << Prompt.Questions.join("|").toStdString();
        EXPECT_EQ(FilesIn(target), QStringList({"a.mp3"})) << target.toStdString();
        ASSERT_TRUE(QFile::rename(target + "/a.mp3", Src() + "a.mp3"));
    }
}

TEST_F(FileOpsWindowTest, FolderRenameWritesEditsFirstAndNeverReplaces)
{
    Select({"a.mp3"});
    SetTitle(*Entry(Src() + "a.mp3"), "Written before the rename");
    Folder("taken"); // empty: rename() would replace it
    EXPECT_FALSE(Window->ShellTreeView1Edited(TreeIndex(Env.Folder() + "/src"), "taken"));
    ASSERT_EQ(Prompt.Errors.size(), 1);
    EXPECT_TRUE(QFileInfo(Env.Folder() + "/src/b.mp3").exists());
    for (const QString bad : {"", ".", "..", "a/b"})
        EXPECT_FALSE(Window->ShellTreeView1Edited(TreeIndex(Env.Folder() + "/src"), bad)) << bad.toStdString();
    EXPECT_EQ(Prompt.Errors.size(), 5);
    Settle();

    // The edit reached the file under its old name, before the rename.
    ASSERT_TRUE(Window->ShellTreeView1Edited(TreeIndex(Env.Folder() + "/src"), "Album (live)"));
    Settle();
    EXPECT_EQ(FrameText(ReadFramesOf(Env.Folder() + "/Album (live)/a.mp3"), "TIT2"),
              QStringLiteral("Written before the rename"));
    EXPECT_EQ(Prompt.Errors.size(), 5);

    // Another program renames the folder while the question on an edit that
    // could not be written is up, and the tree reads it anew: the folder the
    // user named is gone, and nothing else is renamed in its place.
    const QString live = Env.Folder() + "/Album (live)";
    ASSERT_EQ(QDir::cleanPath(Window->CurrentFolder()), live);
    Select({"a.mp3"});
    SetTitle(*Entry(live + "/a.mp3"), "Pending");
    ASSERT_TRUE(QFile::setPermissions(live + "/a.mp3", QFile::ReadOwner));
    Prompt.OnAsk = [&](const QString&, TPromptButtons) {
        EXPECT_TRUE(QDir().rename(live, Env.Folder() + "/elsewhere"));
        Settle();
        return pbNo;
    };
    EXPECT_FALSE(Window->ShellTreeView1Edited(TreeIndex(live), "again"));
    Settle();
    EXPECT_TRUE(QFileInfo(Env.Folder() + "/elsewhere/b.mp3").exists());
    EXPECT_FALSE(QFileInfo::exists(Env.Folder() + "/again"));
    EXPECT_EQ(QDir::cleanPath(Window->CurrentFolder()), Env.Folder()); // where the tree went
    ASSERT_EQ(Prompt.Errors.size(), 6) << Prompt.Errors.mid(5).join("|").toStdString();
    EXPECT_TRUE(Prompt.Errors[5].startsWith(LangFmt("ErrorRenameFolder", {"Album (live)", ""}).chopped(3)));
}

// Files and a folder of a second view of a folder (a FUSE mount, whose
// entries the kernel remembers for a while), moved onto the folder itself
// and answered Replace: nothing is lost, and the user is told that each is
// the very file it would replace.
TEST_F(FileOpsWindowTest, WhatASecondViewShowsMovedOntoItsRealFolderIsLeftAsItIs)
{
    const QString real = Folder("real");
    MakeFile(real + "/w1.mp3", "One");
    MakeFile(real + "/w2.mp3", "Two");
    MakeFile(real + "/Album/x.mp3", "X");
    const QString view = Env.Folder() + "/view";
    const TBindView mount(real, view);
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Why().toStdString();
    const QByteArray one = Bytes(real + "/w1.mp3");
    const QByteArray two = Bytes(real + "/w2.mp3");
    const QByteArray x = Bytes(real + "/Album/x.mp3");
    Visit(view);
    ASSERT_EQ(ListedNames(), QStringList({"w1.mp3", "w2.mp3"}));
    ReplaceAfter([] {});
    Select({"w1.mp3", "w2.mp3"});
    Window->MoveSelectionTo(real);
    Window->ShellMoveFiles({QFile::encodeName(view + "/Album")}, real);
    EXPECT_TRUE(Prompt.Choices.isEmpty());
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    ASSERT_EQ(Prompt.Informations.size(), 2);
    const QString onto = " (" + Lang("FileOpReasonOntoItself") + ")";
    EXPECT_TRUE(Prompt.Informations[0].contains("w1.mp3" + onto)) << Prompt.Informations[0].toStdString();
    EXPECT_TRUE(Prompt.Informations[0].contains("w2.mp3" + onto));
    EXPECT_TRUE(Prompt.Informations[1].contains("Album" + onto));
    EXPECT_EQ(Bytes(real + "/w1.mp3"), one);
    EXPECT_EQ(Bytes(real + "/w2.mp3"), two);
    EXPECT_EQ(Bytes(real + "/Album/x.mp3"), x);
    EXPECT_EQ(QDir(real).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Album", "w1.mp3", "w2.mp3"}));
    EXPECT_EQ(ListedNames(), QStringList({"w1.mp3", "w2.mp3"}));
}

// On a stick that ignores case (exFAT), every road that renames takes a new
// case for the very file: a file by hand and back by undo, file names by case
// conversion, a folder in the tree. Nothing hidden stays behind.
TEST_F(FileOpsWindowTest, OnAStickThatIgnoresCaseEveryRenameTakesANewCase)
{
    QTemporaryDir images;
    const TExFatStick stick(images.filePath("stick"));
    if (!stick.Mounted())
        GTEST_SKIP() << stick.Why().toStdString();
    const QString folder = stick.Path();
    MakeFile(folder + "/song.mp3", "Song");
    MakeFile(folder + "/two words.mp3", "Two");
    MakeFile(folder + "/album/x.mp3", "X");
    const QByteArray song = Bytes(folder + "/song.mp3");
    const auto names = [&] {
        QStringList all = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        all.sort(Qt::CaseInsensitive);
        return all;
    };
    Open(folder);
    Settle();
    ASSERT_EQ(ListedNames(), QStringList({"song.mp3", "two words.mp3"}));

    Select({"song.mp3"});
    Prompt.Inputs = {"Song"};
    Trigger("ActRenameFile");
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_EQ(names(), QStringList({"album", "Song.mp3", "two words.mp3"}));
    EXPECT_EQ(Bytes(folder + "/Song.mp3"), song);
    Trigger("ActUndo");
    EXPECT_EQ(names(), QStringList({"album", "song.mp3", "two words.mp3"}));

    Trigger("ActGrossKleinDateiname");
    Select({"two words.mp3"});
    Trigger("ActGrossKleinAuto");
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_EQ(names(), QStringList({"album", "song.mp3", "Two Words.mp3"}));

    ASSERT_TRUE(Window->ShellTreeView1Edited(TreeIndex(folder + "/album"), "Album"));
    Settle();
    EXPECT_TRUE(Prompt.Errors.isEmpty()) << Prompt.Errors.join("|").toStdString();
    EXPECT_EQ(names(), QStringList({"Album", "song.mp3", "Two Words.mp3"}));
    EXPECT_EQ(QDir(folder + "/Album").entryList(QDir::Files), QStringList({"x.mp3"}));
    EXPECT_EQ(QDir(QFile::decodeName(RunRecordFolder())).entryList(QDir::Files), QStringList());
}
