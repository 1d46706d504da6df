#include "cddb/UserInputBlocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

}

TUserInputBlocker::TUserInputBlocker()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

TUserInputBlocker::~TUserInputBlocker()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void TUserInputBlocker::ProcessEventsWithoutInput()
{
    const TUserInputBlocker blocker;
    QCoreApplication::processEvents();
}

bool TUserInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    if (IsUserInput(event->type()))
        return true;
    // The user's request to close a window; the program's own closing (a
    // tool tip that goes) still runs. A dropped request is not accepted.
    if (event->type() == QEvent::Close && event->spontaneous()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
