#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray B(const QString& path)
{
    return QFile::encodeName(path);
}

void WriteFile(const QString& path, const QByteArray& data, mode_t mode = 0644, qint64 mtimeSeconds = 1500000000)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
    file.close();
    ASSERT_EQ(::chmod(B(path).constData(), mode), 0);
    struct timespec times[2] = {{mtimeSeconds - 100, 5}, {mtimeSeconds, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, B(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Read by the name's own bytes (names that are no valid UTF-8 too).
QByteArray ReadRaw(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "<missing>";
    QByteArray data(4096, 0);
    const ssize_t got = ::read(fd, data.data(), static_cast<size_t>(data.size()));
    ::close(fd);
    data.truncate(got < 0 ? 0 : got);
    return data;
}

struct stat LStatOf(const QString& path)
{
    struct stat st {};
    ::lstat(B(path).constData(), &st);
    return st;
}

// Bytes that differ from offset to offset, so that a misplaced piece shows.
QByteArray Pattern(qint64 size, int seed = 1)
{
    QByteArray data(size, Qt::Uninitialized);
    quint32 x = 2463534242u + static_cast<quint32>(seed);
    for (char& c : data) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return data;
}

// Every name in a folder tree, relative, "/" after folders, with hidden ones.
QStringList Tree(const QString& folder)
{
    QStringList names;
    QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        if (info.isDir() && !info.isSymLink()) {
            names << info.fileName() + "/";
            for (const QString& inner : Tree(info.filePath()))
                names << info.fileName() + "/" + inner;
        } else {
            names << info.fileName();
        }
    }
    return names;
}

// A file layer that fails the n-th call of one kind with an error; calls are
// counted from the moment it is armed.
class TFaultLayer : public TFileLayer {
public:
    std::string Kind;
    int FailAt = 0;
    int Error = EIO;
    std::map<std::string, int> Calls;
    // Only calls whose path satisfies this are counted (nullptr: all).
    std::function<bool(const QByteArray&)> PathFilter;
    bool CorruptWrites = false;

    int Open(const QByteArray& path, int flags, mode_t mode) override
    {
        if ((flags & O_CREAT) && Hit("create", path))
            return -1;
        return TFileLayer::Open(path, flags, mode);
    }
    ssize_t PWrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        if (Hit("write", {}))
            return -1;
        if (CorruptWrites && count > 0) {
            QByteArray copy(static_cast<const char*>(buffer), static_cast<qsizetype>(count));
            copy[0] = static_cast<char>(copy[0] ^ 0x55);
            return TFileLayer::PWrite(fd, copy.constData(), count, offset);
        }
        return TFileLayer::PWrite(fd, buffer, count, offset);
    }
    ssize_t PRead(int fd, void* buffer, size_t count, off_t offset) override
    {
        return Hit("read", {}) ? -1 : TFileLayer::PRead(fd, buffer, count, offset);
    }
    int FSync(int fd) override { return Hit("fsync", {}) ? -1 : TFileLayer::FSync(fd); }
    int FChmod(int fd, mode_t mode) override { return Hit("fchmod", {}) ? -1 : TFileLayer::FChmod(fd, mode); }
    int FUtimens(int fd, const struct timespec times[2]) override
    {
        return Hit("futimens", {}) ? -1 : TFileLayer::FUtimens(fd, times);
    }
    int Close(int fd) override
    {
        const int result = TFileLayer::Close(fd);
        return Hit("close", {}) ? -1 : result;
    }
    int Rename(const QByteArray& from, const QByteArray& to) override
    {
        return Hit("rename", from) ? -1 : TFileLayer::Rename(from, to);
    }
    int RenameNoReplace(const QByteArray& from, const QByteArray& to) override
    {
        return Hit("rename", from) ? -1 : TFileLayer::RenameNoReplace(from, to);
    }
    int Unlink(const QByteArray& path) override { return Hit("unlink", path) ? -1 : TFileLayer::Unlink(path); }
    int Mkdir(const QByteArray& path, mode_t mode) override
    {
        return Hit("mkdir", path) ? -1 : TFileLayer::Mkdir(path, mode);
    }

private:
    bool Hit(const std::string& kind, const QByteArray& path)
    {
        if (kind != Kind || (PathFilter && !path.isEmpty() && !PathFilter(path)))
            return false;
        if (++Calls[kind] != FailAt)
            return false;
        errno = Error;
        return true;
    }
};

class FileOpsTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Src() const { return Dir.filePath("src"); }
    QString Dst() const { return Dir.filePath("dst"); }
    QString S(const QString& name) const { return Src() + "/" + name; }
    QString D(const QString& name) const { return Dst() + "/" + name; }

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(Src()));
        ASSERT_TRUE(QDir().mkpath(Dst()));
    }
    // Qt cannot remove names that are no valid UTF-8.
    void TearDown() override { QProcess::execute("rm", {"-rf", Dir.path()}); }

    // An answer for every collision, recording what was asked.
    static void AnswerAll(TFileOps& ops, TCollisionAnswer answer, QStringList& asked, bool forAll = false)
    {
        ops.OnCollision = [&asked, answer, forAll](const QByteArray& source, const QByteArray&, bool) {
            asked << QFile::decodeName(PathName(source));
            return TCollisionChoice{answer, forAll};
        };
    }
};

