#pragma once

// A stand-in for xdg-open: a shell script that notes each address it is
// given, then runs the commands of the test: "exit 3" is what xdg-open does
// when the desktop has no program for the address; "sleep 2; exit 4" is an
// opener that stays as long as the program it started and then fails.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

class TFakeOpenerProgram {
public:
    explicit TFakeOpenerProgram(const QByteArray& commands)
    {
        QFile script(Path());
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + QFile::encodeName(m_dir.filePath("called")) + "'\n" +
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
