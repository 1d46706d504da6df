#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The user's own HTML templates ("*.htm", "*.html"): kept in the user's data
// folder, where saved templates go, and also found beside the program.

// The folders searched, the user's data folder first.
QStringList TemplateFolders();
// Replaces the folders (tests); nothing restores the usual ones.
void SetTemplateFolders(const std::optional<QStringList>& folders);
// Where templates are saved: the first folder.
QString UserTemplateFolder();

// The names (without folder) of the templates in the folders, each name
// once, those of the user's folder first.
QStringList ListTemplateFiles();
// The file a template text names: a path with a folder as it is, a bare name
// looked up in the folders in order; empty when no such file exists.
QString FindTemplateFile(const QString& name);
// A template file's text: UTF-8 when the bytes are valid UTF-8, else
// Windows-1252. Throws TExportError when it cannot be read.
QString ReadTemplateFile(const QString& path);
