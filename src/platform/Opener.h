#pragma once

#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>

// Files, help pages and web addresses open in the desktop's associated
// program through the opener installed here. The program installs the
// desktop's at start; tests install their own and see what would open.
//
// Opening never waits: the desktop's opener tells only later whether it
// found a program, so a failure is reported through a call back, at once or
// later from the event loop.
using TOpenFailed = std::function<void()>;
using TOpener = std::function<void(const QUrl& url, const TOpenFailed& failed)>;

// Hands the address to the installed opener. When nothing could open it,
// failed is called; without one, the installed failure report is told.
void OpenWithDesktop(const QUrl& url, TOpenFailed failed = {});
// Installs an opener and returns the previous one.
TOpener SetOpener(TOpener opener);

// What the user is told when nothing could open an address and the caller
// has no message of its own.
using TOpenFailureReport = std::function<void(const QUrl& url)>;
// Installs the report and returns the previous one.
TOpenFailureReport SetOpenFailureReport(TOpenFailureReport report);

// Whether the desktop has a program for files of a MIME type, asked before
// a file is made for it. The program installs the desktop's query at start;
// without one the answer is yes, and opening tells later.
using TProgramQuery = std::function<bool(const QString& mimeType)>;
bool DesktopHasProgramFor(const QString& mimeType);
// Installs a query and returns the previous one.
TProgramQuery SetProgramQuery(TProgramQuery query);
// The desktop's query: the default program that program (xdg-mime) names
// for the type ("xdg-mime query default TYPE"). No program when it names
// none, fails, or has not answered within the wait.
TProgramQuery DesktopProgramQuery(const QString& program = QStringLiteral("xdg-mime"),
                                  std::chrono::milliseconds wait = std::chrono::seconds(10));

// The desktop's opener: runs program (xdg-open) with the address and
// watches it from the event loop. It ends at once with an error when the
// desktop has nothing for the address; it may also go on running as long as
// the program it started does, so it is watched for the given time only:
// an error after that is the started program's own. The call back is let go
// once the opener ended or the watch is over.
TOpener DesktopOpener(const QString& program = QStringLiteral("xdg-open"),
                      std::chrono::milliseconds watch = std::chrono::seconds(10));

// Installs an opener for the lifetime of a scope and gives the previous one
// back at its end.
class TScopedOpener {
public:
    explicit TScopedOpener(TOpener opener) : m_previous(SetOpener(std::move(opener))) {}
    ~TScopedOpener() { SetOpener(std::move(m_previous)); }
    TScopedOpener(const TScopedOpener&) = delete;
    TScopedOpener& operator=(const TScopedOpener&) = delete;

private:
    TOpener m_previous;
};
