#include "controls/DropSource.h"

#include "controls/FileMimeData.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFileIconProvider>
#include <QMimeData>
#include <QPointer>
#include <QWidget>

namespace {

TDragRunner& InstalledRunner()
{
    static TDragRunner runner;
    return runner;
}

Qt::DropAction RunDrag(QDrag& drag, Qt::DropActions allowed, Qt::DropAction preferred)
{
    const TDragRunner& runner = InstalledRunner();
    return runner ? runner(drag, allowed, preferred) : drag.exec(allowed, preferred);
}

}

quint32 DropEffectOf(Qt::DropActions actions)
{
    quint32 effect = DropEffectNone;
    if (actions & Qt::CopyAction)
        effect |= DropEffectCopy;
    if (actions & Qt::MoveAction)
        effect |= DropEffectMove;
    if (actions & Qt::LinkAction)
        effect |= DropEffectLink;
    return effect;
}

Qt::DropAction DropActionOf(quint32 effect)
{
    if (effect & DropEffectCopy)
        return Qt::CopyAction;
    if (effect & DropEffectMove)
        return Qt::MoveAction;
    if (effect & DropEffectLink)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

TDragRunner SetDragRunner(TDragRunner runner)
{
    TDragRunner previous = std::move(InstalledRunner());
    InstalledRunner() = std::move(runner);
    return previous;
}

TDropFileSource::TDropFileSource(QObject* owner) : QObject(owner) {}

TDragOutcome TDropFileSource::Execute(QWidget* source)
{
    Qt::DropActions allowed;
    if (Dragtypes & DragTypeBit(dtCopy))
        allowed |= Qt::CopyAction;
    if (Dragtypes & DragTypeBit(dtMove))
        allowed |= Qt::MoveAction;
    if (Dragtypes & DragTypeBit(dtLink))
        allowed |= Qt::LinkAction;
    if (!allowed)
        return doFailed;

    // Qt frees the drag itself after running it.
    QPointer<QDrag> drag = new QDrag(source);
    drag->setMimeData(FileMimeData::NewDragData(Files));
    const QIcon icon = QFileIconProvider().icon(QFileIconProvider::File);
    drag->setPixmap(icon.pixmap(32, 32));
    connect(drag, &QDrag::actionChanged, this, [this](Qt::DropAction action) {
        m_effect = DropEffectOf(action);
        if (OnFeedback)
            OnFeedback(*this, m_effect);
    });
    const Qt::DropAction preferred = (allowed & Qt::CopyAction) ? Qt::CopyAction : Qt::MoveAction;
    const Qt::DropAction done = RunDrag(*drag, allowed, preferred);
    if (drag)
        drag->deleteLater();
    const quint32 effect = DropEffectOf(done) & DropEffectOf(allowed);
    TDragOutcome outcome = doCancelled;
    if (effect & DropEffectCopy)
        outcome = doCopied;
    else if (effect & DropEffectMove)
        outcome = doMoved;
    else if (effect & DropEffectLink)
        outcome = doLinked;
    if (outcome != doCancelled && OnDrop)
        OnDrop(*this, outcome == doCopied ? dtCopy : outcome == doMoved ? dtMove : dtLink);
    return outcome;
}

bool TDropFileSource::PutOnClipboard(bool cut)
{
    if (Files.isEmpty())
        return false;
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    m_effect = cut ? DropEffectMove : DropEffectCopy;
    clipboard->setMimeData(FileMimeData::NewClipboardData(Files, cut));
    return true;
}
