#include "platform/Opener.h"

#include "platform/Prompt.h"

#include <QProcess>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

TOpener& InstalledOpener()
{
    static TOpener opener;
    return opener;
}

TProgramQuery& InstalledQuery()
{
    static TProgramQuery query;
    return query;
}

TOpenFailureReport& InstalledReport()
{
    static TOpenFailureReport report;
    return report;
}

void ReportFailure(const QUrl& url)
{
    // A copy: the report may show a window, during which another one may be
    // installed.
    const TOpenFailureReport report = InstalledReport();
    if (report)
        report(url);
    else if (TPrompt* prompt = CurrentPrompt())
        prompt->Beep();
}

// Runs the opener program for one address. The process object lives until
// the program ends, even when nobody watches it any longer: deleting it
// would kill the program.
void StartOpenerProgram(const QString& program, const QUrl& url, std::chrono::milliseconds watch,
                        const TOpenFailed& failed)
{
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments({QString::fromLatin1(url.toEncoded())});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    // Its messages go where the program's own go, not into a pipe that
    // closes when the program ends.
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);

    // Emptied once the program ended or the watch is over, so that the call
    // back is let go as soon as there is nothing more to tell.
    auto pending = std::make_shared<TOpenFailed>(failed);
    const auto settle = [pending](bool failedToOpen) {
        if (const TOpenFailed report = std::exchange(*pending, TOpenFailed()); report && failedToOpen)
            report();
    };
    QObject::connect(process, &QProcess::errorOccurred, process, [process, settle](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        settle(true);
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process,
                     [process, settle](int exitCode, QProcess::ExitStatus status) {
                         settle(status != QProcess::NormalExit || exitCode != 0);
                         process->deleteLater();
                     });
    QTimer::singleShot(watch, process, [pending] { *pending = TOpenFailed(); });
    process->start();
}

}

void OpenWithDesktop(const QUrl& url, TOpenFailed failed)
{
    if (!failed)
        failed = [url] { ReportFailure(url); };
    const TOpener& opener = InstalledOpener();
    if (opener)
        opener(url, failed);
    else
        failed();
}

TOpener SetOpener(TOpener opener)
{
    TOpener previous = std::move(InstalledOpener());
    InstalledOpener() = std::move(opener);
    return previous;
}

TOpenFailureReport SetOpenFailureReport(TOpenFailureReport report)
{
    TOpenFailureReport previous = std::move(InstalledReport());
    InstalledReport() = std::move(report);
    return previous;
}

TOpener DesktopOpener(const QString& program, std::chrono::milliseconds watch)
{
    return [program, watch](const QUrl& url, const TOpenFailed& failed) {
        StartOpenerProgram(program, url, watch, failed);
    };
}

bool DesktopHasProgramFor(const QString& mimeType)
{
    const TProgramQuery& query = InstalledQuery();
    return !query || query(mimeType);
}

TProgramQuery SetProgramQuery(TProgramQuery query)
{
    TProgramQuery previous = std::move(InstalledQuery());
    InstalledQuery() = std::move(query);
    return previous;
}

TProgramQuery DesktopProgramQuery(const QString& program, std::chrono::milliseconds wait)
{
    return [program, wait](const QString& mimeType) {
        QProcess query;
        query.setProgram(program);
        query.setArguments({QStringLiteral("query"), QStringLiteral("default"), mimeType});
        query.setStandardInputFile(QProcess::nullDevice());
        query.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        query.start();
        if (!query.waitForFinished(static_cast<int>(wait.count()))) {
            query.kill();
            query.waitForFinished(-1);
            return false;
        }
        return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
               !query.readAllStandardOutput().trimmed().isEmpty();
    };
}