void ExpectSameFile(const QString& original, const QString& copy)
{
    const struct stat a = LStatOf(original);
    const struct stat b = LStatOf(copy);
    EXPECT_EQ(ReadFile(original), ReadFile(copy)) << copy.toStdString();
    EXPECT_EQ(a.st_mode, b.st_mode) << copy.toStdString();
    EXPECT_EQ(a.st_mtim.tv_sec, b.st_mtim.tv_sec) << copy.toStdString();
    EXPECT_EQ(a.st_mtim.tv_nsec, b.st_mtim.tv_nsec) << copy.toStdString();
}

// A tree with a file of several pieces, a read-only file, a subfolder, a
// link and a file whose name is no valid UTF-8.
void MakeAlbum(const QString& folder)
{
    WriteFile(folder + "/01 Intro.mp3", Pattern(3 * 1024 * 1024 + 17), 0640);
    WriteFile(folder + "/02 Song.mp3", "song", 0444, 1400000000);
    WriteFile(folder + "/Bonus/03 Live.mp3", Pattern(1000, 3), 0600);
    ASSERT_EQ(::symlink("01 Intro.mp3", B(folder + "/link.mp3").constData()), 0);
    const QByteArray latin1 = B(folder) + "/Caf\xe9.mp3";
    const int fd = ::open(latin1.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "latin", 5), 5);
    ::close(fd);
    ASSERT_EQ(::chmod(B(folder + "/Bonus").constData(), 0750), 0);
}

}

TEST_F(FileOpsTest, CopiesAndMovesFilesAndFoldersKeepingBytesModeTimesAndLinks)
{
    MakeAlbum(S("Album"));
    TFileOps ops;

    TFileOpResult copied = ops.Copy({B(S("Album"))}, B(Dst()));
    EXPECT_TRUE(copied.Failed.empty());
    EXPECT_EQ(Tree(D("Album")), Tree(S("Album")));
    for (const char* name : {"01 Intro.mp3", "02 Song.mp3", "Bonus/03 Live.mp3", "Bonus"})
        ExpectSameFile(S("Album/") + name, D("Album/") + name);
    EXPECT_TRUE(S_ISLNK(LStatOf(D("Album/link.mp3")).st_mode));
    EXPECT_EQ(QFile::symLinkTarget(D("Album/link.mp3")), D("Album/01 Intro.mp3"));
    EXPECT_EQ(ReadRaw(B(Dst()) + "/Album/Caf\xe9.mp3"), "latin");
    ASSERT_FALSE(copied.Done.empty());
    EXPECT_EQ(copied.Done.back().From, B(S("Album")));
    EXPECT_EQ(copied.Done.back().To, B(D("Album")));

    // A single file moved on one file system keeps its inode.
    const ino_t inode = LStatOf(S("Album/02 Song.mp3")).st_ino;
    TFileOpResult moved = ops.Move({B(S("Album/02 Song.mp3"))}, B(Dst()));
    EXPECT_TRUE(moved.Failed.empty());
    EXPECT_EQ(LStatOf(D("02 Song.mp3")).st_ino, inode);
    EXPECT_FALSE(QFile::exists(S("Album/02 Song.mp3")));
    ASSERT_EQ(moved.Done.size(), 1u);
    EXPECT_EQ(moved.Done[0].To, B(D("02 Song.mp3")));
}

