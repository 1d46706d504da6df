// Speed and memory of the exports over a list held in memory: 20,000 entries,
// the list's 10 default columns, 2,000 albums. Times the HTML page (plain and
// grouped by album), a page per album, the M3U playlist and the workbook, and
// the growth of the peak memory during each. The same exports over 2,000
// entries give the time per entry at both sizes (it should not grow), and
// grouping by 20,000 distinct titles shows the grouping is not quadratic.
//
//   bench_export

#include "BenchSupport.h"
#include "SilentPrompt.h"

#include "export/DataModuleExport.h"
#include "localisation/LanguageLoader.h"
#include "common/ColumnCatalogue.h"
#include "platform/Opener.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3Frame.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>
#include <fstream>
#include <functional>

namespace {

constexpr int FilesPerAlbum = 10;

void AddText(TEintragdaten& entry, const char* id, const QString& text)
{
    TID3Frame frame{QString::fromLatin1(id)};
    SetTextFrame(frame, QString(), {text});
    SetFrame(entry.Frames, frame.FrameID, &frame, 0);
}

TEintragdatenList MakeList(int count)
{
    TEintragdatenList list;
    list.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int album = i / FilesPerAlbum;
        auto entry = std::make_unique<TEintragdaten>();
        entry->Folder = QStringLiteral("/music/Artist %1/Album %2/").arg(album / 10).arg(album);
        entry->FileName = QStringLiteral("%1 Title number %2.mp3").arg(i % FilesPerAlbum + 1, 2, 10, QLatin1Char('0')).arg(i);
        entry->Size = 4000000 + i;
        entry->Length = 180000 + i;
        entry->HasID3v2 = 1;
        entry->ID3v2Major = 3;
        AddText(*entry, "TPE1", QStringLiteral("Artist %1").arg(album / 10));
        AddText(*entry, "TIT2", QStringLiteral("Title number %1 & more").arg(i));
        AddText(*entry, "TALB", QStringLiteral("Album %1").arg(album));
        AddText(*entry, "TRCK", QString::number(i % FilesPerAlbum + 1));
        AddText(*entry, "TDRC", QStringLiteral("1999"));
        AddText(*entry, "TCON", QStringLiteral("Rock"));
        TID3Frame comment(QStringLiteral("COMM"));
        SetCommentFrame(comment, {QStringLiteral("A comment")}, QString(), QStringLiteral("eng"));
        SetFrame(entry->Frames, comment.FrameID, &comment, 0);
        list.push_back(std::move(entry));
    }
    return list;
}

// Forgets the peak so far (Linux: the peak becomes the current size).
void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct TMeasure {
    double Seconds = 0;
    double PeakGrowthMb = 0;
};

TMeasure Measure(const std::function<void()>& run)
{
    ResetPeak();
    const long before = bench::StatusKb("VmRSS");
    QElapsedTimer timer;
    timer.start();
    run();
    TMeasure m;
    m.Seconds = timer.nsecsElapsed() / 1e9;
    m.PeakGrowthMb = (bench::StatusKb("VmHWM") - before) / 1024.0;
    return m;
}

struct TExports {
    const char* Name;
    std::function<void(TDataModuleExport&, const QString& folder)> Run;
};

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::TSilentPrompt prompt;
    LoadBaseLanguage();
    TScopedOpener opener([](const QUrl& url, const TOpenFailed&) { QFile::remove(url.toLocalFile()); });
    QTemporaryDir out;
    const TStringArray columns = DefaultColumns();
    const QString base = QStringLiteral("/music/");
    int run = 0;
    const auto fresh = [&](const QString& name) {
        return out.filePath(QStringLiteral("run%1/%2").arg(++run).arg(name));
    };

    const TExports exports[] = {
        {"HTML, one page", [&](TDataModuleExport& m, const QString&) {
             m.OutputFile = fresh(QStringLiteral("list.htm"));
             m.ExportWithBuiltInTemplate(base, columns, {true}, QString(), false);
         }},
        {"HTML, one page grouped by album", [&](TDataModuleExport& m, const QString&) {
             m.OutputFile = fresh(QStringLiteral("list.htm"));
             m.ExportWithBuiltInTemplate(base, columns, {true}, QStringLiteral("TALB"), false);
         }},
        {"HTML, a page per album", [&](TDataModuleExport& m, const QString&) {
             m.OutputFile = fresh(QStringLiteral("list.htm"));
             m.ExportWithBuiltInTemplate(base, columns, {true}, QStringLiteral("TALB"), true);
         }},
        {"HTML, grouped by distinct titles", [&](TDataModuleExport& m, const QString&) {
             m.OutputFile = fresh(QStringLiteral("list.htm"));
             m.ExportWithBuiltInTemplate(base, columns, {}, QStringLiteral("TIT2"), false);
         }},
        {"M3U, extended", [&](TDataModuleExport& m, const QString&) {
             m.OutputFile = fresh(QStringLiteral("list.m3u"));
             m.ExportPlaylist(base, true, false);
         }},
        {"xlsx workbook", [&](TDataModuleExport& m, const QString&) { m.ExportToExcel(columns); }},
    };

    const TEintragdatenList small = MakeList(2000);
    const TEintragdatenList large = MakeList(20000);
    std::printf("%-34s %12s %12s %14s %14s %10s\n", "export", "2,000 (s)", "20,000 (s)", "us/entry 2k",
                "us/entry 20k", "peak MB");
    for (const TExports& e : exports) {
        TMeasure measures[2];
        int i = 0;
        for (const TEintragdatenList* list : {&small, &large}) {
            TDataModuleExport module;
            module.Files = list;
            measures[i++] = Measure([&] { e.Run(module, out.path()); });
        }
        std::printf("%-34s %12.3f %12.3f %14.1f %14.1f %10.1f\n", e.Name, measures[0].Seconds, measures[1].Seconds,
                    measures[0].Seconds / 2000 * 1e6, measures[1].Seconds / 20000 * 1e6, measures[1].PeakGrowthMb);
    }
    return 0;
}
