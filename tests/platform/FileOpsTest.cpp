#include "platform/FileOps.h"
#include "platform/FileRename.h"
#include "platform/HiddenNames.h"
#include "platform/RunRecord.h"

#include "support/ChildRuns.h"
#include "support/KillingLayer.h"
#include "support/Mounts.h"
#include "support/NativeFiles.h"
#include "support/ScopedEnv.h"
#include "support/QtPrinters.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QThread>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <set>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.errorString().toStdString();
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

// The path a call names: name in the folder open at dirFd.
QByteArray At(int dirFd, const QByteArray& name)
{
    if (dirFd == AT_FDCWD || name.startsWith('/'))
        return name;
    return QFile::encodeName(QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(dirFd))) + '/' + name;
}

bool Below(const QByteArray& path, const QByteArray& folder)
{
    return !folder.isEmpty() && (path == folder || path.startsWith(folder + '/'));
}

// A file layer that counts every call the file operations make (those of
// their records too) and fails the one numbered FailAt with EIO, or kills
// its process by SIGKILL just before the one numbered KillAt. It also stands
// in for what a test cannot arrange with real files: a second file system at
// OtherRoot (renames into or out of it answer EXDEV), calls that the file
// system refuses (Refuse gives errno for a call and its path, 0 for none), a
// file system without RENAME_NOREPLACE and hard links (or with links only), a
// file that appears at a name just as a rename is to take it, a source that
// another program saves anew while it is moved (or writes into in place), a
// folder swapped for a link or another folder at the moment a walk opens or
// lists it, and identities a mount would show (a folder that answers as
// another one, a file whose opened descriptor is another file). Files are not
// synced (counted all the same), so that hundreds of runs stay quick; that a
// copy was synced before it took its name is checked.
class TStepLayer : public TFileLayer {
public:
    int FailAt = 0;
    int KillAt = 0;
    int Calls = 0;
    QByteArray OtherRoot;
    std::function<int(const char* call, const QByteArray& path)> Refuse;
    QByteArray Intruder; // made just before a rename to this path
    bool IntruderMade = false;
    bool CorruptWrites = false;
    bool NoNoReplace = false; // renameat2 answers EINVAL, link EPERM
    bool LinksOnly = false;   // renameat2 answers EINVAL, links work
    // Just before a rename to (or away from) a key's path, or its removal,
    // the file at its value is saved anew by another program (a new file
    // renamed over it).
    std::map<QByteArray, QByteArray> SaveAnew;
    std::set<QByteArray> SavedAnew;
    // Just before a rename to a key's path, another program writes into the
    // file(s) of the value's folder whose names end so, in place: same
    // inode, same size, a new modification time.
    std::map<QByteArray, std::pair<QByteArray, QByteArray>> WriteInPlace;
    // A path that answers with the identity of another (an empty one: the
    // folder made last), as seen and once opened; a path whose opened
    // descriptor is another file.
    std::map<QByteArray, QByteArray> AnsweredAs;
    QByteArray OpenedAsAnother;
    // Just after a reservation is made at this path (a file created there to
    // hold the name), another program renames a file of its own over it.
    QByteArray SavedOverReservation;
    // The folder replaced by a link to SwapTo at its SwapOn-th opening
    // (SwapWhenListing: listing) by a walk.
    QByteArray Swapped, SwapTo;
    bool SwapForFolder = false; // SwapTo itself takes the folder's place
    bool SwapWhenListing = false;
    int SwapOn = 0;
    int SwapMoments = 0;

    int Open(const QByteArray& path, int flags, mode_t mode) override
    {
        return Opened(path, Fail("open", path, flags) ? -1 : TFileLayer::Open(path, flags, mode));
    }
    int OpenAt(int dirFd, const QByteArray& name, int flags, mode_t mode) override
    {
        if ((flags & O_DIRECTORY) && !SwapWhenListing)
            SwapMoment(At(dirFd, name));
        const int fd = Opened(At(dirFd, name),
                              Fail("open", At(dirFd, name), flags) ? -1 : TFileLayer::OpenAt(dirFd, name, flags, mode));
        if (fd >= 0 && (flags & O_EXCL) && At(dirFd, name) == SavedOverReservation) {
            SaveAnew[{}] = SavedOverReservation;
            SaveAnewAt({});
        }
        return fd;
    }
    int Close(int fd) override
    {
        OpenPaths.erase(fd);
        const int result = TFileLayer::Close(fd);
        return Fail() ? -1 : result;
    }
    ssize_t PRead(int fd, void* buffer, size_t count, off_t offset) override
    {
        return Fail() ? -1 : TFileLayer::PRead(fd, buffer, count, offset);
    }
    ssize_t PWrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        if (Fail())
            return -1;
        if (!CorruptWrites || count == 0)
            return TFileLayer::PWrite(fd, buffer, count, offset);
        QByteArray copy(static_cast<const char*>(buffer), static_cast<qsizetype>(count));
        copy[0] = static_cast<char>(copy[0] ^ 0x55);
        return TFileLayer::PWrite(fd, copy.constData(), count, offset);
    }
    int FSync(int fd) override
    {
        struct stat st {};
        if (::fstat(fd, &st) == 0)
            Synced.insert(st.st_ino);
        return Fail() ? -1 : 0;
    }
    int FStat(int fd, struct stat& st) override
    {
        if (Fail() || TFileLayer::FStat(fd, st) != 0)
            return -1;
        const QByteArray path = OpenPaths.count(fd) ? OpenPaths[fd] : QByteArray();
        Answer(path, st);
        if (!path.isEmpty() && path == OpenedAsAnother)
            st.st_ino ^= 1;
        return 0;
    }
    int FChmod(int fd, mode_t mode) override { return Fail() ? -1 : TFileLayer::FChmod(fd, mode); }
    int FUtimens(int fd, const struct timespec times[2]) override
    {
        return Fail() ? -1 : TFileLayer::FUtimens(fd, times);
    }
    int RenameNoReplace(const QByteArray& from, const QByteArray& to) override
    {
        return Renaming(from, to) ? -1 : TFileLayer::RenameNoReplace(from, to);
    }
    int RenameNoReplaceAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to,
                          const TStepsNote& beforeSteps) override
    {
        return Renaming(At(fromDirFd, from), At(toDirFd, to))
                   ? -1
                   : TFileLayer::RenameNoReplaceAt(fromDirFd, from, toDirFd, to, beforeSteps);
    }
    int UnlinkAt(int dirFd, const QByteArray& name, int flags) override
    {
        if (Fail("unlink", At(dirFd, name)))
            return -1;
        SaveAnewAt(At(dirFd, name));
        return TFileLayer::UnlinkAt(dirFd, name, flags);
    }
    int FStatAt(int dirFd, const QByteArray& name, struct stat& st, int flags) override
    {
        if (Fail("stat", At(dirFd, name)) || TFileLayer::FStatAt(dirFd, name, st, flags) != 0)
            return -1;
        Answer(At(dirFd, name), st);
        return 0;
    }
    int MkdirAt(int dirFd, const QByteArray& name, mode_t mode) override
    {
        if (Fail("create", At(dirFd, name)) || TFileLayer::MkdirAt(dirFd, name, mode) != 0)
            return -1;
        LastMade = At(dirFd, name);
        return 0;
    }
    int RenameAt2NoReplace(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to) override
    {
        const bool refused = NoNoReplace || LinksOnly;
        if (refused && !Fail())
            errno = EINVAL;
        return refused ? -1 : TFileLayer::RenameAt2NoReplace(fromDirFd, from, toDirFd, to);
    }
    int LinkAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to) override
    {
        if (NoNoReplace && !Fail())
            errno = EPERM;
        if (NoNoReplace)
            return -1;
        return LinksOnly && Fail() ? -1 : TFileLayer::LinkAt(fromDirFd, from, toDirFd, to);
    }
    int RenameAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to) override
    {
        return Fail() ? -1 : TFileLayer::RenameAt(fromDirFd, from, toDirFd, to);
    }
    int SymlinkAt(const QByteArray& target, int dirFd, const QByteArray& name) override
    {
        return Fail("create", At(dirFd, name)) ? -1 : TFileLayer::SymlinkAt(target, dirFd, name);
    }
    int ReadLinkAt(int dirFd, const QByteArray& name, QByteArray& target) override
    {
        return Fail() ? -1 : TFileLayer::ReadLinkAt(dirFd, name, target);
    }
    int ReadDirAt(int dirFd, std::vector<QByteArray>& names) override
    {
        if (SwapWhenListing)
            SwapMoment(At(dirFd, {}).chopped(1));
        return Fail() ? -1 : TFileLayer::ReadDirAt(dirFd, names);
    }
    int UtimensAt(int dirFd, const QByteArray& name, const struct timespec times[2], int flags) override
    {
        return Fail() ? -1 : TFileLayer::UtimensAt(dirFd, name, times, flags);
    }
    int FChownAt(int dirFd, const QByteArray& name, uid_t owner, gid_t group, int flags) override
    {
        return Fail() ? -1 : TFileLayer::FChownAt(dirFd, name, owner, group, flags);
    }
    int LockFile(int fd) override { return Fail() ? -1 : TFileLayer::LockFile(fd); }