TEST_F(FileOpsTest, MovesAcrossFileSystemsByCopyingAndRemovingTheSource)
{
    // /dev/shm is another file system when it is a tmpfs of its own; else a
    // layer answers EXDEV to every rename of the given items.
    struct stat shm {}, here {};
    const bool otherDevice = ::stat("/dev/shm", &shm) == 0 && ::stat(B(Dir.path()).constData(), &here) == 0
                             && shm.st_dev != here.st_dev && ::access("/dev/shm", W_OK) == 0;
    QTemporaryDir shmDir(otherDevice ? QStringLiteral("/dev/shm/quillon-test-XXXXXX") : QString());
    ASSERT_TRUE(shmDir.isValid());
    auto layer = std::make_shared<TFaultLayer>();
    if (!otherDevice) {
        layer->Kind = "rename";
        layer->Error = EXDEV;
        layer->FailAt = 1;
        layer->PathFilter = [](const QByteArray& path) { return !path.endsWith(".part"); };
    }
    MakeAlbum(S("Album"));
    const QString ref = Dir.filePath("reference");
    ASSERT_EQ(QProcess::execute("cp", {"-a", S("Album"), ref}), 0);
    TFileOps ops(layer);
    const TFileOpResult result = ops.Move({B(S("Album"))}, B(shmDir.path()));
    EXPECT_TRUE(result.Failed.empty());
    EXPECT_FALSE(QFileInfo::exists(S("Album")));
    const QString moved = shmDir.filePath("Album");
    EXPECT_EQ(Tree(moved), Tree(ref));
    for (const char* name : {"01 Intro.mp3", "02 Song.mp3", "Bonus/03 Live.mp3", "Bonus"})
        ExpectSameFile(ref + "/" + name, moved + "/" + name);
    EXPECT_TRUE(S_ISLNK(LStatOf(moved + "/link.mp3").st_mode));
    // Each file and folder that arrived is reported with its new path.
    std::map<QByteArray, QByteArray> done;
    for (const TFileOpDone& item : result.Done)
        done[item.From] = item.To;
    EXPECT_EQ(done[B(S("Album/Bonus/03 Live.mp3"))], B(moved + "/Bonus/03 Live.mp3"));
    EXPECT_EQ(done[B(S("Album"))], B(moved));
    QProcess::execute("rm", {"-rf", moved});
}

