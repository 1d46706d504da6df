// A start of the main window with settings that the program itself would
// never write: tool-bar layouts, list columns, input pages, favourites and
// file-name templates far longer than anything it can show, as a hand-edited
// or damaged settings file may hold them. Each size is run at a tenth first,
// so that the growth of the cost with the size shows: a bounded start costs
// about the same at either size.
//
//   bench_startsettings [scale]   (default 1: 100,000 tool-bar codes,
//                                  20,000 input pages, 100,000 of each other list)

#include "SilentPrompt.h"

#include "common/SettingsKey.h"
#include "localisation/LanguageLoader.h"
#include "mainwindow/FQuillon.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

struct TSizes {
    int ToolbarCodes;
    int InputPages;
    int Others; // columns, favourites, file-name templates
};

QString Repeated(const QString& unit, int count)
{
    return unit.repeated(count);
}

void StoreHugeSettings(const TSizes& sizes)
{
    TRegistry reg;
    reg.OpenKey(ProgramSettingsKey(), true);
    // Known codes, each over and over, with separators between.
    reg.WriteString(QStringLiteral("Buttons"), Repeated(QStringLiteral("UNDO----DIRB"), sizes.ToolbarCodes / 3));
    reg.WriteString(QStringLiteral("Cols"), Repeated(QStringLiteral("TIT2*FIN"), sizes.Others / 2));
    reg.WriteString(QStringLiteral("Favorites"), Repeated(QStringLiteral("Music,/tmp,"), sizes.Others));
    reg.WriteString(QStringLiteral("Language"), QStringLiteral("ENGLISH"));
    reg.OpenKey(ProgramSettingsSubkey(QStringLiteral("Felder")), true);
    for (int i = 0; i < sizes.InputPages; ++i) {
        reg.WriteString(QString::number(i), QStringLiteral("TIT2TPE1COMM"));
        reg.WriteString(QStringLiteral("N") + QString::number(i), QStringLiteral("Page %1").arg(i));
    }
    reg.OpenKey(ProgramSettingsSubkey(QStringLiteral("DNVorgaben")), true);
    for (int i = 0; i < sizes.Others; ++i) {
        reg.WriteString(QString::number(i), QStringLiteral("%A - %T"));
        reg.WriteString(QStringLiteral("N") + QString::number(i), QStringLiteral("Preset %1").arg(i));
    }
    reg.Flush();
}

double Ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void Run(const TSizes& sizes)
{
    QTemporaryDir settings;
    TRegistry::SetStorageFolder(settings.path());
    StoreHugeSettings(sizes);
    std::printf("Stored: %7d tool-bar codes, %6d input pages, %7d columns, favourites and templates each\n",
                sizes.ToolbarCodes, sizes.InputPages, sizes.Others);

    QElapsedTimer timer;
    timer.start();
    auto window = std::make_unique<TFQuillon>(QStringList());
    const double startMs = Ms(timer);
    TStringArray columns;
    TWordArray widths;
    window->GetColumns(columns, widths);
    std::printf("  start:  %9.1f ms; shown: %d tool-bar entries, %d input pages, %lld columns, %d favourites, "
                "%d file-name templates\n",
                startMs, static_cast<int>(window->GetToolbarCodes().size()), window->InputPages().Count(),
                static_cast<long long>(columns.size()), window->Favorites().Count(),
                window->FileNamePresets().Count());
    timer.restart();
    window.reset();
    std::printf("  end:    %9.1f ms (settings written back)\n", Ms(timer));

    // The second start reads what the first one wrote.
    timer.restart();
    window = std::make_unique<TFQuillon>(QStringList());
    std::printf("  again:  %9.1f ms\n", Ms(timer));
    window.reset();
    TRegistry::SetStorageFolder(QString());
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const double scale = argc > 1 ? std::atof(argv[1]) : 1.0;
    const bench::TSilentPrompt prompt;
    LoadBaseLanguage();
    const auto scaled = [scale](int count) { return static_cast<int>(count * scale); };
    const TSizes full{scaled(100000), scaled(20000), scaled(100000)};
    Run({full.ToolbarCodes / 10, full.InputPages / 10, full.Others / 10});
    Run(full);
    return 0;
}
