// Speed and memory of the main window's folder load over 20,000 generated MP3
// files in nested folders: the whole load (scan, read, list filled and sorted)
// in files/s against the tag reader alone, the longest time without event
// processing during the load, the sorts by title and by track, a keep-mode
// reload, the refresh of the command states, the load of a quarter of the files (to show the cost per file does
// not grow with the count) and the peak memory.
//
//   bench_mainwindow [folder]   (default: a temporary folder, removed after)

#include "controls/MyListView.h"
#include "mainwindow/FQuillon.h"
#include "mainwindow/common/ColumnCatalogue.h"
#include "BenchSupport.h"
#include "SilentPrompt.h"
#include "support/ID3v2Builder.h"
#include "support/Mp3Builder.h"

#include "localisation/LanguageLoader.h"
#include "platform/Registry.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using bench::StatusKb;
using bench::Text;

constexpr int Artists = 20;
constexpr int AlbumsPerArtist = 10;
constexpr int SongsPerAlbum = 100;
constexpr int FileCount = Artists * AlbumsPerArtist * SongsPerAlbum;
constexpr int PictureSize = 100 * 1024;

// Mixed tags: v2.3 and v2.4 with the common frames, every tenth file with a
// picture; every fourth file has an ID3v1 block only.
QByteArray MakeFile(int index, const QByteArray& audio, const QByteArray& picture)
{
    Mp3FileParts parts;
    parts.Audio = audio;
    const QString number = QString::number(index);
    if (index % 4 == 3) {
        parts.ID3v1 = Mp3Builder::ID3v1({"Title " + number.toLatin1(), "Artist", "Album", "2004", "", 1, 17});
        return Mp3Builder::File(parts);
    }
    const quint8 major = index % 2 ? 4 : 3;
    ID3v2Builder tag(major);
    tag.Frame("TIT2", Text(QStringLiteral("Song title ") + QString::number((index * 7919) % FileCount)))
        .Frame("TPE1", Text(QStringLiteral("Artist ") + QString::number(index % 97)))
        .Frame("TALB", Text(QStringLiteral("Album ") + QString::number(index % 31)))
        .Frame("TRCK", Text(QStringLiteral("%1/%2").arg(index % SongsPerAlbum + 1).arg(SongsPerAlbum)))
        .Frame("TCON", Text(QStringLiteral("Rock")))
        .Frame(major == 3 ? "TYER" : "TDRC", Text(QStringLiteral("2004")))
        .Frame("COMM", ID3v2Builder::CommentBody(0, "eng", QString(), QStringLiteral("Comment ") + number));
    if (index % 10 == 0)
        tag.Frame("APIC", QByteArray("\0image/jpeg\0\3\0", 14) + picture);
    parts.LeadingTag = tag.Padding(256).Build();
    return Mp3Builder::File(parts);
}