TEST_F(FileOpsTest, EveryCollisionAnswer)
{
    for (const QString name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) {
        WriteFile(S(name), "new " + name.toUtf8());
        WriteFile(D(name), "old " + name.toUtf8());
    }
    WriteFile(D("b (2).mp3"), "taken");
    const ino_t replacedInode = LStatOf(D("a.mp3")).st_ino;
    TFileOps ops;
    std::vector<TCollisionAnswer> answers{TCollisionAnswer::Replace, TCollisionAnswer::KeepBoth,
                                          TCollisionAnswer::Skip, TCollisionAnswer::Cancel};
    QStringList asked;
    ops.OnCollision = [&](const QByteArray& source, const QByteArray& target, bool folder) {
        EXPECT_FALSE(folder);
        EXPECT_EQ(PathName(source), PathName(target));
        asked << QFile::decodeName(PathName(source));
        return TCollisionChoice{answers[static_cast<size_t>(asked.size() - 1)], false};
    };
    const TFileOpResult result = ops.Copy({B(S("a.mp3")), B(S("b.mp3")), B(S("c.mp3")), B(S("d.mp3"))}, B(Dst()));
    EXPECT_EQ(asked, QStringList({"a.mp3", "b.mp3", "c.mp3", "d.mp3"}));
    EXPECT_EQ(ReadFile(D("a.mp3")), "new a.mp3");
    EXPECT_NE(LStatOf(D("a.mp3")).st_ino, replacedInode); // swapped in whole
    EXPECT_EQ(ReadFile(D("b.mp3")), "old b.mp3");
    EXPECT_EQ(ReadFile(D("b (2).mp3")), "taken");
    EXPECT_EQ(ReadFile(D("b (3).mp3")), "new b.mp3");
    EXPECT_EQ(ReadFile(D("c.mp3")), "old c.mp3");
    EXPECT_EQ(ReadFile(D("d.mp3")), "old d.mp3");
    EXPECT_TRUE(result.Cancelled);
    EXPECT_EQ(result.Unchanged, QList<QByteArray>({B(S("c.mp3"))}));
    EXPECT_EQ(result.Done.size(), 2u);
    EXPECT_EQ(Tree(Dst()).filter(".part"), QStringList());

    // "For all" answers once; a move that keeps both leaves the sources
    // nowhere else.
    asked.clear();
    AnswerAll(ops, TCollisionAnswer::KeepBoth, asked, true);
    const TFileOpResult moved = ops.Move({B(S("c.mp3")), B(S("d.mp3"))}, B(Dst()));
    EXPECT_EQ(asked, QStringList({"c.mp3"}));
    EXPECT_EQ(ReadFile(D("c (2).mp3")), "new c.mp3");
    EXPECT_EQ(ReadFile(D("d (2).mp3")), "new d.mp3");
    EXPECT_FALSE(QFile::exists(S("c.mp3")));
    EXPECT_EQ(moved.Done.size(), 2u);

    // A folder onto a folder of the same name: Replace merges, asking for
    // each file inside.
    WriteFile(S("Album/x.mp3"), "new x");
    WriteFile(S("Album/y.mp3"), "new y");
    WriteFile(D("Album/x.mp3"), "old x");
    bool folderAsked = false;
    asked.clear();
    ops.OnCollision = [&](const QByteArray& source, const QByteArray&, bool folder) {
        folderAsked = folderAsked || folder;
        asked << QFile::decodeName(PathName(source));
        return TCollisionChoice{TCollisionAnswer::Replace, false};
    };
    const TFileOpResult merged = ops.Move({B(S("Album"))}, B(Dst()));
    EXPECT_TRUE(folderAsked);
    EXPECT_EQ(asked, QStringList({"Album", "x.mp3"}));
    EXPECT_EQ(ReadFile(D("Album/x.mp3")), "new x");
    EXPECT_EQ(ReadFile(D("Album/y.mp3")), "new y");
    EXPECT_FALSE(QFileInfo::exists(S("Album")));
    EXPECT_TRUE(merged.Failed.empty());

    // A file never replaces a folder.
    WriteFile(S("Album"), "a file named like the folder");
    const TFileOpResult conflict = ops.Copy({B(S("Album"))}, B(Dst()));
    ASSERT_EQ(conflict.Failed.size(), 1u);
    EXPECT_EQ(conflict.Failed[0].Error, TFileOpError::KindConflict);
    EXPECT_TRUE(QFileInfo(D("Album")).isDir());
}

