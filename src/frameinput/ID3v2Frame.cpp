#include "frameinput/ID3v2Frame.h"

#include "frameinput/CaptionLabel.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

#include <algorithm>
#include <atomic>

namespace {
quint32 NextIdentity()
{
    static std::atomic<quint32> counter{0};
    return ++counter;
}

// Selects what typing replaces in an inner control: its whole text, and in a
// date or time picker its first part (typing then runs through the parts).
void SelectForTyping(QWidget* inner)
{
    if (auto* picker = qobject_cast<QDateTimeEdit*>(inner))
        picker->setSelectedSection(picker->sectionAt(0));
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(inner))
        spin->selectAll();
    else if (auto* line = qobject_cast<QLineEdit*>(inner))
        line->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(inner))
        plain->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(inner); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}
}

TID3v2Frame::TID3v2Frame(QWidget* parent)
    : QWidget(parent), m_identity(NextIdentity())
{
    resize(200, 40);
    setAttribute(Qt::WA_StyledBackground, false);
}

TID3v2Frame::~TID3v2Frame() = default;

void TID3v2Frame::Init()
{
    CreateControls();
    Clear();
    Relayout();
}

void TID3v2Frame::AddFrame(const TID3Frame* frame)
{
    if (m_empty) {
        LoadFrame(frame);
        m_loadedValue = ShownValue();
        m_loadedReadOnly = GetFrameReadOnly();
    } else {
        CompareFrame(frame);
    }
}

void TID3v2Frame::LoadFrame(const TID3Frame* frame)
{
    m_loadedValue.reset();
    if (frame)
        m_frame.AssignFrame(*frame, false);
    else
        Clear();
    m_frame.SetBody({});
    m_empty = false;
    m_different = false;
    ApplyEnabled();
}

void TID3v2Frame::CompareFrame(const TID3Frame*)
{
}

TID3Frame* TID3v2Frame::GetFrame()
{
    m_frame.SetBody({});
    return &m_frame;
}

void TID3v2Frame::SetFrameID(const QString& id)
{
    m_frameId = id.toUpper();
}

void TID3v2Frame::SetUseID3Version(TID3Versions version)
{
    m_useVersion = version;
    RebuildFrameIDs();
}

void TID3v2Frame::RebuildFrameIDs()
{
    m_frameIds.clear();
    for (const QString& id : HandledFrameIDs())
        if (IsFrameInVersion(id, m_useVersion))
            m_frameIds << id;
    m_frameIds.sort();
}

void TID3v2Frame::Clear()
{
    m_loadedValue.reset();
    m_empty = true;
    m_dataChanged = false;
    m_different = false;
    m_frame.Clear();
    m_frame.FrameID = m_frameId;
    ApplyEnabled();
}

void TID3v2Frame::DataChanged()
{
    if (!m_dataChanged)
        m_loadedDifferent = m_different;
    m_dataChanged = true;
    m_different = false;
    emit dataChangedByUser(this);
}

void TID3v2Frame::InnerControlEdited()
{
    const bool backAtLoad = m_inOwnUndo && m_dataChanged && m_loadedValue && InnerUndoExhausted()
                            && GetFrameReadOnly() == m_loadedReadOnly && ShownValue() == *m_loadedValue;
    if (!backAtLoad) {
        DataChanged();
        return;
    }
    m_dataChanged = false;
    m_different = m_loadedDifferent;
    emit dataChangedByUser(this);
}

void TID3v2Frame::SetFrameReadOnly(bool value)
{
    if (GetFrameReadOnly() == value)
        return;
    m_frame.ReadOnly = value ? 1 : 0;
    DataChanged();
}

void TID3v2Frame::SetEditLeft(int value)
{
    m_editLeft = value;
    Relayout();
}

void TID3v2Frame::SetBorderWidth(int value)
{
    m_borderWidth = value;
    Relayout();
}

void TID3v2Frame::SetAutoSize(bool value)
{
    m_autoSize = value;
    Relayout();
}

void TID3v2Frame::SetWantEnabled(bool value)
{
    m_wantEnabled = value;
    ApplyEnabled();
}

void TID3v2Frame::SetReadOnly(bool value)
{
    if (m_readOnly == value)
        return;
    m_readOnly = value;
    ApplyReadOnly();
}

void TID3v2Frame::ApplyEnabled()
{
    setEnabled(m_wantEnabled && !m_empty);
}

