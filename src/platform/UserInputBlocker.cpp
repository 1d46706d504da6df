#include "platform/UserInputBlocker.h"

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

TUserInputBlocker::TUserInputBlocker(TInputPass pass) : m_pass(std::move(pass))
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->installEventFilter(this);
}

TUserInputBlocker::~TUserInputBlocker()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void TUserInputBlocker::ProcessEventsWithoutInput(const TInputPass& pass)
{
    const TUserInputBlocker blocker(pass);
    QCoreApplication::processEvents();
}

bool TUserInputBlocker::eventFilter(QObject* watched, QEvent* event)
{
    // The user's request to close a window counts as input; the program's
    // own closing (a tool tip that goes) still runs.
    const bool closeRequest = event->type() == QEvent::Close && event->spontaneous();
    if ((IsUserInput(event->type()) || closeRequest) && !(m_pass && m_pass(watched, event))) {
        // A dropped request is not accepted.
        if (closeRequest)
            event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