private:
    std::map<int, QByteArray> OpenPaths;
    QByteArray LastMade;
    std::set<ino_t> Synced;

    int Opened(const QByteArray& path, int fd)
    {
        if (fd >= 0)
            OpenPaths[fd] = path;
        return fd;
    }
    void Answer(const QByteArray& path, struct stat& st)
    {
        const auto as = AnsweredAs.find(path);
        struct stat other {};
        if (as != AnsweredAs.end() && ::lstat((as->second.isEmpty() ? LastMade : as->second).constData(), &other) == 0) {
            st.st_dev = other.st_dev;
            st.st_ino = other.st_ino;
        }
    }
    // Counts a call; true (errno set) when it is to fail.
    bool Fail(const char* call = "", const QByteArray& path = {}, int openFlags = 0)
    {
        if (Calls + 1 == KillAt)
            ::raise(SIGKILL);
        if (++Calls == FailAt) {
            errno = EIO;
            return true;
        }
        if (std::strcmp(call, "open") == 0)
            call = (openFlags & O_CREAT) ? "create" : "";
        return Refused(call, path);
    }
    bool Refused(const char* call, const QByteArray& path)
    {
        errno = Refuse && *call ? Refuse(call, path) : 0;
        return errno != 0;
    }
    bool Renaming(const QByteArray& from, const QByteArray& to)
    {
        if (Fail())
            return true;
        if (!OtherRoot.isEmpty() && Below(from, OtherRoot) != Below(to, OtherRoot)) {
            errno = EXDEV;
            return true;
        }
        if (Refused("unlink", from))
            return true;
        struct stat st {};
        if (PathName(from).endsWith(".part") && ::lstat(from.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
            EXPECT_TRUE(Synced.count(st.st_ino)) << "a copy took its name unsynced: " << to.constData();
        }
        SaveAnewAt(to);
        SaveAnewAt(from);
        const auto inPlace = WriteInPlace.find(to);
        if (inPlace != WriteInPlace.end()) {
            const auto [folder, ending] = inPlace->second;
            for (const QString& name : QDir(QFile::decodeName(folder)).entryList(QDir::Files | QDir::Hidden)) {
                const QByteArray path = folder + '/' + QFile::encodeName(name);
                if (!path.endsWith(ending))
                    continue;
                const int fd = ::open(path.constData(), O_WRONLY);
                EXPECT_EQ(::pwrite(fd, "W", 1, 0), 1);
                const struct timespec later[2] = {{UTIME_OMIT, 0}, {1700000000, 0}};
                EXPECT_EQ(::futimens(fd, later), 0);
                ::close(fd);
            }
        }
        if (!Intruder.isEmpty() && to == Intruder && !IntruderMade) {
            IntruderMade = true;
            const int fd = ::open(to.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            EXPECT_EQ(::write(fd, "intruder", 8), 8);
            ::close(fd);
        }
        return false;
    }
    void SaveAnewAt(const QByteArray& key)
    {
        const auto saved = SaveAnew.find(key);
        if (saved == SaveAnew.end() || !SavedAnew.insert(saved->second).second)
            return;
        const QByteArray temporary = saved->second + ".saving";
        const int fd = ::open(temporary.constData(), O_CREAT | O_EXCL | O_WRONLY, 0644);
        EXPECT_EQ(::write(fd, "saved anew", 10), 10);
        ::close(fd);
        EXPECT_EQ(::rename(temporary.constData(), saved->second.constData()), 0);
    }
    void SwapMoment(const QByteArray& path)
    {
        if (Swapped.isEmpty() || path != Swapped || ++SwapMoments != SwapOn)
            return;
        ASSERT_EQ(::rename(path.constData(), (path + ".real").constData()), 0);
        if (SwapForFolder)
            ASSERT_EQ(::rename(SwapTo.constData(), path.constData()), 0);
        else
            ASSERT_EQ(::symlink(SwapTo.constData(), path.constData()), 0);
    }
};

class FileOpsTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    // The records of runs: a folder of the test's own.
    TScopedEnv State{"XDG_STATE_HOME", Dir.filePath("state")};
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

    void EmptyFolders(const QStringList& folders)
    {
        for (const QString& folder : folders) {
            ASSERT_TRUE(QDir(folder).removeRecursively());
            ASSERT_TRUE(QDir().mkpath(folder));
        }
    }

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

using TContents = std::map<QByteArray, QByteArray>;

// The sha256 of data, worked out once for each content (the tests below
// hash the same few contents thousands of times).
QByteArray Sha256(const QByteArray& data)
{
    static QHash<QByteArray, QByteArray> known;
    auto found = known.constFind(data);
    if (found == known.constEnd())
        found = known.insert(data, QCryptographicHash::hash(data, QCryptographicHash::Sha256));
    return *found;
}

// Every file and link below the folders: its path and the sha256 of its
// bytes, or "-> " and a link's target. Folders themselves are not listed.
TContents Contents(const QStringList& folders)
{
    TContents contents;
    for (const QString& folder : folders) {
        QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QFileInfo entry(entries.next());
            const QByteArray path = B(entry.filePath());
            QByteArray target(4096, 0);
            const ssize_t length = ::readlink(path.constData(), target.data(), static_cast<size_t>(target.size()));
            if (length >= 0)
                contents[path] = "-> " + target.left(length);
            else if (entry.isFile())
                contents[path] = Sha256(ReadFile(entry.filePath()));
        }
    }
    return contents;
}

// Whether a failure names the path or a folder holding it, or (inside) an
// item that failed; or an item done names it, or a folder holding it, as
// left behind.
bool Names(const TFileOpResult& result, const QByteArray& path, bool inside)
{
    return std::any_of(result.Failed.begin(), result.Failed.end(),
                       [&](const TFileOpFailure& failure) {
                           return Below(path, failure.Inner) || path == failure.Path
                                  || (inside && Below(path, failure.Path));
                       })
           || std::any_of(result.LeftBehind.begin(), result.LeftBehind.end(),
                          [&](const TFileOpFailure& left) {
                              return Below(path, left.Inner.isEmpty() ? left.Path : left.Inner);
                          });
}

// What the records of runs in the record folder say, for failure messages.
QString RecordsText()
{
    QString text;
    for (const QString& name : QDir(QFile::decodeName(RunRecordFolder())).entryList(QDir::Files))
        text += name + ":\n" + QString::fromUtf8(ReadFile(QFile::decodeName(RunRecordFolder()) + "/" + name));
    return text;
}

// What recovery told, for failure messages.
QString Told(const TLeftovers& told)
{
    QStringList lines;
    for (const QByteArray& path : told.Restored)
        lines << "restored " + QFile::decodeName(path);
    for (const QByteArray& path : told.Finished)
        lines << "finished " + QFile::decodeName(path);
    for (const QByteArray& path : told.Removed)
        lines << "removed " + QFile::decodeName(path);
    for (const TKeptLeftover& kept : told.Kept)
        lines << "kept " + QFile::decodeName(kept.Path) + " " + QString::number(kept.Error)
                     + (kept.Changed ? " changed" : "");
    return lines.join('\n') + '\n';
}

// The promise of every operation: each item is wholly done, as the result
// says, or wholly as it was, and no temporary file is left unless a failure
// names it. Done items moved (or were deleted, without a To) with all that
// was in them; every other file is as it was before, except that a deletion
// that failed or was cancelled may have deleted part of its item. A file
// may be left behind where the failure names it: the replaced file of an
// item that succeeded when removing it failed, or what an item could not
// take back after a first failure (then it is half way); nothing may be
// lost then.
void ExpectEachItemDoneOrAsItWas(const TContents& before, TContents after, const TFileOpResult& result, bool moving,
                                 bool deleting)
{
    TContents expected = before;
    for (const auto& [path, content] : before) {
        const TFileOpDone* nearest = nullptr;
        for (const TFileOpDone& done : result.Done) {
            if (Below(path, done.From) && (!nearest || done.From.size() > nearest->From.size()))
                nearest = &done;
        }
        if (!nearest)
            continue;
        if (moving)
            expected.erase(path);
        if (!nearest->To.isEmpty())
            expected[nearest->To + path.mid(nearest->From.size())] = content;
    }
    for (const TFileOpDone& done : result.Done)
        EXPECT_EQ(done.Replaced, before.count(done.To) > 0) << done.To.constData();
    // What a failure names and was not to be there is left behind.
    std::set<QByteArray> found;
    bool halfWay = false;
    for (auto entry = after.begin(); entry != after.end();) {
        found.insert(entry->second);
        const bool temporary = PathName(entry->first).startsWith('.') && !before.count(entry->first);
        const bool named = Names(result, entry->first, false);
        EXPECT_TRUE(!temporary || named) << "left behind: " << entry->first.constData();
        const bool leftBehind = temporary || (named && !expected.count(entry->first));
        halfWay = halfWay || leftBehind;
        entry = leftBehind ? after.erase(entry) : std::next(entry);
    }
    if (halfWay) {
        for (const auto& [path, content] : expected)
            EXPECT_TRUE(found.count(content)) << "lost: " << path.constData();
        return;
    }
    QStringList wrong;
    for (const auto& [path, content] : expected) {
        const auto there = after.find(path);
        if (there == after.end() && !(deleting && (result.Cancelled || Names(result, path, true))))
            wrong << "missing " + QFile::decodeName(path);
        else if (there != after.end() && there->second != content)
            wrong << "changed " + QFile::decodeName(path);
    }
    for (const auto& [path, content] : after)
        if (!expected.count(path))
            wrong << "unexpected " + QFile::decodeName(path);
    EXPECT_TRUE(wrong.isEmpty()) << wrong.join('\n').toStdString();
}

}

