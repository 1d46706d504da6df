#pragma once

#include <QByteArray>

#include <optional>

#include <sys/types.h>

// The hidden names under which the file operations keep what is not yet, or
// no longer, under its own name: ".<name>.<process id>-<8 letters><suffix>".
// The process id tells whose a hidden file is, so that one left behind by a
// run that ended (killed, or the machine went down) is recognised later.
enum class THiddenKind {
    Copy,     // ".part": a copy being written, or a folder being built
    SetAside, // ".replaced": a file answered Replace, until its item is done
    Moving,   // ".moving": a moved file staged beside the file it replaces
};

// A hidden name for name in this process. Where the whole name does not fit
// into a folder entry it is cut at a whole character, and the hidden name
// says so (then it cannot give the name back).
QByteArray HiddenName(const QByteArray& name, THiddenKind kind);

struct THiddenName {
    QByteArray Name; // the name it stands for
    THiddenKind Kind = THiddenKind::Copy;
    pid_t Process = 0;
    bool Cut = false; // Name is only the start of the real name
};

// What a hidden name of the file operations stands for; nothing for any
// other name.
std::optional<THiddenName> ParseHiddenName(const QByteArray& hidden);

// Whether a name may be a hidden name of the file operations, cheaply, for
// folder listings.
bool MayBeHiddenName(const char* name, size_t length);

// Whether the process that made a hidden name no longer runs (never this
// process; a process that cannot be asked counts as running).
bool MadeByAnEndedRun(const THiddenName& hidden);
bool MadeByThisProcess(const THiddenName& hidden);
