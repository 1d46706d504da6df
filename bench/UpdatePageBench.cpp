// Time and peak memory of the update window for version pages whose markup
// asks Qt's rich-text engine for much work while they are small and shallow,
// and for pages just within the limits the window sets: from the answer to
// the page shown and painted, or refused. Each page is to be shown or refused
// within about a second and 200 MB.
//
//   bench_update_page

#include "MainWindowTree.h"
#include "SilentPrompt.h"
#include "dialogs/HostileVersionPages.h"


#include "dialogs/FormUpdate.h"
#include "localisation/LanguageLoader.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <cstdio>
#include <fstream>

namespace {

constexpr double TargetMs = 1000;
constexpr long TargetMb = 200;

// Answers every prompt and keeps the last error.
class TRecordingPrompt : public bench::TSilentPrompt {
public:
    void Error(QWidget*, const QString& text) override { LastError = text; }
    QString LastError;
};

// Starts counting the peak memory of the process anew.
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The version page served from a file of its own folder.
QUrl ServeFile(const QString& folder, const QString& html)
{
    QDir().mkpath(folder);
    QFile page(folder + QStringLiteral("/version.htm"));
    if (page.open(QIODevice::WriteOnly | QIODevice::Truncate))
        page.write(html.toUtf8());
    return QUrl::fromLocalFile(folder);
}

}

int main(int argc, char** argv)
{
    bench::UseOffscreenByDefault();
    QApplication application(argc, argv);
    TRecordingPrompt prompt;
    LoadBaseLanguage();
    QTemporaryDir folder;

    std::printf("%-48s %-8s %9s %9s  %s\n", "page", "result", "time", "peak", "reason");
    int index = 0;
    for (const THostileVersionPage& page : HostileVersionPages()) {
        const QUrl site = ServeFile(folder.filePath(QString::number(index++)), page.Html);
        const TUpdateCheckEndpoint previous = SetUpdateCheckEndpoint({site, 60000, 1024 * 1024});
        prompt.LastError.clear();
        ResetPeakMemory();
        QElapsedTimer timer;
        timer.start();
        {
            TFormUpdate form;
            while (form.IsLoading())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            form.show();
            form.WebBrowser1->grab(); // lays the page out and paints it
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        const long peakMb = bench::StatusKb("VmHWM") / 1024;
        SetUpdateCheckEndpoint(previous);
        const bool refused = !prompt.LastError.isEmpty();
        const QString reason = prompt.LastError.section(QLatin1Char('\n'), -1);
        std::printf("%-48s %-8s %6.0f ms %6ld MB  %s%s\n", page.Name, refused ? "refused" : "shown", ms, peakMb,
                    qPrintable(reason), ms < TargetMs && peakMb < TargetMb ? "" : "  MISSED");
    }
    return 0;
}
