#pragma once

// A stand-in for xdg-open: a shell script that notes each address it is
// given, then runs the commands of the test: "exit 3" is what xdg-open does
// when the desktop has no program for the address; "held; exit 4" is an
// opener that stays as long as the program it started (here: until the test
// releases it) and then fails.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

class TFakeOpenerProgram {
public:
    explicit TFakeOpenerProgram(const QByteArray& commands)
    {
        const QByteArray dir = QFile::encodeName(m_dir.path());
        QFile script(Path());
        script.open(QIODevice::WriteOnly);
        // "held" waits for Release(); should the test be gone, it gives up
        // after a minute.
        script.write("#!/bin/sh\n"
                     "trap \": > '" + dir + "/ended'\" EXIT\n"
                     "held() {\n"
                     "    i=0\n"
                     "    while [ ! -e '" + dir + "/released' ] && [ $i -lt 6000 ]; do sleep 0.01; i=$((i + 1)); done\n"
                     "}\n"
                     "printf '%s\\n' \"$1\" >> '" + dir + "/called'\n" +
                     commands + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString Path() const { return m_dir.filePath(QStringLiteral("opener")); }
    // The address of each run that has started, in order.
    QList<QByteArray> Calls() const
    {
        QFile called(m_dir.filePath(QStringLiteral("called")));
        if (!called.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> calls = called.readAll().split('\n');
        calls.removeLast(); // after the last line break
        return calls;
    }
    // Lets runs that are held go on.
    void Release() const
    {
        QFile released(m_dir.filePath(QStringLiteral("released")));
        released.open(QIODevice::WriteOnly);
    }
    // A run has ended by exit (not by a kill).
    bool HasEnded() const { return QFileInfo::exists(m_dir.filePath(QStringLiteral("ended"))); }

private:
    QTemporaryDir m_dir;
};

// Runs the event loop until the condition holds (true) or the time is up.
inline bool RunEventsUntil(const std::function<bool()>& condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}
