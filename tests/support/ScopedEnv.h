#pragma once

#include <QByteArray>
#include <QString>

// Sets an environment variable while it lives, and then puts back what was
// there before.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const QString& value)
        : m_name(name), m_was(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value.toUtf8());
    }
    ~TScopedEnv() { m_was ? qputenv(m_name, m_old) : qunsetenv(m_name); }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_was;
    QByteArray m_old;
};
