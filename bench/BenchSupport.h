#pragma once

// Small helpers shared by the benchmark executables.

#include "support/ID3v2Builder.h"

#include <QAbstractEventDispatcher>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <algorithm>
#include <functional>

#include <fstream>
#include <string>

namespace bench {

// A value of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 when absent.
inline long StatusKb(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

// The body of a text frame in ISO-8859-1.
inline QByteArray Text(const QString& text)
{
    return ID3v2Builder::TextBody(0, {text});
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

inline double TimedMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

}
