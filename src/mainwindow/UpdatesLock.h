#pragma once

#include <QWidget>

// Freezes the drawing of a window while it exists, so that a rebuild of many
// controls shows at once; a window that was frozen already stays so.
class TUpdatesLock {
public:
    explicit TUpdatesLock(QWidget* window) : m_window(window), m_locked(window->updatesEnabled())
    {
        if (m_locked)
            m_window->setUpdatesEnabled(false);
    }
    ~TUpdatesLock()
    {
        if (m_locked)
            m_window->setUpdatesEnabled(true);
    }
    TUpdatesLock(const TUpdatesLock&) = delete;
    TUpdatesLock& operator=(const TUpdatesLock&) = delete;

private:
    QWidget* m_window;
    bool m_locked;
};
