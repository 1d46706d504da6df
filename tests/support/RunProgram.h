#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

// What a program run to its end wrote; exit code -1 when it could not run,
// crashed or did not finish in time (it is killed then).
struct TProgramRun {
    int ExitCode = -1;
    QByteArray Out;
    QByteArray Err;
};

inline TProgramRun RunProgram(const QString& program, const QStringList& arguments, int timeoutMs = 180000)
{
    QProcess process;
    process.start(program, arguments);
    TProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

// /usr/bin/python3 running a script with arguments.
inline TProgramRun RunPython(const char* script, const QStringList& arguments)
{
    return RunProgram(QStringLiteral("/usr/bin/python3"),
                      QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + arguments);
}
