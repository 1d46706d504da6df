#pragma once

#include <QByteArray>
#include <QStringList>

// Parts of tests that run in a process of their own: the test executable
// started again, with "--child <name> <arguments...>", runs what was
// registered under name (before any Qt object or thread exists) and exits
// with what it returns. A test that must see a process die on its way (as a
// program killed by the user or the system does) starts it so, rather than
// forking itself, which has Qt's threads running.
using TChildMain = int (*)(const QStringList& arguments);

struct TChildRegistration {
    TChildRegistration(const char* name, TChildMain main);
};

// In main(), first: the exit status of a child run when argv asks for one;
// -1 when it does not.
int RunChildIfAsked(int argc, char** argv);

// How a child run ended.
struct TChildEnd {
    bool Killed = false; // by SIGKILL
    int ExitCode = -1;   // when it exited
};

// The command line that runs the registered child name with arguments (for
// a QProcess that the test watches while it runs).
QStringList ChildCommandLine(const char* name, const QStringList& arguments);

// Runs the registered child name with arguments in a new process of this
// executable, with the environment of this one, and waits for its end.
// prefix starts the executable through another program (e.g. "unshare").
TChildEnd RunChild(const char* name, const QStringList& arguments, const QStringList& prefix = {});
