#pragma once

#include <QObject>

// While it exists, no user input reaches any window of the program: mouse,
// keyboard, wheel, touch, drag and drop and the user's requests to close a
// window are dropped (not deferred), while timers, network and paint events
// run. Used
// while a CD database request waits for its reply, so that nothing the user
// does can act on a window that the request's caller still works with.
class TUserInputBlocker : public QObject {
public:
    TUserInputBlocker();
    ~TUserInputBlocker() override;
    TUserInputBlocker(const TUserInputBlocker&) = delete;
    TUserInputBlocker& operator=(const TUserInputBlocker&) = delete;

    // Runs the pending events without user input, so that status texts
    // paint.
    static void ProcessEventsWithoutInput();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
