#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

// Files and folders made and read by their bytes, for names that are not
// valid UTF-8 (QFile and QDir cannot reach them).

bool WriteNativeFile(const QByteArray& path, const QByteArray& content);
// The file's bytes; empty when it cannot be read.
QByteArray ReadNativeFile(const QByteArray& path);
bool MakeNativeFolder(const QByteArray& path);
// The names in a folder as Python's os.listdir with a bytes path gives them,
// sorted; empty when the listing failed.
QList<QByteArray> ListWithPython(const QByteArray& folder);
// Removes everything inside folder, links not followed (QTemporaryDir leaves
// names behind that it cannot decode).
void RemoveNativeContents(const QByteArray& folder);

// A temporary folder whose names need not be valid UTF-8.
struct TNativeTemporaryDir : QTemporaryDir {
    ~TNativeTemporaryDir() { RemoveNativeContents(QFile::encodeName(path())); }
};
