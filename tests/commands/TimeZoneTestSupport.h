#pragma once

// Runs a test under a fixed time zone and gives the old one back.

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class TScopedTimeZone {
public:
    explicit TScopedTimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TScopedTimeZone()
    {
        m_old ? setenv("TZ", m_old->c_str(), 1) : unsetenv("TZ");
        tzset();
    }
    TScopedTimeZone(const TScopedTimeZone&) = delete;
    TScopedTimeZone& operator=(const TScopedTimeZone&) = delete;

private:
    std::optional<std::string> m_old;
};
