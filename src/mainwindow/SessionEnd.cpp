#include "mainwindow/SessionEnd.h"

#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int RetryMs = 50;

// A dialog closes only once its own loop has run again, and a window that
// is busy (a load, a batch command) holds its close off: the window is
// closed from the outermost loop, tried again until it has gone.
void CloseWhenFree(const QPointer<QWidget>& window)
{
    if (!window || !window->isVisible())
        return;
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    if (QThread::currentThread()->loopLevel() <= 1 && !QApplication::activeModalWidget())
        window->close();
    if (window && window->isVisible())
        QTimer::singleShot(RetryMs, window, [window] { CloseWhenFree(window); });
}

}

void CloseOnTermination(QWidget& window)
{
    auto* signals_ = new TTerminationSignals(&window);
    QObject::connect(signals_, &TTerminationSignals::Received, &window,
                     [target = QPointer<QWidget>(&window)] { CloseWhenFree(target); });
}
