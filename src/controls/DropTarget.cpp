#include "controls/DropTarget.h"

#include "controls/DropSource.h"
#include "controls/FileMimeData.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QScrollBar>

namespace {

bool CanScroll(const QScrollBar* bar, Qt::ScrollBarPolicy policy)
{
    return bar && policy != Qt::ScrollBarAlwaysOff && bar->maximum() > bar->minimum();
}

}

TDropFileTarget::TDropFileTarget(QObject* owner) : QObject(owner)
{
    m_scrollTimer.setInterval(ScrollIntervalMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, [this] { ScrollStep(); });
}

TDropFileTarget::~TDropFileTarget()
{
    Unregister();
}

QWidget* TDropFileTarget::EventWidget() const
{
    if (auto* area = qobject_cast<QAbstractScrollArea*>(m_target.data()))
        return area->viewport();
    return m_target;
}

void TDropFileTarget::Register(QWidget* control)
{
    if (control == m_target)
        return;
    Unregister();
    m_target = control;
    if (QWidget* widget = EventWidget()) {
        widget->setAcceptDrops(true);
        widget->installEventFilter(this);
    }
}

void TDropFileTarget::Unregister()
{
    m_scrollTimer.stop();
    if (QWidget* widget = EventWidget()) {
        widget->removeEventFilter(this);
        widget->setAcceptDrops(false);
    }
    m_target = nullptr;
}

bool TDropFileTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != EventWidget())
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
        DragEnter(static_cast<QDragEnterEvent&>(*event));
        return true;
    case QEvent::DragMove:
        DragMove(static_cast<QDragMoveEvent&>(*event));
        return true;
    case QEvent::DragLeave:
        DragLeave();
        return true;
    case QEvent::Drop:
        Drop(static_cast<QDropEvent&>(*event));
        return true;
    default:
        return false;
    }
}

void TDropFileTarget::Fire(const TDropTargetEvent& handler, TDropFileTarget& sender, const TShiftState& shift,
                           const QPoint& point, quint32& effect)
{
    if (handler)
        handler(sender, shift, point, effect);
}

void TDropFileTarget::ClearData()
{
    m_files.clear();
}

bool TDropFileTarget::DoGetData(const QMimeData& data)
{
    ClearData();
    m_files = FileMimeData::FilesOf(data);
    return !m_files.isEmpty();
}

void TDropFileTarget::MeasureScrollAxes()
{
    m_scrollHorizontal = m_scrollVertical = false;
    m_band = m_target ? QFontInfo(m_target->font()).pixelSize() : 0;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(m_target.data())) {
        m_scrollHorizontal = CanScroll(area->horizontalScrollBar(), area->horizontalScrollBarPolicy());
        m_scrollVertical = CanScroll(area->verticalScrollBar(), area->verticalScrollBarPolicy());
    }
}

Qt::DropAction TDropFileTarget::AnswerFor(const QDropEvent& event, quint32 effect) const
{
    effect &= DropEffectCopy | DropEffectMove | DropEffectLink;
    // Only another program's drag: the owner's own drags do not act on the
    // answer.
    if (MovesFilesItself && !event.source() && (effect & DropEffectMove))
        effect = DropEffectCopy;
    const Qt::DropAction action = DropActionOf(effect);
    return event.possibleActions() & action ? action : Qt::IgnoreAction;
}

void TDropFileTarget::Answer(QDropEvent& event, quint32 effect)
{
    m_chosen = effect;
    const Qt::DropAction action = AnswerFor(event, effect);
    if (action == Qt::IgnoreAction) {
        event.ignore();
        return;
    }
    event.setDropAction(action);
    event.accept();
}

