#pragma once

// Drag events sent straight to a widget, as a drag from another program
// would bring them.

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QWidget>

namespace DropEvents {

// The drag moves on to point: the move's answer, or IgnoreAction when it was
// refused.
inline Qt::DropAction Move(QWidget* widget, QMimeData& data, QPoint point, Qt::DropActions offered,
                           Qt::KeyboardModifiers keys = Qt::NoModifier, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QDragMoveEvent move(point, offered, &data, buttons, keys);
    QCoreApplication::sendEvent(widget, &move);
    return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
}

// A drag enters widget and moves to point; its answer as above.
inline Qt::DropAction Over(QWidget* widget, QMimeData& data, QPoint point, Qt::DropActions offered,
                           Qt::KeyboardModifiers keys = Qt::NoModifier, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QDragEnterEvent enter(point, offered, &data, buttons, keys);
    QCoreApplication::sendEvent(widget, &enter);
    return Move(widget, data, point, offered, keys, buttons);
}

// The buttons are released over point: the drop's answer.
inline Qt::DropAction Drop(QWidget* widget, QMimeData& data, QPoint point, Qt::DropActions offered,
                           Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QDropEvent drop(point, offered, &data, Qt::NoButton, keys);
    QCoreApplication::sendEvent(widget, &drop);
    return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

inline void Leave(QWidget* widget)
{
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(widget, &leave);
}

}
