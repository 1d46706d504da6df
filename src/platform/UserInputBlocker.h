#pragma once

#include <QObject>

#include <functional>

class QEvent;

// Says whether a user input event may reach its receiver while input is
// blocked (a Cancel button that ends the wait, say).
using TInputPass = std::function<bool(QObject* receiver, QEvent* event)>;

// While it exists, no user input reaches any window of the program: mouse,
// keyboard, wheel, touch, drag and drop and the user's requests to close a
// window are dropped (not deferred), except what its pass lets through;
// timers, network and paint events run. Used while a CD database request
// waits for its reply and while a file operation shows its progress, so
// that nothing the user does can act on a window that the waiting code
// still works with.
class TUserInputBlocker : public QObject {
public:
    explicit TUserInputBlocker(TInputPass pass = {});
    ~TUserInputBlocker() override;
    TUserInputBlocker(const TUserInputBlocker&) = delete;
    TUserInputBlocker& operator=(const TUserInputBlocker&) = delete;

    // Runs the pending events without user input (but what pass lets
    // through), so that status texts paint.
    static void ProcessEventsWithoutInput(const TInputPass& pass = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TInputPass m_pass;
};