quint32 TDropFileTarget::GetDropEffect(const TShiftState& shift, const QPoint& point, quint32 offered)
{
    quint32 allowed = offered;
    if (!(Dragtypes & DragTypeBit(dtCopy)))
        allowed &= ~DropEffectCopy;
    if (!(Dragtypes & DragTypeBit(dtMove)))
        allowed &= ~DropEffectMove;
    if (!(Dragtypes & DragTypeBit(dtLink)))
        allowed &= ~DropEffectLink;
    if (OnGetDropEffect) {
        quint32 effect = allowed;
        OnGetDropEffect(*this, shift, point, effect);
        return effect;
    }
    const bool withShift = shift.Keys & Qt::ShiftModifier;
    const bool withCtrl = shift.Keys & Qt::ControlModifier;
    quint32 effect = DropEffectNone;
    if (withShift && withCtrl && (allowed & DropEffectLink))
        effect = DropEffectLink;
    else if (withShift && !withCtrl && (allowed & DropEffectMove))
        effect = DropEffectMove;
    else if (allowed & DropEffectCopy)
        effect = DropEffectCopy;
    else if (allowed & DropEffectMove)
        effect = DropEffectMove;
    else if (allowed & DropEffectLink)
        effect = DropEffectLink;
    const QWidget* client = EventWidget();
    if (client && m_scrollHorizontal && (point.x() < m_band || point.x() > client->width() - m_band))
        effect |= DropEffectScroll;
    else if (client && m_scrollVertical && (point.y() < m_band || point.y() > client->height() - m_band))
        effect |= DropEffectScroll;
    return effect;
}

void TDropFileTarget::DragEnter(QDragEnterEvent& event)
{
    ClearData();
    m_lastPoint = event.position().toPoint();
    const QMimeData* data = event.mimeData();
    if (!data || !FileMimeData::HasFiles(*data)) {
        m_holding = false;
        event.ignore();
        return;
    }
    m_holding = true;
    MeasureScrollAxes();
    if (GetDataOnEnter)
        DoGetData(*data);
    const TShiftState shift{event.modifiers(), event.buttons()};
    quint32 effect = GetDropEffect(shift, m_lastPoint, DropEffectOf(event.possibleActions()));
    Fire(OnEnter, *this, shift, m_lastPoint, effect);
    m_chosen = effect;
    // Taken, so that the moves follow; each move says whether a drop there
    // is possible.
    Qt::DropAction action = AnswerFor(event, effect);
    if (action == Qt::IgnoreAction)
        action = AnswerFor(event, DropEffectOf(event.proposedAction()));
    event.setDropAction(action);
    event.accept();
}

void TDropFileTarget::DragMove(QDragMoveEvent& event)
{
    m_lastPoint = event.position().toPoint();
    if (!m_holding) {
        event.ignore();
        m_scrollTimer.stop();
        return;
    }
    const TShiftState shift{event.modifiers(), event.buttons()};
    quint32 effect = GetDropEffect(shift, m_lastPoint, DropEffectOf(event.possibleActions()));
    Fire(OnDragOver, *this, shift, m_lastPoint, effect);
    if ((m_scrollHorizontal || m_scrollVertical) && (effect & DropEffectScroll)) {
        if (!m_scrollTimer.isActive())
            m_scrollTimer.start();
    } else {
        m_scrollTimer.stop();
    }
    Answer(event, effect);
}

void TDropFileTarget::DragLeave()
{
    ClearData();
    m_scrollTimer.stop();
    const bool held = m_holding;
    m_holding = false;
    if (held && OnLeave)
        OnLeave(*this);
}

void TDropFileTarget::Drop(QDropEvent& event)
{
    m_scrollTimer.stop();
    if (!m_holding || !event.mimeData()) {
        event.ignore();
        return;
    }
    m_lastPoint = event.position().toPoint();
    const TShiftState shift{event.modifiers(), event.buttons()};
    quint32 effect = GetDropEffect(shift, m_lastPoint, DropEffectOf(event.possibleActions()));
    if (!GetDataOnEnter && !DoGetData(*event.mimeData()))
        effect = DropEffectNone;
    else
        Fire(OnDrop, *this, shift, m_lastPoint, effect);
    ClearData();
    m_holding = false;
    Answer(event, effect);
}

void TDropFileTarget::ScrollStep()
{
    auto* area = qobject_cast<QAbstractScrollArea*>(m_target.data());
    const QWidget* client = EventWidget();
    if (!area || !client || !m_holding) {
        m_scrollTimer.stop();
        return;
    }
    if (m_lastPoint.y() < m_band)
        area->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (m_lastPoint.y() > client->height() - m_band)
        area->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (m_lastPoint.x() < m_band)
        area->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (m_lastPoint.x() > client->width() - m_band)
        area->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

quint32 TDropFileTarget::PasteFromClipboard()
{
    ClearData();
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !DoGetData(*data))
        return DropEffectNone;
    return FileMimeData::IsCut(*data) ? DropEffectMove : DropEffectCopy;
}
