#pragma once

#include <QPoint>

#include <functional>

class QAction;
class QMenu;

// Shows a pop-up menu at a screen point and waits for the choice (nullptr
// when the menu was closed without one). Tests install their own runner,
// since a menu waits for a person.
QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos);

using TPopupMenuRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;
// Installs a runner and returns the previous one (an empty one restores the
// real menu).
TPopupMenuRunner SetPopupMenuRunner(TPopupMenuRunner runner);