// Copies keep bytes, modes, times and links (a move to another file system
// copies too; the step-by-step test moves across); a move on one file system
// renames.
TEST_F(FileOpsTest, CopiesAndMovesKeepBytesModeTimesAndLinks)
{
    TFileOps ops;
    MakeAlbum(S("Album"));
    const QString ref = Dir.filePath("reference");
    ASSERT_EQ(QProcess::execute("cp", {"-a", S("Album"), ref}), 0);
    TFileOpResult copied = ops.Copy({B(S("Album"))}, B(Dst()));
    EXPECT_TRUE(copied.Failed.empty());
    EXPECT_EQ(Tree(D("Album")), Tree(ref));
    for (const char* name : {"01 Intro.mp3", "02 Song.mp3", "Bonus/03 Live.mp3", "Bonus"})
        ExpectSameFile(ref + "/" + name, D("Album/") + name);
    EXPECT_EQ(QFile::symLinkTarget(D("Album/link.mp3")), D("Album/01 Intro.mp3"));
    EXPECT_EQ(ReadNativeFile(B(D("Album")) + "/Caf\xe9.mp3"), "latin");

    // A single file moved on one file system keeps its inode.
    const ino_t inode = LStatOf(D("Album/02 Song.mp3")).st_ino;
    TFileOpResult moved = ops.Move({B(D("Album/02 Song.mp3"))}, B(Dst()));
    EXPECT_TRUE(moved.Failed.empty());
    EXPECT_EQ(LStatOf(D("02 Song.mp3")).st_ino, inode);
    EXPECT_FALSE(QFile::exists(D("Album/02 Song.mp3")));
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
    ASSERT_EQ(result.Done.size(), 2u);
    EXPECT_TRUE(result.Done[0].Replaced);
    EXPECT_FALSE(result.Done[1].Replaced);
    EXPECT_EQ(Tree(Dst()).filter(QRegularExpression("^\\.")), QStringList());

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
    // each file inside, also when the folder's answer was for all; the files
    // that took the place of others say so.
    WriteFile(S("Album/x.mp3"), "new x");
    WriteFile(S("Album/y.mp3"), "new y");
    WriteFile(D("Album/x.mp3"), "old x");
    bool folderAsked = false;
    asked.clear();
    ops.OnCollision = [&](const QByteArray& source, const QByteArray&, bool folder) {
        folderAsked = folderAsked || folder;
        asked << QFile::decodeName(PathName(source));
        return TCollisionChoice{TCollisionAnswer::Replace, folder};
    };
    // (What a merge leaves is the step-by-step test's.)
    const TFileOpResult merged = ops.Move({B(S("Album"))}, B(Dst()));
    EXPECT_TRUE(folderAsked);
    EXPECT_EQ(asked, QStringList({"Album", "x.mp3"}));
    EXPECT_EQ(ReadFile(D("Album/x.mp3")), "new x");
    std::map<QByteArray, bool> replaced;
    for (const TFileOpDone& done : merged.Done)
        replaced[done.From] = done.Replaced;
    EXPECT_EQ(replaced, (std::map<QByteArray, bool>{
                            {B(S("Album/x.mp3")), true}, {B(S("Album/y.mp3")), false}, {B(S("Album")), false}}));

    // A file never replaces a folder.
    WriteFile(S("Album"), "a file named like the folder");
    const TFileOpResult conflict = ops.Copy({B(S("Album"))}, B(Dst()));
    ASSERT_EQ(conflict.Failed.size(), 1u);
    EXPECT_EQ(conflict.Failed[0].Error, TFileOpError::KindConflict);
    EXPECT_TRUE(QFileInfo(D("Album")).isDir());
}

