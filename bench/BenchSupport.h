#pragma once

// Small helpers shared by the benchmark executables.

#include "support/ID3v2Builder.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <fstream>
#include <functional>
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

// How long work takes, in milliseconds.
inline double TimedMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// The body of a text frame in ISO-8859-1.
inline QByteArray Text(const QString& text)
{
    return ID3v2Builder::TextBody(0, {text});
}

}