TEST_F(FileOpsTest, OwnFolderSymlinkedFolderSubtreeAndTargetsThatAreNoFolders)
{
    WriteFile(S("a.mp3"), "a");
    WriteFile(S("a (2).mp3"), "other");
    MakeAlbum(S("Album"));
    TFileOps ops;
    QStringList asked;
    AnswerAll(ops, TCollisionAnswer::Replace, asked);

    // Copies into their own folder get a new name without a question.
    TFileOpResult copied = ops.Copy({B(S("a.mp3")), B(S("a (2).mp3"))}, B(Src()));
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(ReadFile(S("a (3).mp3")), "a");
    EXPECT_EQ(ReadFile(S("a (4).mp3")), "other");
    EXPECT_EQ(copied.Done.size(), 2u);

    // A move onto itself, also through a link to the folder, does nothing.
    ASSERT_EQ(::symlink(B(Src()).constData(), B(Dir.filePath("via")).constData()), 0);
    const QStringList before = Tree(Src());
    for (const QString& target : {Src(), Dir.filePath("via"), Dir.filePath("via/")}) {
        const TFileOpResult moved = ops.Move({B(S("a.mp3")), B(S("Album"))}, B(target));
        EXPECT_TRUE(moved.Failed.empty());
        EXPECT_TRUE(moved.Done.empty());
        EXPECT_EQ(moved.Unchanged.size(), 2);
    }
    EXPECT_EQ(Tree(Src()), before);
    EXPECT_TRUE(asked.isEmpty());

    // No folder into itself or below itself, also through a link.
    for (const QString& target : {S("Album"), S("Album/Bonus"), Dir.filePath("via/Album/Bonus")}) {
        for (bool move : {false, true}) {
            const QList<QByteArray> sources{B(S("Album"))};
            const TFileOpResult result = move ? ops.Move(sources, B(target)) : ops.Copy(sources, B(target));
            ASSERT_EQ(result.Failed.size(), 1u);
            EXPECT_EQ(result.Failed[0].Error, TFileOpError::IntoItself);
        }
    }
    EXPECT_EQ(Tree(Src()), before);

    // The target must be an existing folder, never a file named like it.
    WriteFile(Dir.filePath("plain"), "plain");
    for (const QString& target : {Dir.filePath("plain"), Dir.filePath("absent"), QString()}) {
        const TFileOpResult result = ops.Move({B(S("a.mp3"))}, B(target));
        ASSERT_EQ(result.Failed.size(), 1u);
        EXPECT_EQ(result.Failed[0].Error, TFileOpError::TargetNotFolder);
    }
    EXPECT_EQ(ReadFile(Dir.filePath("plain")), "plain");
    EXPECT_FALSE(QFileInfo::exists(Dir.filePath("absent")));
    EXPECT_EQ(Tree(Src()), before);
}

TEST_F(FileOpsTest, ReadOnlyTargetLeavesEverythingAsItWas)
{
    WriteFile(S("a.mp3"), Pattern(5000));
    // Root may write anywhere the mode forbids: a read-only file system when
    // one can be mounted, else a layer that answers EROFS.
    const QString readOnly = Dir.filePath("ro");
    ASSERT_TRUE(QDir().mkpath(readOnly));
    const bool mounted = ::mount("tmpfs", B(readOnly).constData(), "tmpfs", MS_RDONLY, "size=1m") == 0;
    auto layer = std::make_shared<TFaultLayer>();
    if (!mounted) {
        ::chmod(B(readOnly).constData(), 0555);
        layer->Kind = "create";
        layer->Error = EROFS;
        layer->FailAt = 1;
    }
    TFileOps ops(layer);
    for (bool move : {false, true}) {
        layer->Calls.clear();
        const TFileOpResult result = move ? ops.Move({B(S("a.mp3"))}, B(readOnly)) : ops.Copy({B(S("a.mp3"))}, B(readOnly));
        ASSERT_EQ(result.Failed.size(), 1u);
        EXPECT_EQ(result.Failed[0].Error, TFileOpError::System);
        EXPECT_TRUE(result.Failed[0].SystemError == EROFS || result.Failed[0].SystemError == EACCES);
    }
    EXPECT_EQ(ReadFile(S("a.mp3")), Pattern(5000));
    EXPECT_TRUE(Tree(readOnly).isEmpty());
    if (mounted)
        ::umount(B(readOnly).constData());
}

