#pragma once

#include <QString>

// Names and titles the program brings along (file-name presets, input-page
// titles) are stored as "%" + language key and shown in the current language;
// names the user typed are stored and shown as typed.

// The stored form of a built-in name: "%" + key.
QString BuiltInName(const QString& key);

// True for a stored name longer than two characters that begins with "%".
bool IsBuiltInName(const QString& name);

// The text to show for a stored name: for a built-in name the current
// language's text of its key, else the name itself. A "%" name whose key the
// language does not know is shown as stored, so that a user's name that
// happens to begin with "%" never turns into an empty text.
QString ShownName(const QString& name);
