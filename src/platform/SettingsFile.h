#pragma once

#include "platform/FileKind.h"

#include <QString>

#include <optional>

// The file the settings store keeps its values in, looked at as a file:
// whether it can be read as settings, and an unreadable one put aside, so
// that it is never read into the program's settings nor written into.

// Why the settings file could not be read or written.
struct TSettingsFileFailure {
    QString File;
    // What its name holds (links followed) when that is not a regular file.
    TFileKind Kind = TFileKind::Regular;
    int SystemError = 0; // the system's error number; 0 when none is known
    // It was read, but is not in the format of a settings file.
    bool Malformed = false;
};

// An unreadable settings file, and what became of it.
struct TSettingsReadFailure : TSettingsFileFailure {
    QString KeptAs;    // its new name beside it; empty when it stayed
    int MoveError = 0; // why it stayed
};

// Why the file cannot be read as settings before anything reads it: it is
// no regular file (a device, a pipe or a folder is never read: it may never
// end, or block), it cannot be opened, or it holds no text (NUL bytes, or
// bytes that are not UTF-8). Nothing when it can be read, or when there is
// none.
std::optional<TSettingsReadFailure> SettingsFileProblem(const QString& file);

// Gives the file a new name beside it, "<name>.unreadable" (then
// "<name>.unreadable-2", ...), never replacing anything; a link is renamed
// itself, whatever it leads to. Sets KeptAs, or MoveError when it stayed.
void PutSettingsFileAside(TSettingsReadFailure& failure);
