#pragma once

#include <QByteArray>

// The hidden names under which the file operations keep what is not yet, or
// no longer, under its own name: ".<name>.<8 random letters><suffix>". A name
// says nothing about whose it is: only the record of the run that made it
// does (platform/RunRecord.h), and nothing acts on a hidden name that no
// record names.
enum class THiddenKind {
    Copy,     // ".part": a copy being written, or a folder being built
    SetAside, // ".replaced": a file answered Replace, until its item is done
    Moving,   // ".moving": a moved file staged beside the file it replaces
    Removing, // ".removing": a moved source, checked once more before it goes
    Renaming, // ".renaming": a file between the two renames of a change of case
    Probe,    // ".probe": made in one folder and looked up in another
};

// A hidden name of kind for name. Where the whole name does not fit into a
// folder entry it is cut at a whole character (the record keeps the whole
// name).
QByteArray HiddenName(const QByteArray& name, THiddenKind kind);