TEST_F(FileOpsTest, AFaultAtAnyStepOfACopyLeavesTheSourceAndNoTemporaryFile)
{
    const QByteArray data = Pattern(3 * 1024 * 1024 + 5);
    // The file is written in several pieces, each read from the original and
    // back from the copy.
    const std::vector<std::pair<const char*, int>> steps{
        {"create", 1}, {"write", 1}, {"write", 2},  {"write", 3},    {"write", 4}, {"read", 1},  {"read", 2},
        {"read", 7},   {"read", 8},  {"fchmod", 1}, {"futimens", 1}, {"fsync", 1}, {"close", 1}, {"rename", 1}};
    for (const auto& [kind, count] : steps) {
        SCOPED_TRACE(std::string(kind) + " " + std::to_string(count));
        WriteFile(S("a.mp3"), data, 0640);
        auto layer = std::make_shared<TFaultLayer>();
        layer->Kind = kind;
        layer->FailAt = count;
        layer->Error = ENOSPC;
        TFileOps ops(layer);
        const TFileOpResult result = ops.Copy({B(S("a.mp3"))}, B(Dst()));
        ASSERT_EQ(result.Failed.size(), 1u);
        EXPECT_EQ(ReadFile(S("a.mp3")), data);
        EXPECT_EQ(LStatOf(S("a.mp3")).st_mode & 07777, 0640u);
        EXPECT_EQ(Tree(Dst()), QStringList());
    }
}

TEST_F(FileOpsTest, AFaultWhileMovingAcrossFileSystemsKeepsTheSource)
{
    // Renames of the source answer EXDEV, so the move copies; the fault
    // under test hits the copy's own steps or the source's removal.
    class TCrossing : public TFaultLayer {
    public:
        QByteArray Source;
        int RenameNoReplace(const QByteArray& from, const QByteArray& to) override
        {
            if (from == Source) {
                errno = EXDEV;
                return -1;
            }
            return TFaultLayer::RenameNoReplace(from, to);
        }
    };
    const QByteArray data = Pattern(2 * 1024 * 1024 + 9);
    for (const char* kind : {"write", "fsync", "rename", "unlink", "read"}) {
        for (int count : {1, 2, 3}) {
            SCOPED_TRACE(std::string(kind) + " " + std::to_string(count));
            WriteFile(S("a.mp3"), data, 0640);
            QDir(Dst()).removeRecursively();
            QDir().mkpath(Dst());
            auto layer = std::make_shared<TCrossing>();
            layer->Kind = kind;
            layer->FailAt = count;
            layer->Source = B(S("a.mp3"));
            TFileOps ops(layer);
            const TFileOpResult result = ops.Move({layer->Source}, B(Dst()));
            if (!result.Failed.empty()) {
                EXPECT_EQ(ReadFile(S("a.mp3")), data);
                EXPECT_EQ(Tree(Dst()), QStringList());
            } else {
                // The count lies beyond the steps of this move.
                EXPECT_EQ(ReadFile(D("a.mp3")), data);
                EXPECT_FALSE(QFile::exists(S("a.mp3")));
            }
        }
    }
}

