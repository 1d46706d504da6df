#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int CaughtSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int CaughtCount = sizeof(CaughtSignals) / sizeof(CaughtSignals[0]);

// What each signal did before; given back when the object goes.
struct sigaction g_previous[CaughtCount];

// The handler may only write to a pipe; the notifier reads it in the event
// loop. -1 while no object holds the handlers.
int g_pipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = savedErrno;
}

// A signal the program was started to ignore (nohup) stays ignored.
void Catch(int index)
{
    ::sigaction(CaughtSignals[index], nullptr, &g_previous[index]);
    if (g_previous[index].sa_handler == SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // The next signal of the same kind takes its default action.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    ::sigaction(CaughtSignals[index], &action, nullptr);
}

}

TTerminationSignals::TTerminationSignals(QObject* parent) : QObject(parent)
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TTerminationSignals::ReadPipe);
    for (int i = 0; i < CaughtCount; ++i)
        Catch(i);
}

TTerminationSignals::~TTerminationSignals()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < CaughtCount; ++i)
        ::sigaction(CaughtSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void TTerminationSignals::ReadPipe()
{
    unsigned char number = 0;
    while (::read(g_pipe[0], &number, 1) == 1)
        emit Received(number);
}
