#pragma once

#include <QElapsedTimer>

#include <functional>

// Lets pending events run during long work on the user-interface thread: on
// request, every tenth counted step, and whenever the last run is longer ago
// than the allowed gap. Records the longest gap it saw.
class TEventPump {
public:
    static constexpr int StepsPerRun = 10;
    static constexpr int DefaultMaxGapMs = 30;

    explicit TEventPump(std::function<void()> processEvents, int maxGapMs = DefaultMaxGapMs);

    // Runs the pending events now.
    void Run();
    // One unit of work done (a directory entry): runs every tenth time, or
    // when the gap is too long.
    void Step();
    // Runs only when the gap is too long.
    void Poll();

    // Longest time between two runs since construction, in milliseconds.
    double LongestGapMs() const { return m_longestGapNs / 1e6; }

private:
    std::function<void()> m_process;
    qint64 m_maxGapNs;
    int m_steps = 0;
    QElapsedTimer m_sinceRun;
    qint64 m_longestGapNs = 0;
};
