#pragma once

#include "tagengine/Eintragdaten.h"
#include "tagengine/TagError.h"

#include <QString>
#include <QStringList>

// What the main window tells about an entry whose tags cannot be changed, and
// the reasons of failed reads and writes in the program's language.

// Why the entry's tags cannot be changed: its read failed, or its ID3v2 tag is
// of a version that is not read or could not be read whole. None when the
// entry can be edited and written.
TTagError EntryProblem(const TEintragdaten& entry);

// The entry's file is no longer the one its frames were read from: another
// program changed its size or last-write time since. Writing the frames
// would silently undo that change, so such a file is read again instead.
bool ChangedSinceRead(const TEintragdaten& entry);

// Whether a failure happened while reading or while writing a file.
enum class TFileAccess { Read, Write };

// The reason of a failure in the program's language ("tag damaged", "disk
// full", ...). major is the ID3v2 version of the file's tag (for an
// unsupported version); detail is the engine's English text, shown with
// failures of no known kind.
QString TagErrorReason(TTagError kind, TFileAccess access, quint8 major, const QString& detail = {});

// The tool tip of a list row: why the file could not be read or its tags
// cannot be changed; empty for an entry that can be edited.
QString EntryStateToolTip(const TEintragdaten& entry);

// "name (reason)" for the lists of files in messages.
QString NameWithReason(const QString& name, const QString& reason);
