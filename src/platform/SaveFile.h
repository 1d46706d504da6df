#pragma once

#include "platform/FileKind.h"

#include <QString>

#include <functional>
#include <optional>

class QSaveFile;

// A file is saved whole through a QSaveFile: written under a temporary name
// beside its target (links followed), then renamed over it. So a save goes
// only where a regular file or nothing stands: renamed over a device, a pipe
// or a socket, the new file would end that for every program using it.

// Why a save did not happen.
struct TSaveFailure {
    // What the target is when it is not replaceable (then nothing was
    // written); Regular when the system refused the save.
    TFileKind Target = TFileKind::Regular;
    // The system's reason (also when the target could not be looked at).
    QString Reason;
};

// Opens the save file for writing, unless its target is not replaceable.
std::optional<TSaveFailure> OpenSaveFile(QSaveFile& file);

// Puts what was written to a QSaveFile in place of the old file. Qt's own
// commit() flushes its buffer without looking at the result: on a full disk
// it reports success and leaves an empty or cut file where the old one was.
// Here the buffer is flushed and the file synced to the disk first, and the
// target is looked at again (it may have changed since the file was opened);
// then lastStep runs, if given, right before the file takes its name. When
// any of these fails, the temporary file goes, the old file stays as it was
// and the reason is given back.
std::optional<TSaveFailure> CommitSaveFile(QSaveFile& file, const std::function<bool()>& lastStep = {});
