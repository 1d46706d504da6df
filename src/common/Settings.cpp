#include "common/Settings.h"

#include <algorithm>

void ClampSettingNumbers(TEinstellungen& s)
{
    s.MinSize = std::clamp(s.MinSize, 0, MaxTagSpaceSetting);
    s.MinPad = std::clamp(s.MinPad, 0, MaxTagSpaceSetting);
    s.MaxPad = std::clamp(s.MaxPad, 0, MaxTagSpaceSetting);
    s.Decimals = std::clamp(s.Decimals, MinDecimalsSetting, MaxDecimalsSetting);
    if (!IsValidPort(s.CDDBServerPort))
        s.CDDBServerPort = PublicCDDBServerPort;
    if (!IsValidPort(s.ProxyPort))
        s.ProxyPort = 0;
    s.UseProxy = s.UseProxy && !s.Proxy.isEmpty() && s.ProxyPort > 0;
}
