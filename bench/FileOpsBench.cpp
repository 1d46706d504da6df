// Speed of the file operations as the main window runs them (with their
// progress and event processing):
//   - 20,000 files moved within one file system, in files/s, and 2,000 moved
//     onto files of the same names (each answered Replace, so each goes
//     through hidden names that the run's record announces first, synced);
//   - 20,000 files of distinct names moved to the trash, and 1,000 album
//     folders each holding "01 Track.mp3" to "20 Track.mp3" (20,000 files of
//     20 names), in files/s;
//   - a copy to another file system (/dev/shm when it is one) against a plain
//     copy-and-fsync pass of the same files in the same run;
//   - the longest time without event processing in each.
//
//   bench_fileops [folder]   (default: a temporary folder, removed after)

#include "mainwindow/FileOpRunner.h"
#include "SilentPrompt.h"

#include "localisation/LanguageLoader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int FileCount = 20000;
constexpr int ReplacedCount = 2000;
constexpr int Albums = 1000;
constexpr int TracksPerAlbum = 20;
constexpr int CopyFiles = 40;
constexpr qint64 CopyFileSize = 8 * 1024 * 1024;
constexpr int CopyRounds = 5;

QByteArray B(const QString& path)
{
    return QFile::encodeName(path);
}

void WriteSmall(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd >= 0) {
        (void)::write(fd, "ID3 small", 9);
        ::close(fd);
    }
}

QList<QByteArray> MakeFlat(const QString& folder, int count)
{
    QDir().mkpath(folder);
    QList<QByteArray> files;
    files.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QByteArray path = B(folder) + "/" + QByteArray::number(i).rightJustified(5, '0') + " Song.mp3";
        WriteSmall(path);
        files << path;
    }
    return files;
}

QList<QByteArray> MakeAlbums(const QString& root)
{
    QList<QByteArray> files;
    files.reserve(Albums * TracksPerAlbum);
    for (int album = 0; album < Albums; ++album) {
        const QString folder = root + QStringLiteral("/Album %1").arg(album, 4, 10, QLatin1Char('0'));
        QDir().mkpath(folder);
        for (int track = 1; track <= TracksPerAlbum; ++track) {
            const QByteArray path = B(folder) + "/" + QByteArray::number(track).rightJustified(2, '0') + " Track.mp3";
            WriteSmall(path);
            files << path;
        }
    }
    return files;
}

QList<QByteArray> MakeLarge(const QString& folder)
{
    QDir().mkpath(folder);
    QByteArray data(CopyFileSize, '\0');
    for (qint64 i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 131 + i / 4096) % 251);
    QList<QByteArray> files;
    for (int i = 0; i < CopyFiles; ++i) {
        const QByteArray path = B(folder) + "/large" + QByteArray::number(i) + ".mp3";
        const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, data.constData(), static_cast<size_t>(data.size())) != data.size())
            std::fprintf(stderr, "cannot write %s\n", path.constData());
        ::close(fd);
        files << path;
    }
    return files;
}

// The yardstick: read and write in 1 MiB pieces, then fsync.
double PlainCopySeconds(const QList<QByteArray>& files, const QString& target)
{
    QDir().mkpath(target);
    std::vector<char> buffer(1 << 20);
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray& file : files) {
        const int in = ::open(file.constData(), O_RDONLY);
        const QByteArray out = B(target) + "/" + file.mid(file.lastIndexOf('/') + 1);
        const int fd = ::open(out.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ssize_t got;
        while ((got = ::read(in, buffer.data(), buffer.size())) > 0)
            if (::write(fd, buffer.data(), static_cast<size_t>(got)) != got)
                std::fprintf(stderr, "short write\n");
        ::fsync(fd);
        ::close(fd);
        ::close(in);
    }
    return timer.nsecsElapsed() / 1e9;
}

struct TRun {
    double Seconds = 0;
    double StallMs = 0;
    size_t Done = 0;
    size_t Failed = 0;
};

template <typename Operation> TRun Timed(TFileOpRunner& runner, Operation operation)
{
    QElapsedTimer timer;
    timer.start();
    const TFileOpResult result = operation();
    TRun run;
    run.Seconds = timer.nsecsElapsed() / 1e9;
    run.StallMs = runner.LongestStallMs();
    run.Done = result.Done.size();
    run.Failed = result.Failed.size();
    return run;
}

void Print(const char* what, const TRun& run, double count)
{
    std::printf("%-57s %7.3f s %10.0f files/s   longest stall %6.1f ms   (%zu done, %zu failed)\n", what,
                run.Seconds, count / run.Seconds, run.StallMs, run.Done, run.Failed);
}

void TrashRuns(TFileOpRunner& runner, const QString& root, const QList<QByteArray>& distinct, const char* where)
{
    Print(qPrintable(QStringLiteral("trash 20,000 files of distinct names%1").arg(QLatin1String(where))),
          Timed(runner, [&] { return runner.Delete(distinct, false); }), FileCount);
    const QList<QByteArray> albums = MakeAlbums(root + "/albums");
    Print(qPrintable(QStringLiteral("trash 1,000 albums of \"01..20 Track.mp3\"%1").arg(QLatin1String(where))),
          Timed(runner, [&] { return runner.Delete(albums, false); }), FileCount);
}

