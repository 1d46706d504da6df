#pragma once

#include <QString>

// The key all settings live under, relative to the user's settings root;
// windows keep their own values in subkeys of it.
inline QString ProgramSettingsKey()
{
    return QStringLiteral("Software\\Orvane\\Quillon\\3");
}

// The path of a subkey of the settings key.
inline QString ProgramSettingsSubkey(const QString& name)
{
    return ProgramSettingsKey() + QLatin1Char('\\') + name;
}
