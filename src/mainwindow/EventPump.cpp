#include "mainwindow/EventPump.h"

TEventPump::TEventPump(std::function<void()> processEvents, int maxGapMs)
    : m_process(std::move(processEvents)), m_maxGapNs(static_cast<qint64>(maxGapMs) * 1000000)
{
    m_sinceRun.start();
}

void TEventPump::Run()
{
    m_longestGapNs = std::max(m_longestGapNs, m_sinceRun.nsecsElapsed());
    m_steps = 0;
    if (m_process)
        m_process();
    m_sinceRun.restart();
}

void TEventPump::Step()
{
    if (++m_steps >= StepsPerRun)
        Run();
    else
        Poll();
}

void TEventPump::Poll()
{
    if (m_sinceRun.nsecsElapsed() >= m_maxGapNs)
        Run();
}
