#pragma once

// Runs a test under a fixed time zone and gives the old one back.

#include "support/ScopedEnv.h"

#include <ctime>
#include <optional>

class TScopedTimeZone {
public:
    explicit TScopedTimeZone(const char* zone) : m_zone(std::in_place, "TZ", QString::fromLatin1(zone)) { tzset(); }
    ~TScopedTimeZone()
    {
        m_zone.reset();
        tzset();
    }

private:
    std::optional<TScopedEnv> m_zone;
};