TEST_F(FileOpsTest, ASourceThatIsTheFileItWouldReplaceIsLeftAsItWas)
{
    // The file, and links to it from other folders: relative, absolute, and
    // a link to a link.
    WriteFile(D("song.mp3"), Pattern(1000));
    ASSERT_TRUE(QDir().mkpath(Dir.filePath("absolute")));
    ASSERT_TRUE(QDir().mkpath(Dir.filePath("chain")));
    ASSERT_EQ(::symlink("../dst/song.mp3", B(S("song.mp3")).constData()), 0);
    ASSERT_EQ(::symlink(B(D("song.mp3")).constData(), B(Dir.filePath("absolute/song.mp3")).constData()), 0);
    ASSERT_EQ(::symlink("../src/song.mp3", B(Dir.filePath("chain/song.mp3")).constData()), 0);
    TFileOps ops;
    QStringList asked;
    AnswerAll(ops, TCollisionAnswer::Replace, asked);
    for (const QString& source : {S("song.mp3"), Dir.filePath("absolute/song.mp3"), Dir.filePath("chain/song.mp3")}) {
        for (bool move : {false, true}) {
            SCOPED_TRACE(source.toStdString() + (move ? " moved" : " copied"));
            const TFileOpResult result = move ? ops.Move({B(source)}, B(Dst())) : ops.Copy({B(source)}, B(Dst()));
            EXPECT_TRUE(result.Done.empty());
            EXPECT_TRUE(result.Failed.empty());
            EXPECT_EQ(result.Unchanged, QList<QByteArray>({B(source)}));
            EXPECT_EQ(result.OntoItself, result.Unchanged);
            EXPECT_TRUE(S_ISREG(LStatOf(D("song.mp3")).st_mode));
            EXPECT_EQ(ReadFile(D("song.mp3")), Pattern(1000));
            EXPECT_TRUE(S_ISLNK(LStatOf(source).st_mode));
        }
    }
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_EQ(Tree(Dst()), QStringList({"song.mp3"}));

    // A link that loops leads to no file, so it may replace one.
    ASSERT_EQ(::symlink("loop.mp3", B(S("loop.mp3")).constData()), 0);
    WriteFile(D("loop.mp3"), "a file");
    const TFileOpResult looped = ops.Copy({B(S("loop.mp3"))}, B(Dst()));
    ASSERT_EQ(looped.Done.size(), 1u);
    EXPECT_TRUE(looped.Done[0].Replaced);
    EXPECT_EQ(asked, QStringList({"loop.mp3"}));
    EXPECT_EQ(QFile::symLinkTarget(D("loop.mp3")), D("loop.mp3"));
    EXPECT_EQ(Tree(Dst()), QStringList({"loop.mp3", "song.mp3"}));
    asked.clear();

    // A move onto itself, also through a link to the folder, does nothing.
    WriteFile(S("a.mp3"), "a");
    MakeAlbum(S("Album"));
    ASSERT_EQ(::symlink(B(Src()).constData(), B(Dir.filePath("via")).constData()), 0);
    const QStringList before = Tree(Src());
    for (const QString& target : {Src(), Dir.filePath("via"), Dir.filePath("via/")}) {
        const TFileOpResult moved = ops.Move({B(S("a.mp3")), B(S("Album"))}, B(target));
        EXPECT_TRUE(moved.Failed.empty());
        EXPECT_TRUE(moved.Done.empty());
        EXPECT_EQ(moved.Unchanged.size(), 2);
        EXPECT_EQ(moved.OntoItself, moved.Unchanged);
    }
    EXPECT_EQ(Tree(Src()), before);
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(FileOpsTest, NoFolderGoesIntoItselfAndTargetsMustBeFolders)
{
    WriteFile(S("a.mp3"), "a");
    MakeAlbum(S("Album"));
    TFileOps ops;

    // No folder into itself or below itself, also through a link.
    ASSERT_EQ(::symlink(B(Src()).constData(), B(Dir.filePath("via")).constData()), 0);
    const QStringList before = Tree(Src());
    for (const QString& target : {S("Album"), Dir.filePath("via/Album/Bonus")}) {
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

    // Folders nested beyond any collection (a mount that shows the copy
    // inside its source grows without end): refused, nothing copied or moved.
    QString deep = S("Deep");
    for (int level = 0; level < 101; ++level)
        deep += "/d";
    WriteFile(deep + "/song.mp3", "deep");
    const QStringList deepBefore = Tree(S("Deep"));
    auto across = std::make_shared<TStepLayer>();
    across->OtherRoot = B(Dst());
    TFileOps acrossOps(across);
    for (TFileOps* runner : {&ops, &acrossOps}) {
        for (bool move : {false, true}) {
            const QList<QByteArray> sources{B(S("Deep"))};
            const TFileOpResult result = move ? runner->Move(sources, B(Dst())) : runner->Copy(sources, B(Dst()));
            ASSERT_EQ(result.Failed.size(), 1u);
            EXPECT_EQ(result.Failed[0].Error, TFileOpError::TooDeep);
            EXPECT_EQ(Tree(Dst()), QStringList());
            EXPECT_EQ(Tree(S("Deep")), deepBefore);
            if (runner == &ops && !move)
                break; // a move on one file system renames, however deep
        }
    }
}

TEST_F(FileOpsTest, AFailureOrCancelAtAnyStepLeavesEachItemWhollyDoneOrAsItWas)
{
    using A = TCollisionAnswer;
    enum TOperation { Copy, Move, MoveAcross, Delete };
    struct TRow {
        const char* Name;
        TOperation Operation;
        bool Taken = false; // the target holds "a.mp3" and "Album/x.mp3" already
        A FolderAnswer = A::Cancel;
        A FileAnswer = A::Cancel;
        bool SourceStays = false;      // its file system refuses to remove anything
        bool NameTakenMeanwhile = false; // "a.mp3" appears in the target just before it is placed
        size_t Failures = 0;           // without an injected fault
        int Error = 0;
        TFileOpError Reason = TFileOpError::System;
        size_t LeftBehind = 0; // items done that left a file behind, without an injected fault
        std::function<void(TStepLayer&)> Arrange = nullptr;
    };
    const auto refused = [](const char* what, const QByteArray& path, int error) {
        return [=](const char* call, const QByteArray& at) { return std::strcmp(call, what) == 0 && at == path ? error : 0; };
    };
    const std::vector<TRow> rows{
        {"copy", Copy},
        {"move on one file system", Move},
        {"move to another file system", MoveAcross},
        {"copy, replace and merge", Copy, true, A::Replace, A::Replace},
        {"move, replace and merge", Move, true, A::Replace, A::Replace},
        {"move across, replace and merge", MoveAcross, true, A::Replace, A::Replace},
        {"move across, keep both", MoveAcross, true, A::KeepBoth, A::KeepBoth},
        {"move, skip", Move, true, A::Skip, A::Skip},
        {"move, merge skipping a file", Move, true, A::Replace, A::Skip},
        {"move across, merge skipping a file", MoveAcross, true, A::Replace, A::Skip},
        {"move across, replace, source cannot be removed", MoveAcross, true, A::Replace, A::Replace, true, false, 2,
         EACCES, TFileOpError::System, 1},
        {"copy, name taken after the check", Copy, false, A::Cancel, A::Cancel, false, true, 1, EEXIST},
        {"move, name taken after the check", Move, false, A::Cancel, A::Cancel, false, true, 1, EEXIST},
        {"delete for good", Delete},
        // Another program saves a new version of a source just before the
        // source would go: a file's move is undone, a folder keeps it.
        {.Name = "move across, sources saved anew while they are moved",
         .Operation = MoveAcross,
         .Failures = 1,
         .Reason = TFileOpError::Changed,
         .LeftBehind = 1,
         .Arrange =
             [this](TStepLayer& layer) {
                 layer.SaveAnew = {{B(D("a.mp3")), B(S("a.mp3"))}, {B(D("Album")), B(S("Album/x.mp3"))}};
             }},
        {.Name = "copy, a file opened that is not the one examined",
         .Operation = Copy,
         .Failures = 1,
         .Reason = TFileOpError::Changed,
         .Arrange = [this](TStepLayer& layer) { layer.OpenedAsAnother = B(S("a.mp3")); }},
        // A mount shows the target, or a folder the copy made, inside the
        // folder copied.
        {.Name = "copy into a mount of one of its folders",
         .Operation = Copy,
         .Failures = 1,
         .Reason = TFileOpError::IntoItself,
         .Arrange = [this](TStepLayer& layer) { layer.AnsweredAs[B(Dst())] = B(S("Album/Sub")); }},
        {.Name = "move across, a folder showing one the move made",
         .Operation = MoveAcross,
         .Failures = 1,
         .Reason = TFileOpError::IntoItself,
         .Arrange = [this](TStepLayer& layer) { layer.AnsweredAs[B(S("Album/Sub"))] = {}; }},
        {.Name = "copy, replace and merge without no-replace renames or links",
         .Operation = Copy,
         .Taken = true,
         .FolderAnswer = A::Replace,
         .FileAnswer = A::Replace,
         .Arrange = [](TStepLayer& layer) { layer.NoNoReplace = true; }},
        {.Name = "move across, replace and merge without no-replace renames or links",
         .Operation = MoveAcross,
         .Taken = true,
         .FolderAnswer = A::Replace,
         .FileAnswer = A::Replace,
         .Arrange = [](TStepLayer& layer) { layer.NoNoReplace = true; }},
        {.Name = "copy, replace, the replaced files cannot be removed",
         .Operation = Copy,
         .Taken = true,
         .FolderAnswer = A::Replace,
         .FileAnswer = A::Replace,
         .Error = EACCES,
         .LeftBehind = 2,
         .Arrange =
             [](TStepLayer& layer) {
                 layer.Refuse = [](const char* call, const QByteArray& path) {
                     return std::strcmp(call, "unlink") == 0 && path.endsWith(".replaced") ? EACCES : 0;
                 };
             }},
        {.Name = "copy, the target's name cannot be looked up",
         .Operation = Copy,
         .Failures = 1,
         .Error = EACCES,
         .Arrange = [&](TStepLayer& layer) { layer.Refuse = refused("stat", B(D("a.mp3")), EACCES); }},
    };
    const QStringList folders{Src(), Dst()};
    const QByteArray twoPieces = Pattern(256 * 1024 + 1);
    for (const TRow& row : rows) {
        // One run without a fault counts the steps and the progress reports;
        // then each step fails in turn, and the user cancels at each report.
        int steps = 0;
        int reports = 0;
        for (int run = 0;; ++run) {
            const int failAt = run <= steps ? run : 0;
            const int cancelAt = run <= steps ? 0 : run - steps;
            if (cancelAt > reports)
                break;
            SCOPED_TRACE(std::string(row.Name) + ", step " + std::to_string(failAt) + " failing, cancel at report "
                         + std::to_string(cancelAt));
            EmptyFolders(folders);
            WriteFile(S("a.mp3"), twoPieces, 0640);
            WriteFile(S("Album/x.mp3"), "new x");
            WriteFile(S("Album/y.mp3"), "new y", 0444);
            WriteFile(S("Album/Sub/z.mp3"), "new z");
            ASSERT_EQ(::symlink("x.mp3", B(S("Album/link.mp3")).constData()), 0);
            if (row.Taken) {
                WriteFile(D("a.mp3"), "old a");
                WriteFile(D("Album/x.mp3"), "old x");
            }
            TContents before = Contents(folders);

            auto layer = std::make_shared<TStepLayer>();
            layer->FailAt = failAt;
            if (row.Operation == MoveAcross)
                layer->OtherRoot = B(Dst());
            if (row.SourceStays)
                layer->Refuse = [src = B(Src())](const char* call, const QByteArray& path) {
                    return std::strcmp(call, "unlink") == 0 && Below(path, src) ? EACCES : 0;
                };
            if (row.NameTakenMeanwhile)
                layer->Intruder = B(D("a.mp3"));
            if (row.Arrange)
                row.Arrange(*layer);
            TFileOps ops(layer);
            ops.OnCollision = [&row](const QByteArray&, const QByteArray&, bool folder) {
                return TCollisionChoice{folder ? row.FolderAnswer : row.FileAnswer, false};
            };
            int reported = 0;
            ops.OnProgress = [&](const TFileOpProgress&) { return ++reported != cancelAt; };
            const QList<QByteArray> sources{B(S("a.mp3")), B(S("Album"))};
            const TFileOpResult result = row.Operation == Delete ? ops.Delete(sources)
                                         : row.Operation == Copy ? ops.Copy(sources, B(Dst()))
                                                                 : ops.Move(sources, B(Dst()));
            if (layer->IntruderMade)
                before[B(D("a.mp3"))] = Sha256("intruder");
            for (const QByteArray& saved : layer->SavedAnew)
                before[saved] = Sha256("saved anew");
            const TContents after = Contents(folders);
            ExpectEachItemDoneOrAsItWas(before, after, result, row.Operation != Copy, row.Operation == Delete);
            // The run settled every item itself: where a line of its record
            // could not be written, recovery changes nothing, and what it
            // keeps for another time is what the run told was left behind.
            auto plain = std::make_shared<TStepLayer>();
            plain->NoNoReplace = layer->NoNoReplace;
            plain->Refuse = layer->Refuse;
            const QString records = RecordsText();
            const TLeftovers leftovers = TFileOps(plain).RecoverEndedRuns();
            EXPECT_TRUE(leftovers.Restored.isEmpty() && leftovers.Finished.isEmpty() && leftovers.Removed.isEmpty())
                << Told(leftovers).toStdString() << records.toStdString();
            for (const TKeptLeftover& kept : leftovers.Kept)
                EXPECT_TRUE(Names(result, kept.Path, true)) << Told(leftovers).toStdString() << records.toStdString();
            EXPECT_EQ(Contents(folders), after);
            EXPECT_EQ(Tree(RunRecordFolder()).isEmpty(), leftovers.Kept.empty());
            QDir(QFile::decodeName(RunRecordFolder())).removeRecursively();
            // A new folder takes its name only once whole.
            const bool albumArrived = std::any_of(result.Done.begin(), result.Done.end(),
                                                  [&](const TFileOpDone& done) { return done.From == B(S("Album")); });
            if (!row.Taken && row.Operation != Delete) {
                EXPECT_EQ(QFileInfo::exists(D("Album")), albumArrived);
            }
            if (run == 0) {
                steps = layer->Calls;
                reports = reported;
                EXPECT_FALSE(result.Cancelled);
                ASSERT_EQ(result.Failed.size(), row.Failures);
                ASSERT_EQ(result.LeftBehind.size(), row.LeftBehind);
                for (const auto* list : {&result.Failed, &result.LeftBehind}) {
                    for (const TFileOpFailure& failure : *list) {
                        EXPECT_EQ(failure.SystemError, row.Error);
                        EXPECT_EQ(failure.Error, row.Reason);
                    }
                }
                for (const QByteArray& unchanged : result.Unchanged)
                    EXPECT_TRUE(QFileInfo::exists(QFile::decodeName(unchanged))) << unchanged.constData();
            }
        }
    }
}

namespace {

enum class TKillOperation { Copy, Move, MoveAcross };

// A run killed at each step in turn: what it copies or moves into "dst",
// and how: "a.mp3" (or a name of 255 bytes) and "Album" with "x.mp3",
// "Sub/z.mp3" and a link.
struct TKillRow {
    const char* Name;
    TKillOperation Operation;
    bool Taken = false;    // the target holds the file and "Album/x.mp3": answered Replace, merged
    int FileSystem = 0;    // 1: no no-replace rename nor hard links (exFAT); 2: links, no no-replace rename
    bool LongName = false; // the file's name is 255 bytes long
};

using K = TKillOperation;
const TKillRow KillRows[] = {
    {"Copy", K::Copy},
    {"Move", K::Move},
    {"MoveAcross", K::MoveAcross},
    {"CopyReplacing", K::Copy, true},
    {"MoveReplacing", K::Move, true},
    {"MoveAcrossReplacing", K::MoveAcross, true},
    {"CopyExFat", K::Copy, false, 1},
    {"MoveExFat", K::Move, false, 1},
    {"CopyReplacingExFat", K::Copy, true, 1},
    {"MoveReplacingExFat", K::Move, true, 1},
    {"MoveAcrossReplacingExFat", K::MoveAcross, true, 1},
    {"MoveReplacingLinksOnly", K::Move, true, 2},
    {"MoveReplacingLongName", K::Move, true, 0, true},
    {"MoveAcrossReplacingLongName", K::MoveAcross, true, 0, true},
};

QByteArray KilledFileName(const TKillRow& row)
{
    return row.LongName ? QByteArray(251, 'l') + ".mp3" : QByteArray("a.mp3");
}

std::shared_ptr<TStepLayer> KillRowLayer(const TKillRow& row)
{
    auto layer = std::make_shared<TStepLayer>();
    layer->NoNoReplace = row.FileSystem == 1;
    layer->LinksOnly = row.FileSystem == 2;
    return layer;
}

// The run of a row (arguments: row, the call before which it dies, the
// folder that holds "src" and "dst"). Exits with 0 when it was not killed and
// all was done.
int KilledRun(const QStringList& arguments)
{
    const TKillRow& row = KillRows[arguments[0].toInt()];
    const QByteArray root = QFile::encodeName(arguments[2]);
    auto layer = KillRowLayer(row);
    layer->KillAt = arguments[1].toInt();
    if (row.Operation == K::MoveAcross)
        layer->OtherRoot = root + "/dst";
    TFileOps ops(layer);
    ops.OnCollision = [](const QByteArray&, const QByteArray&, bool) {
        return TCollisionChoice{TCollisionAnswer::Replace, false};
    };
    const QList<QByteArray> sources{root + "/src/" + KilledFileName(row), root + "/src/Album"};
    const TFileOpResult result =
        row.Operation == K::Copy ? ops.Copy(sources, root + "/dst") : ops.Move(sources, root + "/dst");
    return result.Failed.empty() && result.LeftBehind.empty() && result.Unchanged.isEmpty() ? 0 : 1;
}

const TChildRegistration KilledRunRegistration("fileops-killed-run", KilledRun);

// Every name below the folders that starts with a dot.
QStringList HiddenNamesIn(const QStringList& folders)
{
    QStringList hidden;
    for (const QString& folder : folders)
        for (const QString& name : Tree(folder))
            if (name.startsWith('.') || name.contains("/."))
                hidden << folder + "/" + name;
    return hidden;
}

}

class FileOpsKillTest : public FileOpsTest, public ::testing::WithParamInterface<size_t> {
protected:
    // Each unit of the row: what goes from src to dst wholly or not at all.
    QStringList Units(const TKillRow& row) const
    {
        const QString file = QFile::decodeName(KilledFileName(row));
        return row.Taken ? QStringList{file, "Album/x.mp3", "Album/Sub", "Album/link.mp3"}
                         : QStringList{file, "Album"};
    }

    // After recovery: each unit wholly done or wholly as it was (all done
    // when the run ended by itself), bytes intact, nothing else changed, no
    // hidden name anywhere.
    void ExpectSettled(const TKillRow& row, const TContents& before, bool allDone)
    {
        const bool moving = row.Operation != K::Copy;
        const TContents after = Contents({Src(), Dst()});
        TContents expected = before;
        int done = 0;
        for (const QString& unit : Units(row)) {
            const QByteArray from = B(S(unit));
            const QByteArray to = B(D(unit));
            TContents arrived;
            for (const auto& [path, content] : before)
                if (Below(path, from))
                    arrived[to + path.mid(from.size())] = content;
            const auto first = arrived.begin();
            const bool unitDone = after.count(first->first) && after.at(first->first) == first->second;
            EXPECT_TRUE(unitDone || !allDone) << unit.toStdString();
            const bool replaces = row.Taken && (unit == Units(row).first() || unit == "Album/x.mp3");
            EXPECT_EQ(QFileInfo::exists(D(unit)), unitDone || replaces) << unit.toStdString();
            if (!unitDone)
                continue;
            ++done;
            if (moving) {
                std::erase_if(expected, [&](const auto& entry) { return Below(entry.first, from); });
                EXPECT_FALSE(QFileInfo::exists(S(unit))) << unit.toStdString();
            }
            for (const auto& [path, content] : arrived)
                expected[path] = content;
        }
        if (moving && row.Taken) {
            EXPECT_EQ(QFileInfo::exists(S("Album")), done < Units(row).size());
        }
        EXPECT_EQ(after, expected);
        EXPECT_EQ(HiddenNamesIn({Src(), Dst()}), QStringList());
        EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
    }
};

// Killed just before any call of the file layer, in a process of its own,
// a run leaves its record; recovery in another process settles each item
// from it: wholly done or as it was, under the names the user sees (a name
// cut to fit a hidden name comes back whole), nothing hidden left, nothing
// kept, the record gone.
TEST_P(FileOpsKillTest, AKillAtAnyStepIsSettledByRecovery)
{
    const size_t index = GetParam();
    const TKillRow& row = KillRows[index];
    const QString file = QFile::decodeName(KilledFileName(row));
    int killed = 0;
    for (int killAt = 1;; ++killAt) {
        SCOPED_TRACE(std::string(row.Name) + ", killed before call " + std::to_string(killAt));
        EmptyFolders({Src(), Dst()});
        WriteFile(S(file), "new a", 0640);
        WriteFile(S("Album/x.mp3"), "new x");
        WriteFile(S("Album/Sub/z.mp3"), "new z");
        ASSERT_EQ(::symlink("x.mp3", B(S("Album/link.mp3")).constData()), 0);
        if (row.Taken) {
            WriteFile(D(file), "old a");
            WriteFile(D("Album/x.mp3"), "old x");
        }
        const TContents before = Contents({Src(), Dst()});
        const TChildEnd end =
            RunChild("fileops-killed-run", {QString::number(index), QString::number(killAt), Dir.path()});
        if (!end.Killed) {
            EXPECT_EQ(end.ExitCode, 0);
            ExpectSettled(row, before, true);
            break;
        }
        ++killed;
        const QString records = RecordsText();
        const TLeftovers told = TFileOps(KillRowLayer(row)).RecoverEndedRuns();
        EXPECT_TRUE(told.Kept.empty()) << Told(told).toStdString() << records.toStdString();
        ExpectSettled(row, before, false);
        if (HasFailure()) {
            ADD_FAILURE() << Told(told).toStdString() << records.toStdString();
            break;
        }
    }
    EXPECT_GT(killed, 20);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, FileOpsKillTest, ::testing::Range<size_t>(0, std::size(KillRows)),
                         [](const ::testing::TestParamInfo<size_t>& info) { return KillRows[info.param].Name; });

// A folder moved to another file system, killed at each step, and an
// original inside it saved anew by another program before recovery: the new
// version stays where it is, in every case; where the folder had arrived, it
// is told once as left behind and the run is settled, with nothing kept in
// the record for another time.
TEST_F(FileOpsTest, AnOriginalSavedAnewAfterAKilledFolderMoveStaysAndIsToldOnce)
{
    const size_t moveAcross = 2;
    ASSERT_STREQ(KillRows[moveAcross].Name, "MoveAcross");
    int leftBehind = 0;
    for (int killAt = 1;; ++killAt) {
        SCOPED_TRACE("killed before call " + std::to_string(killAt));
        EmptyFolders({Src(), Dst()});
        WriteFile(S("a.mp3"), "new a");
        WriteFile(S("Album/x.mp3"), "new x");
        WriteFile(S("Album/Sub/z.mp3"), "new z");
        ASSERT_EQ(::symlink("x.mp3", B(S("Album/link.mp3")).constData()), 0);
        const TChildEnd end =
            RunChild("fileops-killed-run", {QString::number(moveAcross), QString::number(killAt), Dir.path()});
        if (!end.Killed)
            break;
        const bool saved = QFileInfo::exists(S("Album/Sub/z.mp3"));
        if (saved)
            WriteFile(S("Album/Sub/z.mp3"), "changed z", 0644, 1600000000);
        const TLeftovers told = TFileOps().RecoverEndedRuns();
        EXPECT_TRUE(told.Kept.empty()) << Told(told).toStdString();
        EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
        if (saved) {
            EXPECT_EQ(ReadFile(S("Album/Sub/z.mp3")), "changed z");
        }
        for (const TKeptLeftover& left : told.LeftBehind) {
            EXPECT_EQ(left.Path, B(S("Album/Sub/z.mp3")));
            EXPECT_EQ(ReadFile(D("Album/Sub/z.mp3")), "new z");
            ++leftBehind;
        }
        EXPECT_TRUE(TFileOps().RecoverEndedRuns().IsEmpty()) << "told once";
        if (HasFailure())
            break;
    }
    EXPECT_GT(leftBehind, 0);
}

namespace {

// A rename killed just before the call of the file layer numbered
// arguments[0]: the entry at arguments[1] to the name arguments[2].
int KilledRename(const QStringList& arguments)
{
    auto layer = std::make_shared<TStepLayer>();
    layer->KillAt = arguments[0].toInt();
    return RenameInFolder(*layer, QFile::encodeName(arguments[1]), QFile::encodeName(arguments[2])) == 0 ? 0 : 1;
}

const TChildRegistration KilledRenameRegistration("fileops-killed-rename", KilledRename);

}

// On exFAT a change of case goes through a hidden name: killed at any step,
// recovery gives the file or folder (with what is in it) one of its two
// names, nothing hidden stays, and the record goes.
TEST_F(FileOpsTest, ACaseOnlyRenameKilledAtAnyStepIsSettledByRecovery)
{
    const TExFatStick mount(Dir.filePath("stick"));
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Why().toStdString();
    const QString stick = mount.Path();
    for (const bool folder : {false, true}) {
        const QString file = folder ? "/cd1.mp3" : QString();
        int killed = 0;
        for (int killAt = 1;; ++killAt) {
            // A name of its own each time: the kernel keeps what it learnt of
            // a name for a while, also of one removed under another spelling.
            const QString name = (folder ? QString("album%1") : QString("song%1.mp3")).arg(killAt);
            const QString newName = (folder ? QString("Album%1") : QString("Song%1.mp3")).arg(killAt);
            SCOPED_TRACE(name.toStdString() + ", killed before call " + std::to_string(killAt));
            for (const QString& entry : QDir(stick).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                ASSERT_TRUE(QFileInfo(stick + "/" + entry).isDir() ? QDir(stick + "/" + entry).removeRecursively()
                                                                   : QFile::remove(stick + "/" + entry));
            WriteFile(stick + "/" + name + file, "the song");
            const TChildEnd end = RunChild("fileops-killed-rename", {QString::number(killAt), stick + "/" + name, newName});
            if (end.Killed) {
                ++killed;
                EXPECT_TRUE(TFileOps().RecoverEndedRuns().Kept.empty());
            } else {
                EXPECT_EQ(end.ExitCode, 0);
            }
            const QStringList names = QDir(stick).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
            ASSERT_EQ(names.size(), 1) << names.join(' ').toStdString();
            EXPECT_TRUE(names[0] == name || names[0] == newName) << names[0].toStdString();
            EXPECT_TRUE(end.Killed || names[0] == newName);
            EXPECT_EQ(ReadFile(stick + "/" + names[0] + file), "the song");
            EXPECT_EQ(HiddenNamesIn({stick}), QStringList());
            EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
            if (!end.Killed || HasFailure())
                break;
        }
        EXPECT_GT(killed, 10);
    }
}

// Another program saves a new version of a file that an item is about to
// replace or to remove, at every moment where it could be lost: the new
// version is never removed or replaced, and the item says why.
TEST_F(FileOpsTest, ANewVersionSavedWhileAnItemIsUnderWayIsNeverLost)
{
    // Written in place between the question and the item, keeping its size
    // and modification time (as a tag editor that keeps file dates does):
    // only its status-change time tells.
    WriteFile(S("a.mp3"), "new a");
    WriteFile(D("a.mp3"), "old a");
    TFileOps ops;
    ops.OnCollision = [this](const QByteArray&, const QByteArray&, bool) {
        const struct stat before = LStatOf(D("a.mp3"));
        const int fd = ::open(B(D("a.mp3")).constData(), O_WRONLY);
        EXPECT_EQ(::pwrite(fd, "O", 1, 0), 1);
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        EXPECT_EQ(::futimens(fd, times), 0);
        ::close(fd);
        return TCollisionChoice{TCollisionAnswer::Replace, false};
    };
    const TFileOpResult inPlace = ops.Copy({B(S("a.mp3"))}, B(Dst()));
    ASSERT_EQ(inPlace.Failed.size(), 1u);
    EXPECT_EQ(inPlace.Failed[0].Error, TFileOpError::Changed);
    EXPECT_EQ(ReadFile(D("a.mp3")), "Old a");

    // Renamed over its name between that check and its own rename to the
    // hidden name: put back at once.
    for (bool move : {false, true}) {
        SCOPED_TRACE(move ? "moved" : "copied");
        EmptyFolders({Src(), Dst()});
        WriteFile(S("a.mp3"), "new a");
        WriteFile(D("a.mp3"), "old a");
        auto layer = std::make_shared<TStepLayer>();
        layer->SaveAnew[B(D("a.mp3"))] = B(D("a.mp3"));
        TFileOps replacing(layer);
        replacing.OnCollision = [](const QByteArray&, const QByteArray&, bool) {
            return TCollisionChoice{TCollisionAnswer::Replace, false};
        };
        const TFileOpResult renamedOver =
            move ? replacing.Move({B(S("a.mp3"))}, B(Dst())) : replacing.Copy({B(S("a.mp3"))}, B(Dst()));
        ASSERT_EQ(renamedOver.Failed.size(), 1u);
        EXPECT_EQ(renamedOver.Failed[0].Error, TFileOpError::Changed);
        EXPECT_EQ(ReadFile(D("a.mp3")), "saved anew");
        EXPECT_EQ(ReadFile(S("a.mp3")), "new a");
        EXPECT_EQ(Tree(Dst()), QStringList({"a.mp3"}));
    }

    // Written in place while set aside, before it is removed: it stays, and
    // is told.
    EmptyFolders({Src(), Dst()});
    WriteFile(S("a.mp3"), "new a");
    WriteFile(D("a.mp3"), "old a");
    auto layer = std::make_shared<TStepLayer>();
    layer->WriteInPlace[B(D("a.mp3"))] = {B(Dst()), ".replaced"};
    TFileOps writing(layer);
    writing.OnCollision = [](const QByteArray&, const QByteArray&, bool) {
        return TCollisionChoice{TCollisionAnswer::Replace, false};
    };
    const TFileOpResult written = writing.Copy({B(S("a.mp3"))}, B(Dst()));
    EXPECT_TRUE(written.Failed.empty());
    ASSERT_EQ(written.LeftBehind.size(), 1u);
    EXPECT_EQ(written.LeftBehind[0].Error, TFileOpError::Changed);
    EXPECT_EQ(ReadFile(QFile::decodeName(written.LeftBehind[0].Inner)), "Wld a");
    EXPECT_EQ(ReadFile(D("a.mp3")), "new a");

    // A moved source renamed over by another program just before it goes:
    // the move is taken back, the new version stays.
    EmptyFolders({Src(), Dst()});
    WriteFile(S("a.mp3"), "new a");
    auto across = std::make_shared<TStepLayer>();
    across->OtherRoot = B(Dst());
    across->SaveAnew[B(S("a.mp3"))] = B(S("a.mp3"));
    TFileOps moving(across);
    const TFileOpResult moved = moving.Move({B(S("a.mp3"))}, B(Dst()));
    ASSERT_EQ(moved.Failed.size(), 1u);
    EXPECT_EQ(moved.Failed[0].Error, TFileOpError::Changed);
    EXPECT_EQ(ReadFile(S("a.mp3")), "saved anew");
    EXPECT_EQ(Tree(Src()), QStringList({"a.mp3"}));
    EXPECT_EQ(Tree(Dst()), QStringList());
    EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
}

// Where a name is held by a reservation (a file system without no-replace
// rename or hard links), a file another program saves under that name
// meanwhile is never replaced: the copy fails, and says why.
TEST_F(FileOpsTest, AReservedNameThatAnotherProgramTookIsNeverReplaced)
{
    WriteFile(S("c.mp3"), "copied c");
    auto layer = std::make_shared<TStepLayer>();
    layer->NoNoReplace = true;
    layer->SavedOverReservation = B(D("c.mp3"));
    TFileOps ops(layer);
    const TFileOpResult result = ops.Copy({B(S("c.mp3"))}, B(Dst()));
    ASSERT_EQ(result.Failed.size(), 1u);
    EXPECT_EQ(result.Failed[0].SystemError, EEXIST);
    EXPECT_TRUE(result.Done.empty());
    EXPECT_EQ(ReadFile(D("c.mp3")), "saved anew");
    EXPECT_EQ(Tree(Dst()), QStringList({"c.mp3"}));
    EXPECT_EQ(ReadFile(S("c.mp3")), "copied c");
}

// Names that look like the program's hidden names, but that no record of a
// run names, are the user's: neither a copy into their folder nor recovery
// touches them.
TEST_F(FileOpsTest, HiddenNamesNoRecordKnowsAreLeftAlone)
{
    WriteFile(D(".Live Album.99998-Qwertyui.part/01.mp3"), "live 1");
    WriteFile(D(".Live Album.99998-Qwertyui.part/02.mp3"), "live 2");
    WriteFile(D(".song.mp3.99999-abcdefgh.part"), "song");
    WriteFile(D(".b.mp3.4-aBcDeF12.moving"), "b");
    WriteFile(D(".c.mp3.aBcDeF12.replaced"), "c");
    const TContents before = Contents({Dst()});
    WriteFile(S("next.mp3"), "next");
    TFileOps ops;
    const TFileOpResult result = ops.Copy({B(S("next.mp3"))}, B(Dst()));
    EXPECT_TRUE(result.Failed.empty());
    EXPECT_TRUE(result.Leftovers.IsEmpty());
    EXPECT_TRUE(ops.RecoverEndedRuns().IsEmpty());
    TContents after = Contents({Dst()});
    after.erase(B(D("next.mp3")));
    EXPECT_EQ(after, before);
}

TEST_F(FileOpsTest, ACopyThatReadsBackDifferentlyIsRemoved)
{
    WriteFile(S("a.mp3"), Pattern(3 * 1024 * 1024));
    auto layer = std::make_shared<TStepLayer>();
    layer->CorruptWrites = true;
    TFileOps ops(layer);
    const TFileOpResult corrupt = ops.Copy({B(S("a.mp3"))}, B(Dst()));
    ASSERT_EQ(corrupt.Failed.size(), 1u);
    EXPECT_EQ(corrupt.Failed[0].Error, TFileOpError::VerifyFailed);
    EXPECT_EQ(Tree(Dst()), QStringList());

    // Another program writes into the source while it is copied: the copy
    // would hold neither version.
    layer->CorruptWrites = false;
    layer->OtherRoot = B(Dst());
    bool written = false;
    ops.OnProgress = [&](const TFileOpProgress& progress) {
        if (progress.DoneBytes > 0 && !written) {
            written = true;
            WriteFile(S("a.mp3"), Pattern(3 * 1024 * 1024, 2), 0644, 1600000000);
        }
        return true;
    };
    const TFileOpResult changed = ops.Move({B(S("a.mp3"))}, B(Dst()));
    ASSERT_EQ(changed.Failed.size(), 1u);
    EXPECT_EQ(changed.Failed[0].Error, TFileOpError::VerifyFailed);
    EXPECT_EQ(Tree(Dst()), QStringList());
    EXPECT_EQ(ReadFile(S("a.mp3")), Pattern(3 * 1024 * 1024, 2));
}

TEST_F(FileOpsTest, AFolderSwappedForALinkWhileItIsWalkedIsNeverFollowed)
{
    const QString outside = Dir.filePath("outside");
    for (bool forFolder : {false, true}) {
        for (bool deleting : {true, false}) {
            for (bool whenListing : {false, true}) {
                SCOPED_TRACE(std::string(deleting ? "delete" : "move to another file system")
                             + (whenListing ? ", swapped when listed" : ", swapped when opened")
                             + (forFolder ? ", for another folder" : ", for a link"));
                const auto run = [&](int swapOn) {
                    EmptyFolders({Src(), Dst(), outside});
                    WriteFile(S("Album/01.mp3"), "one");
                    WriteFile(S("Album/Sub/02.mp3"), "two");
                    WriteFile(outside + "/keep.mp3", "keep");
                    auto layer = std::make_shared<TStepLayer>();
                    layer->OtherRoot = B(Dst());
                    layer->Swapped = B(S("Album/Sub"));
                    layer->SwapTo = B(outside);
                    layer->SwapForFolder = forFolder;
                    layer->SwapWhenListing = whenListing;
                    layer->SwapOn = swapOn;
                    TFileOps ops(layer);
                    const TFileOpResult result =
                        deleting ? ops.Delete({B(S("Album"))}) : ops.Move({B(S("Album"))}, B(Dst()));
                    return std::make_pair(result, layer->SwapMoments);
                };
                // The folder is swapped the last time the walk reaches it: when
                // the walk that removes what is in it does.
                const int moments = run(-1).second;
                const TFileOpResult result = run(moments).first;
                const QString swapped = forFolder ? S("Album/Sub") : outside;
                EXPECT_EQ(QFileInfo(S("Album/Sub")).isSymLink(), !forFolder);
                EXPECT_EQ(Tree(swapped), QStringList({"keep.mp3"}));
                EXPECT_EQ(ReadFile(swapped + "/keep.mp3"), "keep");
                // A move has arrived whole; what stays at the source is told.
                const std::vector<TFileOpFailure>& named = deleting ? result.Failed : result.LeftBehind;
                ASSERT_EQ(named.size(), 1u);
                EXPECT_EQ(named[0].Inner, B(S("Album/Sub")));
                EXPECT_EQ(result.Failed.empty(), !deleting);
            }
        }
    }
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
    // ".." names the folder above: never deleted through it.
    const TFileOpResult above = ops.Delete({B(S("One/..")), B(S("One/."))});
    ASSERT_EQ(above.Failed.size(), 2u);
    EXPECT_EQ(above.Failed[0].Error, TFileOpError::InvalidName);
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

    // Copies into their own folder: numbers beyond 32 bits, and a name at the
    // length limit, whose stem is cut at a whole character so that the number
    // fits (found at once, not after probing every number).
    const QByteArray longStem = QString(125, QChar(0xe4)).toUtf8(); // 250 bytes
    const QByteArray clefs = QString::fromUcs4(std::u32string(62, U'\U0001D11E').c_str(), 62).toUtf8(); // 248 bytes
    const std::map<QByteArray, QByteArray> copies{{"Song (2147483647).mp3", "Song (2147483648).mp3"},
                                                  {longStem + ".mp3", longStem.left(246) + " (2).mp3"},
                                                  {clefs + ".mp3", clefs.left(244) + " (2).mp3"}};
    for (const auto& [name, expected] : copies) {
        SCOPED_TRACE(name.constData());
        WriteFile(QFile::decodeName(B(dir.path()) + "/" + name), "copied");
        auto counting = std::make_shared<TStepLayer>();
        TFileOps countingOps(counting);
        const TFileOpResult result = countingOps.Copy({B(dir.path()) + "/" + name}, B(dir.path()));
        ASSERT_EQ(result.Done.size(), 1u);
        EXPECT_EQ(PathName(result.Done[0].To), expected);
        EXPECT_EQ(ReadFile(QFile::decodeName(result.Done[0].To)), "copied");
        EXPECT_LT(counting->Calls, 100);
    }

    // The largest number taken: no name is left, and none wraps around.
    WriteFile(dir.filePath("Song (9223372036854775806).mp3"), "806");
    WriteFile(dir.filePath("Song (9223372036854775807).mp3"), "807");
    const TFileOpResult none = ops.Copy({B(dir.filePath("Song (9223372036854775806).mp3"))}, B(dir.path()));
    ASSERT_EQ(none.Failed.size(), 1u);
    EXPECT_EQ(none.Failed[0].Error, TFileOpError::NoFreeName);
    EXPECT_EQ(QDir(dir.path()).entryList({"Song (-*"}), QStringList());
    EXPECT_EQ(ops.FreeName(B(dir.path()), "Song (9223372036854775806).mp3", false), QByteArray());

    // Hidden names keep as much of the name as fits beside their letters and
    // suffix, cut at a whole character: names of one-byte characters of every
    // length around the limit, and of four-byte characters.
    std::vector<QByteArray> names{"Song.mp3", clefs + ".mp3"};
    for (int length = 225; length <= 255; ++length)
        names.push_back(QByteArray(length, 'a'));
    for (const QByteArray& name : names) {
        for (THiddenKind kind : {THiddenKind::Copy, THiddenKind::SetAside, THiddenKind::Moving, THiddenKind::Removing,
                                 THiddenKind::Renaming, THiddenKind::Probe}) {
            const QByteArray hidden = HiddenName(name, kind);
            SCOPED_TRACE(hidden.constData());
            const QByteArray suffix = hidden.mid(hidden.lastIndexOf('.'));
            const qsizetype around = 1 + 1 + 8 + suffix.size(); // "." name "." letters suffix
            const QByteArray kept = hidden.mid(1, hidden.size() - around);
            EXPECT_TRUE(hidden.startsWith("." + kept + "."));
            EXPECT_TRUE(name.startsWith(kept));
            EXPECT_EQ(QString::fromUtf8(kept).toUtf8(), kept); // whole characters
            // As long as an entry may be, where the name had to be cut: to the
            // byte for one-byte characters, to the last whole one else.
            const bool oneByte = QString::fromUtf8(name).size() == name.size();
            if (name.size() + around <= 255 || oneByte) {
                EXPECT_EQ(hidden.size(), std::min<qsizetype>(255, name.size() + around));
            } else {
                EXPECT_GT(hidden.size(), 255 - 4);
            }
            EXPECT_NE(HiddenName(name, kind), hidden); // letters of its own
        }
    }
}

// Seen through a second mount (a FUSE view of the same folder), a file has
// another device and inode, and the kernel keeps what it learnt of an entry
// for a while: moved or copied onto itself there, either way, with Replace,
// files and folders must be left as they are; and a folder copied into a
// view of its own subfolder must not go on copying what it copies.
TEST_F(FileOpsTest, WhatASecondMountShowsIsNeverCopiedOntoOrIntoItself)
{
    const QString view = Dir.filePath("view");
    const TBindView mount(Src(), view);
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Why().toStdString();
    WriteFile(S("w1.mp3"), Pattern(300 * 1024));
    WriteFile(S("w2.mp3"), Pattern(1000, 2));
    WriteFile(S("Album/x.mp3"), Pattern(1000, 3));
    WriteFile(S("Album/Sub/y.mp3"), Pattern(1000, 4));
    ASSERT_NE(LStatOf(S("w1.mp3")).st_dev, LStatOf(view + "/w1.mp3").st_dev);
    const TContents before = Contents({Src()});
    TFileOps ops;
    QStringList asked;
    AnswerAll(ops, TCollisionAnswer::Replace, asked, true);
    const QStringList names{"w1.mp3", "w2.mp3", "Album"};
    for (const bool fromView : {true, false}) {
        for (const bool move : {true, false}) {
            SCOPED_TRACE(std::string(move ? "moved" : "copied") + (fromView ? " from the view" : " into the view"));
            QList<QByteArray> sources;
            for (const QString& name : names)
                sources << B((fromView ? view : Src()) + "/" + name);
            // What the view shows is read first, as a user's player or file
            // manager does: the kernel keeps it.
            for (const QString& name : names)
                (void)LStatOf(view + "/" + name);
            const QByteArray target = B(fromView ? Src() : view);
            const TFileOpResult result = move ? ops.Move(sources, target) : ops.Copy(sources, target);
            EXPECT_TRUE(result.Failed.empty());
            EXPECT_TRUE(result.Done.empty());
            EXPECT_EQ(result.OntoItself, sources);
            EXPECT_EQ(Contents({Src()}), before);
            EXPECT_EQ(Tree(Src()), QStringList({"Album/", "Album/Sub/", "Album/Sub/y.mp3", "Album/x.mp3", "w1.mp3", "w2.mp3"}));
        }
    }
    EXPECT_TRUE(asked.isEmpty());

    MakeAlbum(S("Album2"));
    const QString subView = Dir.filePath("subview");
    const TBindView subMount(S("Album2/Bonus"), subView);
    ASSERT_TRUE(subMount.Mounted());
    const QStringList album = Tree(S("Album2"));
    for (bool move : {false, true}) {
        SCOPED_TRACE(move ? "moved" : "copied");
        const TFileOpResult result = move ? ops.Move({B(S("Album2"))}, B(subView)) : ops.Copy({B(S("Album2"))}, B(subView));
        ASSERT_EQ(result.Failed.size(), 1u);
        EXPECT_EQ(result.Failed[0].Error, TFileOpError::IntoItself);
        EXPECT_EQ(Tree(S("Album2")), album);
    }
    EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
}

namespace {

// Moves view/w1.mp3 and view/Album onto real (arguments: the folder that
// holds both; Replace), killed just before the call numbered arguments[1].
int KilledMoveFromView(const QStringList& arguments)
{
    auto layer = std::make_shared<TStepLayer>();
    layer->KillAt = arguments[1].toInt();
    TFileOps ops(layer);
    ops.OnCollision = [](const QByteArray&, const QByteArray&, bool) {
        return TCollisionChoice{TCollisionAnswer::Replace, false};
    };
    const QByteArray root = QFile::encodeName(arguments[0]);
    const TFileOpResult result = ops.Move({root + "/view/w1.mp3", root + "/view/Album"}, root + "/real");
    return result.OntoItself.size() == 2 ? 0 : 1;
}

const TChildRegistration KilledMoveFromViewRegistration("fileops-killed-move-from-view", KilledMoveFromView);

}

// Killed at any step while it finds out that a second view of a folder is
// the folder itself (an entry made in one, looked up through the other),
// the move leaves the files as they were, and nothing hidden.
TEST_F(FileOpsTest, AKillWhileTwoViewsOfAFolderAreComparedIsSettledByRecovery)
{
    const QString real = Dir.filePath("real");
    ASSERT_TRUE(QDir().mkpath(real));
    const TBindView mount(real, Dir.filePath("view"));
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Why().toStdString();
    WriteFile(real + "/w1.mp3", "one");
    WriteFile(real + "/Album/x.mp3", "x");
    const TContents before = Contents({real});
    int killed = 0;
    for (int killAt = 1;; ++killAt) {
        SCOPED_TRACE("killed before call " + std::to_string(killAt));
        const TChildEnd end = RunChild("fileops-killed-move-from-view", {Dir.path(), QString::number(killAt)});
        if (end.Killed) {
            ++killed;
            EXPECT_TRUE(TFileOps().RecoverEndedRuns().IsEmpty());
        } else {
            EXPECT_EQ(end.ExitCode, 0);
        }
        EXPECT_EQ(Contents({real}), before);
        EXPECT_EQ(HiddenNamesIn({real}), QStringList());
        EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
        if (!end.Killed || HasFailure())
            break;
    }
    EXPECT_GT(killed, 5);
}

// exFAT (through FUSE, as on sticks and cards) has neither RENAME_NOREPLACE
// nor hard links: names are taken through reservations there.
TEST_F(FileOpsTest, CopiesAndMovesOntoAnExFatImage)
{
    const TExFatStick mount(Dir.filePath("stick"));
    if (!mount.Mounted())
        GTEST_SKIP() << mount.Why().toStdString();
    const QString stick = mount.Path();

    MakeAlbum(S("Album"));
    ASSERT_EQ(::unlink(B(S("Album/link.mp3")).constData()), 0); // exFAT keeps no links
    ASSERT_EQ(::unlink((B(S("Album")) + "/Caf\xe9.mp3").constData()), 0); // nor names that are no UTF-8
    WriteFile(S("a.mp3"), "new a");
    WriteFile(stick + "/a.mp3", "old a");
    TFileOps ops;
    QStringList asked;
    AnswerAll(ops, TCollisionAnswer::Replace, asked);
    const TFileOpResult copied = ops.Copy({B(S("a.mp3")), B(S("Album"))}, B(stick));
    EXPECT_TRUE(copied.Failed.empty());
    EXPECT_EQ(ReadFile(stick + "/a.mp3"), "new a");
    EXPECT_EQ(ReadFile(stick + "/Album/01 Intro.mp3"), ReadFile(S("Album/01 Intro.mp3")));
    // A copy into its own folder there, and moves from another file system
    // and within it, replacing.
    const TFileOpResult numbered = ops.Copy({B(stick + "/a.mp3")}, B(stick));
    EXPECT_TRUE(numbered.Failed.empty());
    EXPECT_EQ(ReadFile(stick + "/a (2).mp3"), "new a");
    ASSERT_TRUE(QDir(stick + "/Album").removeRecursively());
    const TFileOpResult moved = ops.Move({B(S("Album"))}, B(stick));
    EXPECT_TRUE(moved.Failed.empty());
    EXPECT_FALSE(QFileInfo::exists(S("Album")));
    EXPECT_EQ(ReadFile(stick + "/Album/Bonus/03 Live.mp3"), Pattern(1000, 3));
    const TFileOpResult within = ops.Move({B(stick + "/a (2).mp3"), B(stick + "/Album/Bonus")}, B(stick + "/Album"));
    EXPECT_TRUE(within.Failed.empty());
    EXPECT_EQ(ReadFile(stick + "/Album/a (2).mp3"), "new a");
    EXPECT_EQ(ReadFile(stick + "/Album/Bonus/03 Live.mp3"), Pattern(1000, 3));
    EXPECT_EQ(Tree(stick).filter(QRegularExpression("(^|/)\\.")), QStringList());
    EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
}

namespace {

// Whether path appears within a minute (a bound for a test that fails, not
// a time anything waits for).
bool AppearsSoon(const QString& path)
{
    for (int i = 0; i < 6000 && !QFileInfo::exists(path); ++i)
        QThread::msleep(10);
    return QFileInfo::exists(path);
}

// The runs of the test below (arguments: which, and the folder that holds
// "src" and "dst"); each writes its process id to "<which>.pid" there.
// "paused-copy" copies src/big.mp3 into dst, and after its first piece makes
// "started" and waits for "go"; "killed-move" moves src/b.mp3 onto dst/b.mp3
// (Replace) and dies before it takes its name; "recover" settles what runs
// that ended left, and must have put two files back.
int RunInProcessIdSpace(const QStringList& arguments)
{
    const QString which = arguments[0];
    const QString root = arguments[1];
    QFile pid(root + "/" + which + ".pid");
    if (!pid.open(QIODevice::WriteOnly) || pid.write(QByteArray::number(::getpid())) <= 0)
        return 2;
    pid.close();
    if (which == "recover")
        return TFileOps().RecoverEndedRuns().Restored.size() == 2 ? 0 : 1;
    const bool killed = which == "killed-move";
    TFileOps ops(killed ? std::shared_ptr<TFileLayer>(std::make_shared<TKillingLayer>()) : nullptr);
    ops.OnCollision = [](const QByteArray&, const QByteArray&, bool) {
        return TCollisionChoice{TCollisionAnswer::Replace, false};
    };
    ops.OnProgress = [&](const TFileOpProgress& progress) {
        if (progress.DoneBytes > 0 && !QFileInfo::exists(root + "/started")) {
            QFile(root + "/started").open(QIODevice::WriteOnly);
            return AppearsSoon(root + "/go");
        }
        return true;
    };
    const QByteArray target = QFile::encodeName(root + "/dst");
    const TFileOpResult result = killed ? ops.Move({QFile::encodeName(root + "/src/b.mp3")}, target)
                                        : ops.Copy({QFile::encodeName(root + "/src/big.mp3")}, target);
    return result.Failed.empty() && result.Done.size() == 1 ? 0 : 1;
}

const TChildRegistration ProcessIdSpaceRegistration("fileops-process-id-space", RunInProcessIdSpace);

}

// Runs in other process id spaces (sandboxed app packages start each
// instance in one of its own) have ids that mean nothing outside, and the
// other way round: only the lock on a run's record tells a run that lives
// from one that ended. A copy under way in another space keeps its hidden
// copy and its record while this process settles what ended runs left, and
// ends well; a move killed in another space is settled here and in yet
// another space alike.
TEST_F(FileOpsTest, RunsInOtherProcessIdSpacesAreToldApartByTheLocksOnTheirRecords)
{
    if (RunCommand("unshare", {"-p", "-f", "--mount-proc", "true"}) != 0)
        GTEST_SKIP() << "unshare cannot make a process id space here (needs root, or user namespaces)";
    // The run is not the first process of its space (which no signal from
    // inside reaches): a shell starts it.
    const QStringList inside{"-p", "-f", "--mount-proc", "sh", "-c", "\"$0\" \"$@\"; exit $?"};
    const auto pidIn = [&](const char* which) { return ReadFile(Dir.filePath(QString(which) + ".pid")).toInt(); };

    WriteFile(S("big.mp3"), Pattern(600 * 1024));
    QProcess live;
    live.start("unshare", inside + ChildCommandLine("fileops-process-id-space", {"paused-copy", Dir.path()}));
    ASSERT_TRUE(AppearsSoon(Dir.filePath("started")));
    EXPECT_LT(pidIn("paused-copy"), 10);
    const QStringList copying = Tree(Dst());
    ASSERT_EQ(copying.size(), 1);
    EXPECT_TRUE(copying[0].endsWith(".part"));
    ASSERT_EQ(Tree(RunRecordFolder()).size(), 1);
    WriteFile(S("other.mp3"), "other");
    TFileOps ops;
    const TFileOpResult other = ops.Copy({B(S("other.mp3"))}, B(Dst()));
    EXPECT_TRUE(other.Leftovers.IsEmpty());
    EXPECT_TRUE(ops.RecoverEndedRuns().IsEmpty());
    EXPECT_EQ(Tree(Dst()), QStringList({copying[0], "other.mp3"}));
    EXPECT_EQ(Tree(RunRecordFolder()).size(), 1);
    QFile(Dir.filePath("go")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(live.waitForFinished(60000));
    EXPECT_EQ(live.exitCode(), 0) << live.readAllStandardError().toStdString();
    EXPECT_EQ(ReadFile(D("big.mp3")), Pattern(600 * 1024));
    EXPECT_EQ(Tree(Dst()), QStringList({"big.mp3", "other.mp3"}));
    EXPECT_EQ(Tree(RunRecordFolder()), QStringList());

    for (const bool here : {true, false}) {
        SCOPED_TRACE(here ? "settled here" : "settled in another process id space");
        WriteFile(S("b.mp3"), "moved b");
        WriteFile(D("b.mp3"), "old b");
        const TChildEnd killed = RunChild("fileops-process-id-space", {"killed-move", Dir.path()}, QStringList("unshare") + inside);
        EXPECT_EQ(killed.ExitCode, 128 + SIGKILL);
        EXPECT_LT(pidIn("killed-move"), 10);
        EXPECT_EQ(Tree(RunRecordFolder()).size(), 1);
        if (here) {
            const TLeftovers told = ops.RecoverEndedRuns();
            EXPECT_EQ(told.Restored, QList<QByteArray>({B(S("b.mp3")), B(D("b.mp3"))}));
        } else {
            EXPECT_EQ(RunChild("fileops-process-id-space", {"recover", Dir.path()}, QStringList("unshare") + inside).ExitCode, 0);
        }
        EXPECT_EQ(ReadFile(S("b.mp3")), "moved b");
        EXPECT_EQ(ReadFile(D("b.mp3")), "old b");
        EXPECT_EQ(HiddenNamesIn({Src(), Dst()}), QStringList());
        EXPECT_EQ(Tree(RunRecordFolder()), QStringList());
    }
}