// The folders of the files, each once, in order.
QList<QByteArray> FoldersOf(const QList<QByteArray>& files)
{
    QList<QByteArray> folders;
    for (const QByteArray& file : files) {
        const QByteArray folder = file.left(file.lastIndexOf('/'));
        if (folders.isEmpty() || folders.back() != folder)
            folders << folder;
    }
    return folders;
}

void FolderRuns(TFileOpRunner& runner, const QString& root, const QString& other)
{
    const QList<QByteArray> moving = FoldersOf(MakeAlbums(root + "/tree-move"));
    QDir().mkpath(other + "/moved");
    Print(qPrintable(QStringLiteral("move 1,000 album folders to %1").arg(other.section('/', 0, -2))),
          Timed(runner, [&] { return runner.Transfer(moving, B(other + "/moved"), true); }), FileCount);
    QDir(other + "/moved").removeRecursively();
    const QList<QByteArray> deleting = FoldersOf(MakeAlbums(root + "/tree-delete"));
    Print("delete for good 1,000 album folders", Timed(runner, [&] { return runner.Delete(deleting, true); }),
          FileCount);
}

bool OnOtherFileSystem(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    return ::stat(B(a).constData(), &sa) == 0 && ::stat(B(b).constData(), &sb) == 0 && sa.st_dev != sb.st_dev;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    LoadBaseLanguage();
    bench::TSilentPrompt prompt;
    QTemporaryDir temporary(argc > 1 ? QString::fromLocal8Bit(argv[1]) + QStringLiteral("/fileops-XXXXXX")
                                     : QString());
    const QString root = temporary.path();
    qputenv("XDG_DATA_HOME", B(root + "/data"));
    qputenv("XDG_STATE_HOME", B(root + "/state"));
    QWidget window;
    TFileOpRunner runner(&window);

    const QList<QByteArray> flat = MakeFlat(root + "/flat", FileCount);
    QDir().mkpath(root + "/moved");
    Print("move 20,000 files, one file system", Timed(runner, [&] {
              return runner.Transfer(flat, B(root + "/moved"), true);
          }),
          FileCount);

    QList<QByteArray> moved;
    for (const QByteArray& file : flat)
        moved << B(root) + "/moved/" + file.mid(file.lastIndexOf('/') + 1);

    const QList<QByteArray> replacing = MakeFlat(root + "/replacing", ReplacedCount);
    MakeFlat(root + "/replaced", ReplacedCount);
    prompt.Choice = TPromptChoice{0, true};
    Print("move 2,000 files onto files of the same names (Replace)", Timed(runner, [&] {
              return runner.Transfer(replacing, B(root + "/replaced"), true);
          }),
          ReplacedCount);
    prompt.Choice.reset();
    TrashRuns(runner, root, moved, "");

    // The same on a memory file system, where creating files costs little:
    // what is left is the program's own work.
    const QString shmRoot = OnOtherFileSystem(QStringLiteral("/dev/shm"), root) ? QStringLiteral("/dev/shm") : root;
    QTemporaryDir other(shmRoot + QStringLiteral("/quillon-bench-XXXXXX"));
    if (shmRoot != root) {
        qputenv("XDG_DATA_HOME", B(other.path() + "/data"));
        TrashRuns(runner, other.path(), MakeFlat(other.path() + "/flat", FileCount), " (/dev/shm)");
        QDir(other.path()).removeRecursively();
        QDir().mkpath(other.path());
    }

    FolderRuns(runner, root, other.path());

    const QList<QByteArray> large = MakeLarge(root + "/large");
    // Each round copies plainly and then our way; the rounds' ratios are
    // compared, so that a busy moment hits both sides of one round.
    std::vector<double> ratios;
    double plainBest = 1e9;
    double oursBest = 1e9;
    double stall = 0;
    for (int round = 0; round < CopyRounds; ++round) {
        const QString plainTarget = other.path() + QStringLiteral("/plain%1").arg(round);
        const double plain = PlainCopySeconds(large, plainTarget);
        QDir(plainTarget).removeRecursively();
        const QString target = other.path() + QStringLiteral("/ours%1").arg(round);
        QDir().mkpath(target);
        const TRun run = Timed(runner, [&] { return runner.Transfer(large, B(target), false); });
        if (run.Failed)
            std::fprintf(stderr, "copy failed for %zu files\n", run.Failed);
        QDir(target).removeRecursively();
        ratios.push_back(plain / run.Seconds);
        plainBest = std::min(plainBest, plain);
        oursBest = std::min(oursBest, run.Seconds);
        stall = std::max(stall, run.StallMs);
    }
    std::sort(ratios.begin(), ratios.end());
    const double megabytes = CopyFiles * CopyFileSize / 1048576.0;
    std::printf("copy %d x %lld MiB to %s: plain best %.3f s (%.0f MiB/s), ours best %.3f s (%.0f MiB/s); ours "
                "per round %.0f..%.0f %% of plain, median %.0f %%; longest stall %.1f ms\n",
                CopyFiles, CopyFileSize / 1048576, qPrintable(shmRoot), plainBest, megabytes / plainBest, oursBest,
                megabytes / oursBest, 100.0 * ratios.front(), 100.0 * ratios.back(),
                100.0 * ratios[ratios.size() / 2], stall);
    return 0;
}
