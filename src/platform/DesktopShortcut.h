#pragma once

#include <QByteArray>
#include <QString>

// Program shortcuts as freedesktop desktop entries: a "<name>.desktop" file in
// the user's applications folder (the program menus) or on the desktop.

enum class TShortcutPlace { Applications, Desktop };

// The folder a shortcut of that place goes to: "applications" in the user's
// data folder ($XDG_DATA_HOME), or the user's desktop folder (XDG user
// folders, else "Desktop" in the home folder). Empty when none is known.
QString ShortcutFolder(TShortcutPlace place);

// One argument of an Exec line, quoted by the Desktop Entry rules when it
// holds a reserved character (inside the quotes ", `, $ and \ get a
// backslash), with "%" doubled so that it is no field code. The result still
// needs the file's string escapes (EscapeDesktopString).
QString QuoteExecArgument(const QString& argument);
// A value of a string key as it is written into the file: backslash, line
// breaks and tabs as escapes.
QString EscapeDesktopString(const QString& value);

// The whole entry: an application called name that starts program in
// workingFolder, handing it the files dropped on it.
QByteArray DesktopEntryText(const QString& name, const QString& program, const QString& workingFolder);

// Writes "<name>.desktop" for program into folder (created when missing): the
// whole entry goes into a new file of that folder, which is flushed, made
// executable (desktops start only trusted entries) and renamed over an older
// shortcut of that name. False on any failure; then no partial file is left.
bool WriteDesktopShortcut(const QString& folder, const QString& name, const QString& program);
