// Speed of the search panel over the 20,000 files of the main-window
// benchmark, loaded with the panel shown: one keystroke in the search box,
// ApplySearch with the repaint of the visible rows, a search through all
// entries that finds nothing (all text fields, one field), and the longest
// time without event processing over all of it.
//
//   bench_search [folder]   (default: a temporary folder, removed after)

#include "controls/MyListView.h"
#include "mainwindow/FQuillon.h"
#include "BenchSupport.h"
#include "MainWindowTree.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <cstdio>

namespace {

using bench::TGapWatch;
using bench::TimedMs;

void Report(const char* what, double ms, double targetMs)
{
    std::printf("%-44s %8.2f ms  (target < %.0f ms)%s\n", what, ms, targetMs, ms < targetMs ? "" : "  MISSED");
}

// The slowest of a few runs, with the events between them processed.
double SlowestMs(int runs, const std::function<void()>& work)
{
    double slowest = 0;
    for (int i = 0; i < runs; ++i) {
        slowest = std::max(slowest, TimedMs(work));
        QCoreApplication::processEvents();
    }
    return slowest;
}

}

int main(int argc, char** argv)
{
    bench::UseOffscreenByDefault();
    QApplication application(argc, argv);
    const bench::TWindowBenchSetup setup(argc, argv);

    TGapWatch gaps;
    {
        TFQuillon window({});
        window.resize(1200, 900);
        window.show();
        window.Action(QStringLiteral("ActUnterordner"))->trigger();
        window.LoadFolder(setup.Root, false);
        window.Action(QStringLiteral("ActShowSearch"))->trigger();
        QCoreApplication::processEvents();
        std::printf("Entries: %zu, rows shown: %d\n", window.Entries().size(), window.LVFiles->VisibleRowCount());

        gaps.Start();
        // A key in the box only restarts the delay.
        const double keyMs = SlowestMs(5, [&] { QTest::keyClick(window.ESearchText, Qt::Key_S); });
        window.ESearchText->setText(QStringLiteral("song title 1"));
        const double applyMs = SlowestMs(5, [&] {
            window.ApplySearch();
            window.LVFiles->viewport()->repaint();
        });
        // Nothing matches: every entry is tested once. Starting again each
        // time (another text) from the top.
        int round = 0;
        const auto searchNothing = [&] {
            window.ESearchText->setText(QStringLiteral("nowhere %1").arg(round++));
            window.ActSearchExecute();
        };
        const double allFieldsMs = SlowestMs(3, searchNothing);
        window.BoxSearchField->setCurrentIndex(window.BoxSearchField->findData(QStringLiteral("TIT2")));
        const double oneFieldMs = SlowestMs(3, searchNothing);
        gaps.Stop();

        Report("Keystroke in the search box:", keyMs, 5);
        Report("ApplySearch with the visible rows' repaint:", applyMs, 50);
        Report("Search finding nothing, all text fields:", allFieldsMs, 100);
        Report("Search finding nothing, the title only:", oneFieldMs, 50);
        Report("Longest stretch without events:", gaps.LongestMs, 100);
    }
    return 0;
}
