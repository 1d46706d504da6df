#pragma once

#include "controls/DragTypes.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>

#include <functional>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QWidget;

// The keys and mouse buttons held during a drag.
struct TShiftState {
    Qt::KeyboardModifiers Keys;
    Qt::MouseButtons Buttons;
};

class TDropFileTarget;
// An event of the target: the point in the control's client coordinates (a
// scroll area's viewport) and the effect, which the handler may change.
using TDropTargetEvent =
    std::function<void(TDropFileTarget& sender, const TShiftState& shift, const QPoint& point, quint32& effect)>;

// Makes a control a drop target for files from any program: it reads the
// dropped paths (FileMimeData), chooses the drop effect, scrolls the control
// while the pointer rests near its edge and hands everything to its events.
class TDropFileTarget : public QObject {
    Q_OBJECT
public:
    static constexpr int ScrollIntervalMs = 100;

    explicit TDropFileTarget(QObject* owner = nullptr);
    ~TDropFileTarget() override;

    // Takes the drops of control (of its viewport, for a scroll area).
    void Register(QWidget* control);
    void Unregister();
    QWidget* Target() const { return m_target; }

    TDragTypes Dragtypes = 0;
    // Read the paths already when the drag enters.
    bool GetDataOnEnter = false;
    // The owner moves dropped files itself. A drag from another program is
    // then never answered Move, which asks its source to delete the files
    // (an X11 source takes the answer given while the drag moves, before
    // the owner's move has run, let alone succeeded): it is answered Copy,
    // and the effect chosen stays the one the events carry.
    bool MovesFilesItself = false;
    TDropTargetEvent OnEnter;
    TDropTargetEvent OnDragOver;
    TDropTargetEvent OnDrop;
    // Chooses the effect instead of the rule below; it receives the allowed
    // effects and whatever it leaves (scroll bit included) is used.
    TDropTargetEvent OnGetDropEffect;
    std::function<void(TDropFileTarget& sender)> OnLeave;

    // The dragged or pasted paths.
    const QList<QByteArray>& Files() const { return m_files; }
    // Reads the clipboard's files into Files; the effect it asks for: move
    // for files that were cut, else copy; none without files.
    quint32 PasteFromClipboard();

    // The effect chosen for the drag's last position or its drop, before it
    // was answered.
    quint32 ChosenEffect() const { return m_chosen; }

    // Pixels from an edge within which the control scrolls.
    int ScrollBand() const { return m_band; }
    bool IsScrolling() const { return m_scrollTimer.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DragEnter(QDragEnterEvent& event);
    void DragMove(QDragMoveEvent& event);
    void DragLeave();
    void Drop(QDropEvent& event);
    quint32 GetDropEffect(const TShiftState& shift, const QPoint& point, quint32 offered);
    // The action answered for the effect chosen; none when the source does
    // not offer it (Qt would answer the source's own choice instead).
    Qt::DropAction AnswerFor(const QDropEvent& event, quint32 effect) const;
    // Accepts the event with that action, or refuses it.
    void Answer(QDropEvent& event, quint32 effect);
    bool DoGetData(const QMimeData& data);
    void ClearData();
    void MeasureScrollAxes();
    void ScrollStep();
    QWidget* EventWidget() const;
    static void Fire(const TDropTargetEvent& handler, TDropFileTarget& sender, const TShiftState& shift,
                     const QPoint& point, quint32& effect);

    QPointer<QWidget> m_target;
    QList<QByteArray> m_files;
    bool m_holding = false; // a drag with files is over the control
    QPoint m_lastPoint;
    quint32 m_chosen = 0;
    int m_band = 0;
    bool m_scrollHorizontal = false;
    bool m_scrollVertical = false;
    QTimer m_scrollTimer;
};