void MakeTree(const QString& root)
{
    const QByteArray audio = Mp3Builder::CbrFrames(MpegFormat(), 30);
    QByteArray picture(PictureSize, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char((i * 131) % 251);
    int index = 0;
    for (int artist = 0; artist < Artists; ++artist) {
        for (int album = 0; album < AlbumsPerArtist; ++album) {
            const QString folder = QStringLiteral("%1/artist%2/album%3").arg(root).arg(artist, 2, 10, QLatin1Char('0'))
                                       .arg(album, 2, 10, QLatin1Char('0'));
            QDir().mkpath(folder);
            for (int song = 0; song < SongsPerAlbum; ++song, ++index)
                Mp3Builder::WriteFile(folder + QStringLiteral("/song%1.mp3").arg(index, 5, 10, QLatin1Char('0')),
                                      MakeFile(index, audio, picture));
        }
    }
}

QStringList AllFiles(const QString& root)
{
    QStringList paths;
    QDirIterator it(root, {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    return paths;
}

void WarmCache(const QStringList& paths)
{
    for (const QString& path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            file.readAll();
    }
}

double ReadTagsRate(const QStringList& paths)
{
    TID3v2Reader reader;
    TEintragdatenList entries;
    entries.reserve(static_cast<size_t>(paths.size()));
    QElapsedTimer timer;
    timer.start();
    for (const QString& path : paths) {
        auto entry = std::make_unique<TEintragdaten>();
        reader.FileName = path;
        if (reader.ReadTags()) {
            entry->Size = reader.FileSize();
            entry->LastWriteNs = reader.LastWriteNs();
            entry->Length = reader.Length();
            entry->MPEGInfo = reader.MPEGInfo();
            entry->ID3v1 = reader.ID3v1();
            entry->Frames = reader.TakeFrames();
        }
        entries.push_back(std::move(entry));
    }
    return paths.size() / (timer.nsecsElapsed() / 1e9);
}

// Watches the event loop from outside: the longest time between two entries
// into event processing while active.
class TGapWatch {
public:
    TGapWatch()
    {
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [this] {
            if (!Active)
                return;
            if (m_last.isValid())
                LongestMs = std::max(LongestMs, m_last.nsecsElapsed() / 1e6);
            m_last.start();
        });
    }
    void Start()
    {
        Active = true;
        LongestMs = 0;
        m_last.start();
    }
    void Stop()
    {
        if (m_last.isValid())
            LongestMs = std::max(LongestMs, m_last.nsecsElapsed() / 1e6);
        Active = false;
    }

    bool Active = false;
    double LongestMs = 0;

private:
    QElapsedTimer m_last;
};

double TimedMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench::TSilentPrompt prompt;
    QTemporaryDir settings;
    TRegistry::SetStorageFolder(settings.path());
    LoadBaseLanguage();

    QTemporaryDir temporary;
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    std::printf("Generating %d files in %s ...\n", FileCount, qPrintable(root));
    if (AllFiles(root).size() < FileCount)
        MakeTree(root);
    const QStringList paths = AllFiles(root);
    WarmCache(paths);

    const double readRate = ReadTagsRate(paths);
    std::printf("ReadTags alone:            %9.0f files/s\n", readRate);

    TGapWatch gaps;
    long hwm = 0;
    {
        TFQuillon window({});
        window.Action(QStringLiteral("ActUnterordner"))->trigger();
        window.LoadFolder(root, false); // warms everything the load touches
        window.ClearFileList();

        gaps.Start();
        const double loadMs = TimedMs([&] { window.LoadFolder(root, false); });
        gaps.Stop();
        const double loadRate = window.Entries().size() / (loadMs / 1000);
        std::printf("Folder load (%zu files):   %9.0f files/s (%.0f ms), %.0f %% of ReadTags\n",
                    window.Entries().size(), loadRate, loadMs, 100 * loadRate / readRate);
        std::printf("Longest gap without events: %.1f ms (load's own count), %.1f ms (seen by the event loop)\n",
                    window.LastLoadLongestGapMs(), gaps.LongestMs);
        hwm = StatusKb("VmHWM");
        std::printf("Memory with the list loaded: VmRSS %ld kB, peak VmHWM %ld kB\n", StatusKb("VmRSS"), hwm);

        const double titleMs = TimedMs([&] { window.SortByColumn(FindColumnIndex(QStringLiteral("TIT2"))); });
        const double trackMs = TimedMs([&] { window.SortByColumn(FindColumnIndex(QStringLiteral("TRCK"))); });
        const double reverseMs = TimedMs([&] { window.SortByColumn(FindColumnIndex(QStringLiteral("TRCK"))); });
        std::printf("Sort by title: %.1f ms, by track: %.1f ms, track reversed: %.1f ms\n", titleMs, trackMs,
                    reverseMs);

        // The command states are refreshed on every focus and clipboard
        // change and when the window becomes active: with every file
        // selected, as with none.
        constexpr int Refreshes = 1000;
        const double idleMs = TimedMs([&] {
            for (int i = 0; i < Refreshes; ++i)
                window.UpdateActions();
        });
        window.LVFiles->selectAll();
        const double selectedMs = TimedMs([&] {
            for (int i = 0; i < Refreshes; ++i)
                window.UpdateActions();
        });
        std::printf("Command states: %.1f us each with one file selected, %.1f us with all %d selected\n",
                    1000 * idleMs / Refreshes, 1000 * selectedMs / Refreshes, window.EditedCount());
        window.LVFiles->clearSelection();

        const double keepMs = TimedMs([&] { window.ReloadFolder(true); });
        std::printf("Keep-mode reload (nothing changed): %.0f ms (%.0f files/s)\n", keepMs,
                    window.Entries().size() / (keepMs / 1000));

        // One artist's 1,000 files against the whole 20,000: a step that grew
        // with the count would show in the cost per file.
        const QString artist = root + QStringLiteral("/artist00");
        window.LoadFolder(artist, false);
        const double smallMs = TimedMs([&] { window.LoadFolder(artist, false); });
        std::printf("Per file: %.1f us with %zu files, %.1f us with %d files\n",
                    1000 * smallMs / window.Entries().size(), window.Entries().size(), 1000 * loadMs / FileCount,
                    FileCount);
    }
    std::printf("Peak memory (VmHWM) over the run: %ld kB\n", StatusKb("VmHWM"));
    TRegistry::SetStorageFolder(QString());
    return 0;
}