TEST_F(FileOpsTest, ACopyThatReadsBackDifferentlyOrIsCancelledIsRemoved)
{
    const QByteArray data = Pattern(3 * 1024 * 1024);
    WriteFile(S("a.mp3"), data);
    auto layer = std::make_shared<TFaultLayer>();
    layer->CorruptWrites = true;
    TFileOps ops(layer);
    const TFileOpResult corrupt = ops.Copy({B(S("a.mp3"))}, B(Dst()));
    ASSERT_EQ(corrupt.Failed.size(), 1u);
    EXPECT_EQ(corrupt.Failed[0].Error, TFileOpError::VerifyFailed);
    EXPECT_EQ(Tree(Dst()), QStringList());

    TFileOps plain;
    int reports = 0;
    qint64 totalBytes = 0;
    plain.OnProgress = [&](const TFileOpProgress& progress) {
        totalBytes = progress.TotalBytes;
        return ++reports < 3;
    };
    const TFileOpResult cancelled = plain.Move({B(S("a.mp3"))}, B(Dst()));
    // A move on one file system is a rename, done before any piece is copied.
    EXPECT_EQ(cancelled.Done.size(), 1u);
    reports = 0;
    const TFileOpResult copy = plain.Copy({B(D("a.mp3"))}, B(Src()));
    EXPECT_EQ(totalBytes, data.size());
    EXPECT_TRUE(copy.Cancelled);
    EXPECT_TRUE(copy.Done.empty());
    EXPECT_EQ(Tree(Src()), QStringList());
    EXPECT_EQ(ReadFile(D("a.mp3")), data);
}

TEST_F(FileOpsTest, DeletesTreesWithoutFollowingLinksAndRenamesWithoutReplacing)
{
    WriteFile(Dir.filePath("outside/keep.mp3"), "keep");
    MakeAlbum(S("Album"));
    ASSERT_EQ(::symlink(B(Dir.filePath("outside")).constData(), B(S("Album/Bonus/out")).constData()), 0);
    WriteFile(S("single.mp3"), "x");
    TFileOps ops;
    const TFileOpResult deleted = ops.Delete({B(S("Album")), B(S("single.mp3")), B(S("absent.mp3"))});
    EXPECT_EQ(deleted.Done.size(), 2u);
    ASSERT_EQ(deleted.Failed.size(), 1u);
    EXPECT_EQ(deleted.Failed[0].SystemError, ENOENT);
    EXPECT_EQ(Tree(Src()), QStringList());
    EXPECT_EQ(ReadFile(Dir.filePath("outside/keep.mp3")), "keep");

    ASSERT_TRUE(QDir().mkpath(S("One")));
    ASSERT_TRUE(QDir().mkpath(S("Two"))); // empty: plain rename() would replace it
    WriteFile(S("One/a.mp3"), "a");
    for (const QByteArray& bad : {QByteArray(), QByteArray("."), QByteArray(".."), QByteArray("a/b")}) {
        const auto failure = ops.Rename(B(S("One")), bad);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->Error, TFileOpError::InvalidName);
    }
    EXPECT_TRUE(ops.Rename("/", "x").has_value());
    const auto taken = ops.Rename(B(S("One")), "Two");
    ASSERT_TRUE(taken.has_value());
    EXPECT_EQ(taken->SystemError, EEXIST);
    EXPECT_EQ(Tree(Src()), QStringList({"One/", "One/a.mp3", "Two/"}));
    QByteArray renamed;
    EXPECT_FALSE(ops.Rename(B(S("One/")), "Drei \xc3\xa4", &renamed).has_value());
    EXPECT_EQ(renamed, B(S("Drei ä")));
    EXPECT_EQ(ReadFile(S("Drei ä/a.mp3")), "a");
}

TEST(FileOpsPaths, NamesFoldersAndFreeNames)
{
    EXPECT_EQ(PathName("/a/b/"), "b");
    EXPECT_EQ(PathFolder("/a/b"), "/a");
    EXPECT_EQ(PathFolder("/b"), "/");
    EXPECT_EQ(JoinPath("/", "x"), "/x");
    QTemporaryDir dir;
    WriteFile(dir.filePath("Song (2).mp3"), "");
    TFileOps ops;
    EXPECT_EQ(ops.FreeName(B(dir.path()), "Song.mp3", false), "Song (3).mp3");
    EXPECT_EQ(ops.FreeName(B(dir.path()), "Song (2).mp3", false), "Song (3).mp3");
    EXPECT_EQ(ops.FreeName(B(dir.path()), "Album.2020", true), "Album.2020 (2)");
    EXPECT_EQ(ops.FreeName(B(dir.path()), ".hidden", false), ".hidden (2)");
}
