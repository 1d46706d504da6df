#pragma once

#include "controls/DragTypes.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <functional>

class QDrag;
class QMimeData;
class QWidget;

// Starts a drag of files out of the program and puts files on the
// clipboard. The data is a file list in the formats of FileMimeData; Qt's
// drag lists its formats and draws the drag's picture. Unlike the shell's
// drag, Qt asks the source nothing before the drop: OnDrop is told after it.
class TDropFileSource : public QObject {
    Q_OBJECT
public:
    explicit TDropFileSource(QObject* owner = nullptr);

    TDragTypes Dragtypes = DragTypeBit(dtCopy);
    // Full paths in the file system's encoding.
    QList<QByteArray> Files;
    // After a drag ended in a drop of this kind.
    std::function<void(TDropFileSource& sender, TDragType type)> OnDrop;
    // The effect the target under the pointer offers changed.
    std::function<void(TDropFileSource& sender, quint32 effect)> OnFeedback;

    // Runs the drag from source (its window receives the drag's events) and
    // returns when it ended.
    TDragOutcome Execute(QWidget* source);
    // The effect of the last feedback or clipboard operation.
    quint32 CurrentEffect() const { return m_effect; }

    bool CopyToClipboard() { return PutOnClipboard(false); }
    bool CutToClipboard() { return PutOnClipboard(true); }

private:
    bool PutOnClipboard(bool cut);

    quint32 m_effect = DropEffectNone;
};

// Runs a drag; tests install their own, since Qt's returns at once without a
// display.
using TDragRunner = std::function<Qt::DropAction(QDrag& drag, Qt::DropActions allowed, Qt::DropAction preferred)>;
// Installs a runner and returns the previous one (an empty one restores
// Qt's).
TDragRunner SetDragRunner(TDragRunner runner);

// Effect bits of Qt's drop actions and back.
quint32 DropEffectOf(Qt::DropActions actions);
Qt::DropAction DropActionOf(quint32 effect);
