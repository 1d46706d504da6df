#pragma once

#include "common/LayoutArrays.h"

#include <span>

// A constant list of Latin-1 IDs as the string array the callers work with.
inline TStringArray ToStringArray(std::span<const char* const> ids)
{
    TStringArray result;
    result.reserve(static_cast<qsizetype>(ids.size()));
    for (const char* id : ids)
        result.append(QString::fromLatin1(id));
    return result;
}
