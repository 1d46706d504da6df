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
#include "common/ColumnCatalogue.h"
#include "BenchSupport.h"
#include "MainWindowTree.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using bench::FileCount;
using bench::StatusKb;
using bench::TGapWatch;
using bench::TimedMs;

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

}

int main(int argc, char** argv)
{
    bench::UseOffscreenByDefault();
    QApplication application(argc, argv);
    const bench::TWindowBenchSetup setup(argc, argv);
    const QString& root = setup.Root;
    const QStringList& paths = setup.Paths;
    bench::WarmCache(paths);

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
    return 0;
}