void TID3v2Frame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void TID3v2Frame::Relayout()
{
    if (m_inResize)
        return;
    m_inResize = true;
    PlaceControls();
    if (m_autoSize) {
        int bottom = 0;
        for (QObject* child : children())
            if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow())
                bottom = std::max(bottom, w->geometry().bottom() + 1);
        setFixedHeight(m_borderWidth + bottom);
    }
    m_inResize = false;
}

void TID3v2Frame::Forward(QWidget* inner, bool mouseDown, bool contextPopup)
{
    if (mouseDown)
        m_mouseForwarded << inner;
    if (contextPopup) {
        m_contextForwarded << inner;
        inner->setContextMenuPolicy(Qt::DefaultContextMenu);
    }
    inner->installEventFilter(this);
}

bool TID3v2Frame::eventFilter(QObject* watched, QEvent* event)
{
    auto* inner = qobject_cast<QWidget*>(watched);
    if (inner) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (m_mouseForwarded.contains(inner))
                emit innerMouseDown(this, inner);
            break;
        case QEvent::ContextMenu:
            if (m_contextForwarded.contains(inner) && receivers(SIGNAL(innerContextPopup(TID3v2Frame*, QWidget*, QPoint))) > 0) {
                emit innerContextPopup(this, inner, static_cast<QContextMenuEvent*>(event)->globalPos());
                return true;
            }
            break;
        case QEvent::KeyPress:
            // The control's own undo runs while the input knows it, so that
            // an edit taken back whole leaves the input unmodified.
            if (!m_inOwnUndo && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo)) {
                const QScopedValueRollback undoing(m_inOwnUndo, true);
                QCoreApplication::sendEvent(inner, event);
                return true;
            }
            break;
        case QEvent::FocusIn:
            m_focused = true;
            ApplyColours(inner);
            // The files disagree: the first file's value shows now, and typing
            // must replace it rather than add to it. Selected once the focus
            // event is done, since a mouse press goes on to place the cursor.
            if (m_different && !m_readOnly
                && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
                QTimer::singleShot(0, inner, [inner = QPointer<QWidget>(inner)] {
                    if (inner && inner->hasFocus())
                        SelectForTyping(inner);
                });
            break;
        case QEvent::FocusOut:
            // A popup (context menu, calendar, list) opening keeps the value visible.
            if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
                break;
            m_focused = false;
            ApplyColours(inner);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

// Gives the widget these colours of its value in the active and inactive
// looks; a disabled widget keeps the style's disabled look, and colours read
// while the control was disabled never stick to it once it is enabled again.
void SetValueColours(QWidget* widget, const QColor& base, const QColor& text)
{
    QPalette pal = widget->palette();
    bool unchanged = widget->testAttribute(Qt::WA_SetPalette);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        unchanged = unchanged && pal.color(group, QPalette::Base) == base && pal.color(group, QPalette::Text) == text;
        pal.setColor(group, QPalette::Base, base);
        pal.setColor(group, QPalette::Text, text);
    }
    // Comparing every further file calls here: a palette that stays as it
    // is is not set again (setting one is costly).
    if (!unchanged)
        widget->setPalette(pal);
}

// The pop-up windows of an inner control, made now where they would only be
// made when first shown (they would then take the control's colours over).
QList<QWidget*> PopupsOf(QWidget* input)
{
    if (auto* combo = qobject_cast<QComboBox*>(input))
        combo->view();
    else if (auto* picker = qobject_cast<QDateTimeEdit*>(input); picker && picker->calendarPopup())
        picker->calendarWidget();
    QList<QWidget*> popups;
    for (QWidget* child : input->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow())
            popups << child;
    return popups;
}

}

void TID3v2Frame::ApplyColours(QWidget* input) const
{
    if (!input)
        return;
    const QPalette app = palette();
    const QColor base = app.color(QPalette::Active, QPalette::Base);
    const QColor text = app.color(QPalette::Active, QPalette::Text);
    if (m_different && !m_focused) {
        const QColor hidden = app.color(QPalette::Active, QPalette::Button);
        SetValueColours(input, hidden, hidden);
    } else {
        // A value that cannot be changed shows on the window's background,
        // not as a field to type into.
        SetValueColours(input, m_readOnly ? app.color(QPalette::Active, QPalette::Window) : base, text);
    }
    // The input hands its colours on to its pop-ups (a combo box's list, a
    // date picker's calendar), which show the choices and no file's value:
    // they keep the normal look.
    for (QWidget* popup : PopupsOf(input))
        SetValueColours(popup, base, text);
}

QString TID3v2Frame::FrameCaption() const
{
    return GetFrameName(m_frameId) + QLatin1Char(':');
}

QLabel* TID3v2Frame::CreateCaptionLabel()
{
    return new TCaptionLabel(this);
}
