#include "controls/UpDownEdit.h"

#include "platform/Prompt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMetaObject>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>

namespace {

// Eighths of a degree per notch of an ordinary mouse wheel.
constexpr int WheelNotch = 120;

QLocale NumberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

void Beep()
{
    if (TPrompt* prompt = CurrentPrompt())
        prompt->Beep();
    else
        QApplication::beep();
}

QToolButton* NewArrowButton(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}

TWheelEdit::TWheelEdit(QWidget* parent) : QLineEdit(parent) {}

void TWheelEdit::wheelEvent(QWheelEvent* event)
{
    event->accept();
    emit MouseWheel(event);
}

TUpDownEdit::TUpDownEdit(QWidget* parent)
    : QWidget(parent), m_edit(new TWheelEdit(this)), m_up(NewArrowButton(Qt::UpArrow, this)),
      m_down(NewArrowButton(Qt::DownArrow, this))
{
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_edit);
    m_edit->setMaxLength(MaxTextLength);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textEdited, this, &TUpDownEdit::TextEdited);
    connect(m_edit, &TWheelEdit::MouseWheel, this, &TUpDownEdit::Wheel);
    connect(m_up, &QToolButton::clicked, this, [this] { ButtonStep(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { ButtonStep(false); });
    resize(80, sizeHint().height());
    UpdateText();
}

void TUpDownEdit::SetPosition(double value)
{
    m_position = value;
    UpdateText();
    Change();
}

int TUpDownEdit::PositionInt() const
{
    // nearbyint rounds halves to the even neighbour in the default mode.
    return static_cast<int>(std::nearbyint(m_position));
}

void TUpDownEdit::SetDigits(int digits)
{
    m_digits = qBound(0, digits, 15);
    UpdateText();
}

void TUpDownEdit::SetRange(double min, double max)
{
    m_min = min;
    m_max = max;
    SetPosition(m_position);
}

bool TUpDownEdit::TabStop() const
{
    return m_edit->focusPolicy() & Qt::TabFocus;
}

void TUpDownEdit::SetTabStop(bool tabStop)
{
    m_edit->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

QSize TUpDownEdit::sizeHint() const
{
    return {80, m_edit->sizeHint().height()};
}

void TUpDownEdit::Change()
{
    emit Changed();
}

void TUpDownEdit::UpdateText()
{
    if (m_position >= m_max)
        m_position = m_max;
    if (m_position < m_min)
        m_position = m_min;
    m_edit->setText(NumberLocale().toString(m_position, 'f', m_digits));
}

void TUpDownEdit::TextEdited(const QString& text)
{
    bool ok = false;
    double value = NumberLocale().toDouble(text.isEmpty() ? QStringLiteral("0") : text, &ok);
    if (!ok || !std::isfinite(value))
        return; // not a number (yet): the value stays
    // The value is kept in range at once, so that a dialog closed with Enter
    // never hands on what the bounds forbid; the text is tidied on leaving.
    value = value >= m_max ? m_max : value;
    value = value < m_min ? m_min : value;
    const bool changed = value != m_position;
    m_position = value;
    if (changed)
        Change();
}

void TUpDownEdit::ButtonStep(bool up)
{
    up ? StepUp() : StepDown();
    m_edit->setFocus(Qt::OtherFocusReason);
    emit Clicked();
}

void TUpDownEdit::Wheel(QWheelEvent* event)
{
    const QPoint angle = event->angleDelta();
    m_wheelRest += angle.y() != 0 ? angle.y() : angle.x();
    const int steps = m_wheelRest / WheelNotch;
    m_wheelRest -= steps * WheelNotch;
    for (int i = 0; i < steps; ++i)
        StepUp();
    for (int i = 0; i > steps; --i)
        StepDown();
    event->accept();
}

void TUpDownEdit::wheelEvent(QWheelEvent* event)
{
    Wheel(event);
}

bool TUpDownEdit::AcceptsCharacter(QChar c) const
{
    if (c.isDigit() && c.unicode() < 128)
        return true;
    if (c == QLatin1Char('\b'))
        return true;
    const QLocale locale = NumberLocale();
    if (m_digits > 0 && QString(c) == locale.decimalPoint())
        return true;
    return m_min < 0 && QString(c) == locale.negativeSign();
}

bool TUpDownEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_edit)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        UpdateText();
    } else if (event->type() == QEvent::FocusIn && !m_autoSelect) {
        // The edit selects its text when tabbed into; without auto-select the
        // selection goes again once that is done.
        QMetaObject::invokeMethod(m_edit, &QLineEdit::deselect, Qt::QueuedConnection);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        emit Clicked();
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            key->key() == Qt::Key_Up ? StepUp() : StepDown();
            return true;
        }
        const QString text = key->text();
        const bool command = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (!command && text.size() == 1 && text.at(0).unicode() >= 32 && !AcceptsCharacter(text.at(0))) {
            Beep();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TUpDownEdit::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutParts();
}

void TUpDownEdit::LayoutParts()
{
    const int editWidth = qMax(0, width() - ButtonWidth);
    const int half = height() / 2;
    m_edit->setGeometry(0, 0, editWidth, height());
    m_up->setGeometry(editWidth, 0, ButtonWidth, half);
    m_down->setGeometry(editWidth, half, ButtonWidth, height() - half);
}
