#pragma once

#include "common/DefaultCDDBServers.h"
#include "common/FileNamePresets.h"

#include <QString>

// Every option of the main window, edited whole by the settings dialog.
struct TEinstellungen {
    QString Language;     // built-in language resource chosen
    QString LanguageFile; // external language file chosen
    QString FileNamePattern = QString::fromLatin1(DefaultFileNamePattern);
    bool NeverChangeDate = true;
    bool ReadID3v2 = true;
    bool WriteID3v1 = true;
    bool WriteID3v2 = true;
    int ID3v2Version = 3; // 3 or 4
    bool Unsync = false;
    qint32 MinSize = 792;
    qint32 MinPad = 512;
    qint32 MaxPad = 2048;
    bool NoWriteProtect = false;
    qint32 Decimals = 2;
    QString CDDBServer = QString::fromLatin1(PublicCDDBServerHost);
    qint32 CDDBServerPort = PublicCDDBServerPort;
    QString CDDBServerCgiPath = QString::fromLatin1(PublicCDDBServerCgiPath);
    QString CDDBUser = QStringLiteral("Quillon-User");
    bool UseProxy = false;
    QString Proxy;
    qint32 ProxyPort = 0;
    bool AlwaysUseNativeNtCdRom = false;

    friend bool operator==(const TEinstellungen&, const TEinstellungen&) = default;
};

// Ranges of the record's numbers.
inline constexpr qint32 MaxTagSpaceSetting = 1048576; // MinSize, MinPad, MaxPad: 0 up to this
inline constexpr qint32 MinDecimalsSetting = 1;
inline constexpr qint32 MaxDecimalsSetting = 10;
inline constexpr qint32 MinPortSetting = 1;
inline constexpr qint32 MaxPortSetting = 65535;

inline bool IsValidPort(qint64 port)
{
    return port >= MinPortSetting && port <= MaxPortSetting;
}

// Brings the record's numbers into their ranges: sizes and digits are
// clamped; a CD-database port outside counts as none given (80); a proxy port
// outside is 0. The proxy is used only with a host and a port.
void ClampSettingNumbers(TEinstellungen& settings);
