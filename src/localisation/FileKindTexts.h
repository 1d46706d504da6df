#pragma once

#include "platform/FileKind.h"

#include <QString>

// The kind of a file as the user is told it: "a character device", "a
// folder"... (language texts "FileKind...").
QString FileKindText(TFileKind kind);

// Why nothing was written to path: it is a file of this kind, not a regular
// file (language text "ErrorNotRegularFile").
QString NotRegularFileText(const QString& path, TFileKind kind);
