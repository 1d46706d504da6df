#include "frameinput/ID3v2FrameDateTime.h"

#include "frameinput/FrameInputSupport.h"
#include "tagengine/FrameCodecs.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QToolButton>

#include <algorithm>

namespace {
constexpr int PickerWidth = 120;
constexpr int ButtonWidth = 12;
// The pickers cannot hold years before 100; 9999 is the last four-digit year.
const QDate FirstDate(100, 1, 1);
const QDate LastDate(9999, 12, 31);
// The picture of a part that the precision leaves out.
const QString NoPicture = QStringLiteral("' '");

// The separator of a locale format ("dd/MM/yyyy" gives "/").
QChar FormatSeparator(const QString& format, QChar fallback)
{
    for (const QChar c : format)
        if (!c.isLetter() && c != QLatin1Char('\''))
            return c;
    return fallback;
}

bool IsSeparator(QChar c, QChar localeSeparator)
{
    return c == QLatin1Char(',') || c == QLatin1Char('.') || c == QLatin1Char(':') || c == localeSeparator;
}

// The character a key press types, or none when a modifier makes it a command.
QChar TypedCharacter(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString text = event->text();
    return text.size() == 1 ? text.at(0) : QChar();
}

// A parsed date text: its parts and precision; precision none when the parts
// make no date the pickers can hold.
struct TParsedDate {
    QDate Date;
    QTime Time;
    TDateGenauigkeit Precision = gnNone;
};

TParsedDate ParseDateText(const QString& text)
{
    const QDateTime now = QDateTime::currentDateTime();
    TSystemTime parts;
    parts.Year = now.date().year();
    TDateGenauigkeit precision = gnNone;
    ParseISODateTime(text, parts, precision);
    TParsedDate parsed{QDate(parts.Year, parts.Month, parts.Day), QTime(parts.Hour, parts.Minute, parts.Second),
                       precision};
    if (!parsed.Date.isValid() || !parsed.Time.isValid() || parsed.Date < FirstDate || parsed.Date > LastDate)
        parsed = {now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()), gnNone};
    return parsed;
}
}

TID3v2FrameDateTime::TID3v2FrameDateTime(QWidget* parent) : TID3v2Frame(parent), m_menuHook(new TInnerMenuHook(this)) {}

TID3v2FrameDateTime::~TID3v2FrameDateTime()
{
    // While the widget is torn down a picker loses the focus and may still
    // settle a half-typed value; nothing of this input may hear that, from
    // the picker or from its line edit and calendar.
    for (QDateTimeEdit* picker : {static_cast<QDateTimeEdit*>(m_date), static_cast<QDateTimeEdit*>(m_time)}) {
        if (!picker)
            continue;
        picker->disconnect(this);
        for (QObject* inner : picker->findChildren<QObject*>())
            inner->disconnect(this);
    }
}

const QStringList& TID3v2FrameDateTime::FrameTable()
{
    static const QStringList ids = {QStringLiteral("TDEN"), QStringLiteral("TDOR"), QStringLiteral("TDRC"),
                                    QStringLiteral("TDRL"), QStringLiteral("TDTG")};
    return ids;
}

void TID3v2FrameDateTime::CreateControls()
{
    m_caption = CreateCaptionLabel();
    m_date = CreateDatePicker();
    m_time = CreateTimePicker();
    m_less = CreateStepButton(Qt::LeftArrow, QStringLiteral("Date Less Precisely"));
    m_more = CreateStepButton(Qt::RightArrow, QStringLiteral("Date More Precisely"));
    connect(m_less, &QToolButton::clicked, this, [this] {
        DecPrecision();
        ApplyFormats();
    });
    connect(m_more, &QToolButton::clicked, this, [this] {
        IncPrecision();
        ApplyFormats();
    });
    Forward(m_caption, true, true);
    Forward(m_date, false, true);
    Forward(m_time, false, true);
}

QDateEdit* TID3v2FrameDateTime::CreateDatePicker()
{
    auto* picker = new QDateEdit(this);
    picker->setCalendarPopup(true);
    picker->setDateRange(FirstDate, LastDate);
    m_dateField = picker->findChild<QLineEdit*>();
    m_dateField->installEventFilter(this);
    m_calendarPopup = picker->calendarWidget()->window();
    m_calendarPopup->installEventFilter(this);
    // Signals are blocked whenever the input itself sets a value, so this
    // only hears the user.
    ConnectUserEdits(picker, this, [this] { PickerEdited(); });
    m_menuHook->Attach(picker);
    return picker;
}

QTimeEdit* TID3v2FrameDateTime::CreateTimePicker()
{
    auto* picker = new QTimeEdit(this);
    m_timeField = picker->findChild<QLineEdit*>();
    m_timeField->installEventFilter(this);
    ConnectUserEdits(picker, this, [this] { PickerEdited(); });
    m_menuHook->Attach(picker);
    return picker;
}

QToolButton* TID3v2FrameDateTime::CreateStepButton(Qt::ArrowType arrow, const QString& hint)
{
    auto* button = new QToolButton(this);
    button->setArrowType(arrow);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    Forward(button, true, false);
    return button;
}

void TID3v2FrameDateTime::ApplyReadOnly()
{
    m_more->setEnabled(!IsReadOnly());
    m_less->setEnabled(!IsReadOnly());
    ApplyFormats();
    RefreshColours();
}

void TID3v2FrameDateTime::PlaceControls()
{
    if (!m_date)
        return;
    const int bw = BorderWidth();
    PlaceCaption(m_caption, bw, EditLeft());
    const int height = m_date->sizeHint().height();
    m_date->setGeometry(EditLeft() + bw, bw, PickerWidth, height);
    m_time->setGeometry(m_date->geometry().right() + 1 + 4, bw, PickerWidth, height);
    m_less->setGeometry(m_time->geometry().right() + 1 + 4, bw, ButtonWidth, height);
    m_more->setGeometry(m_less->geometry().right() + 1, bw, ButtonWidth, height);
}

QString TID3v2FrameDateTime::ShownText() const
{
    // UTC: a wall-clock time is kept as it is, even in a daylight-saving gap.
    return FormatISODateTime(QDateTime(m_date->date(), m_time->time(), Qt::UTC), m_precision);
}

QString TID3v2FrameDateTime::ComparableText(const QString& text) const
{
    const TParsedDate parsed = ParseDateText(text);
    if (parsed.Precision == gnNone)
        return text;
    return FormatISODateTime(QDateTime(parsed.Date, parsed.Time, Qt::UTC),
                             std::min(parsed.Precision, m_maxPrecision));
}

void TID3v2FrameDateTime::LoadDateText(const QString& text)
{
    const TParsedDate parsed = ParseDateText(text);
    {
        const QSignalBlocker blockDate(m_date);
        const QSignalBlocker blockTime(m_time);
        m_date->setDate(parsed.Date);
        m_time->setTime(parsed.Time);
    }
    m_precision = parsed.Precision;
    m_dateDiffers = m_dateTyped = false;
    m_precisionSteps = 0;
    ApplyFormats();
}

void TID3v2FrameDateTime::ApplyFormats()
{
    if (!m_date)
        return;
    m_precision = std::min(m_precision, m_maxPrecision);
    m_dateFormat = GetDateTimePicture(m_precision, 0);
    m_timeFormat = GetDateTimePicture(m_precision, 1);
    const QSignalBlocker blockDate(m_date);
    const QSignalBlocker blockTime(m_time);
    // A picker keeps a format with parts even while it shows nothing: typing
    // then starts in its first part.
    m_date->setDisplayFormat(m_dateFormat == NoPicture ? QStringLiteral("yyyy") : m_dateFormat);
    m_time->setDisplayFormat(m_timeFormat == NoPicture ? QStringLiteral("HH") : m_timeFormat);
    // Without a part to show the time picker's buttons must not step it.
    m_date->setReadOnly(IsReadOnly());
    m_time->setReadOnly(IsReadOnly() || HasNoPart(m_time));
    m_dateField->update();
    m_timeField->update();
}

bool TID3v2FrameDateTime::HasNoPart(const QDateTimeEdit* picker) const
{
    return (picker == m_date ? m_dateFormat : m_timeFormat) == NoPicture;
}

bool TID3v2FrameDateTime::IsShownBlank(const QDateTimeEdit* picker) const
{
    return HasNoPart(picker) || (m_different && !m_focused);
}

void TID3v2FrameDateTime::RefreshColours()
{
    ApplyColours(m_date);
    ApplyColours(m_time);
    m_dateField->update();
    m_timeField->update();
}

void TID3v2FrameDateTime::PaintBlank(QWidget* field)
{
    QPainter painter(field);
    painter.fillRect(field->rect(), field->palette().color(QPalette::Base));
}

bool TID3v2FrameDateTime::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_dateField || watched == m_timeField) {
        // The pickers have no format without parts: an empty picker is
        // painted here.
        auto* field = static_cast<QWidget*>(watched);
        const QDateTimeEdit* picker = watched == m_dateField ? static_cast<QDateTimeEdit*>(m_date) : m_time;
        if (event->type() == QEvent::Paint && IsShownBlank(picker)) {
            PaintBlank(field);
            return true;
        }
        return false;
    }
    if (watched == m_calendarPopup) {
        if (event->type() == QEvent::Hide)
            CalendarClosed();
        return false;
    }
    if (watched == m_date || watched == m_time)
        return PickerEvent(static_cast<QDateTimeEdit*>(watched), event);
    return TID3v2Frame::eventFilter(watched, event);
}

bool TID3v2FrameDateTime::PickerEvent(QDateTimeEdit* picker, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // The calendar taking the keyboard is no change of focus.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
            return false;
        const bool handled = TID3v2Frame::eventFilter(picker, event);
        RefreshColours();
        return handled;
    }
    case QEvent::KeyPress: {
        // A read-only picker moves between its parts and changes nothing.
        if (IsReadOnly())
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (picker == m_date ? DateKey(key) : TimeKey(key))
            return true;
        return RefusedWhileEmpty(picker, key);
    }
    case QEvent::Wheel:
        return HasNoPart(picker);
    default:
        return TID3v2Frame::eventFilter(picker, event);
    }
}

bool TID3v2FrameDateTime::DateKey(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) && m_precision == gnYear) {
        SetDateGenauigkeit(gnNone);
        return true;
    }
    const QChar typed = TypedCharacter(event);
    const QChar separator = FormatSeparator(QLocale().dateFormat(QLocale::ShortFormat), QLatin1Char('.'));
    if (typed.isNull() || !(IsAsciiDigit(typed) || IsSeparator(typed, separator)))
        return false;
    if (m_precision == gnNone) {
        // The first digit starts the year.
        SetDateGenauigkeit(gnYear);
        SelectSection(m_date, 0);
        return !IsAsciiDigit(typed);
    }
    if (IsSeparator(typed, separator) && m_precision < gnDay) {
        // A separator adds the next part, which the date shows first.
        IncPrecision();
        SelectSection(m_date, 0);
        return true;
    }
    return false;
}

bool TID3v2FrameDateTime::TimeKey(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) && m_precision == gnHour) {
        SetDateGenauigkeit(gnDay);
        return true;
    }
    const QChar typed = TypedCharacter(event);
    const QChar separator = FormatSeparator(QLocale().timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
    if (typed.isNull() || !(IsAsciiDigit(typed) || IsSeparator(typed, separator)))
        return false;
    if (m_precision < gnHour) {
        // The first digit starts the hour, where the tag version allows one.
        SetDateGenauigkeit(gnHour);
        if (HasNoPart(m_time))
            return true;
        SelectSection(m_time, 0);
        return !IsAsciiDigit(typed);
    }
    if (IsSeparator(typed, separator) && m_precision < m_maxPrecision) {
        // A separator adds the next part, which the time shows last.
        IncPrecision();
        SelectSection(m_time, m_time->sectionCount() - 1);
        return true;
    }
    return false;
}

bool TID3v2FrameDateTime::RefusedWhileEmpty(const QDateTimeEdit* picker, QKeyEvent* event) const
{
    // Without a part to show, nothing may change the value the picker hides;
    // moving on (Tab, Escape, opening the calendar) still works.
    if (!HasNoPart(picker))
        return false;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return !(event->modifiers() & Qt::AltModifier);
    default:
        return !TypedCharacter(event).isNull() && TypedCharacter(event).isPrint();
    }
}

void TID3v2FrameDateTime::SelectSection(QDateTimeEdit* picker, int index)
{
    if (index >= 0 && index < picker->sectionCount())
        picker->setSelectedSection(picker->sectionAt(index));
}

void TID3v2FrameDateTime::CalendarClosed()
{
    // A date chosen from an empty picker counts to the day.
    if (m_precision == gnNone)
        SetDateGenauigkeit(gnDay);
}

void TID3v2FrameDateTime::PickerEdited()
{
    m_dateTyped = true;
    DataChanged();
    RefreshColours();
}

void TID3v2FrameDateTime::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    LoadDateText(FirstFrameString(frame));
    RefreshColours();
}

void TID3v2FrameDateTime::CompareFrame(const TID3Frame* frame)
{
    if (m_different)
        return;
    // Both sides as the input shows them, so equal values that the tag
    // version cuts short are not a difference.
    if (ComparableText(FirstFrameString(frame)) != ShownText())
        m_different = m_dateDiffers = true;
    RefreshColours();
}

TID3Frame* TID3v2FrameDateTime::GetFrame()
{
    return FrameOf(ShownText());
}

TID3Frame* TID3v2FrameDateTime::GetFrameFor(const TID3Frame* own)
{
    if (!KeepsEachFilesPart())
        return GetFrame();
    const QString text = FirstFrameString(own);
    const TParsedDate parsed = ParseDateText(text);
    // A file without a date, or with one that is no date, keeps it.
    if (parsed.Precision == gnNone)
        return FrameOf(text);
    const int precision = std::clamp(int(parsed.Precision) + m_precisionSteps, int(gnNone), int(m_maxPrecision));
    return FrameOf(FormatISODateTime(QDateTime(parsed.Date, parsed.Time, Qt::UTC), TDateGenauigkeit(precision)));
}

TID3Frame* TID3v2FrameDateTime::FrameOf(const QString& text)
{
    if (text.isEmpty())
        return nullptr;
    TID3Frame* frame = TID3v2Frame::GetFrame();
    SetTextFrame(*frame, QString(), QStringList{text});
    return frame;
}

void TID3v2FrameDateTime::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    if (m_caption)
        m_caption->setText(FrameCaption());
    UpdateMaxPrecision();
}

void TID3v2FrameDateTime::SetUseID3Version(TID3Versions version)
{
    TID3v2Frame::SetUseID3Version(version);
    UpdateMaxPrecision();
}

void TID3v2FrameDateTime::UpdateMaxPrecision()
{
    switch (UseID3Version()) {
    case ivID3v1:
        m_maxPrecision = gnYear;
        break;
    case ivID3v2_3:
        // Version 2.3 keeps the original release as a year only.
        m_maxPrecision = FrameID() == QLatin1String("TDOR") ? gnYear : gnMinute;
        break;
    default:
        m_maxPrecision = gnSecond;
        break;
    }
    ApplyFormats();
}

void TID3v2FrameDateTime::Clear()
{
    TID3v2Frame::Clear();
    if (!m_date)
        return;
    SetFrameID(FrameID());
    LoadDateText(QString());
    RefreshColours();
}

void TID3v2FrameDateTime::SetDateGenauigkeit(TDateGenauigkeit precision)
{
    if (precision == m_precision)
        return;
    m_dateTyped = true;
    m_precision = precision;
    ApplyFormats();
    DataChanged();
    RefreshColours();
}

void TID3v2FrameDateTime::IncPrecision()
{
    if (m_precision < gnSecond)
        StepPrecision(+1);
}

void TID3v2FrameDateTime::DecPrecision()
{
    if (m_precision > gnNone)
        StepPrecision(-1);
}

void TID3v2FrameDateTime::StepPrecision(int step)
{
    const TDateGenauigkeit before = m_precision;
    m_precision = TDateGenauigkeit(m_precision + step);
    ApplyFormats();
    m_precisionSteps += m_precision - before;
    DataChanged();
    RefreshColours();
}

void TID3v2FrameDateTime::SetDateTime(const QDateTime& value)
{
    const QDate date = std::clamp(value.date(), FirstDate, LastDate);
    {
        const QSignalBlocker blockDate(m_date);
        const QSignalBlocker blockTime(m_time);
        m_date->setDate(date);
        m_time->setTime(QTime(value.time().hour(), value.time().minute(), value.time().second()));
    }
    m_precision = m_maxPrecision;
    m_dateTyped = true;
    ApplyFormats();
    DataChanged();
    RefreshColours();
}

QString TID3v2FrameDateTime::DateMoreHint() const
{
    return m_more ? m_more->toolTip() : QString();
}

void TID3v2FrameDateTime::SetDateMoreHint(const QString& hint)
{
    if (m_more)
        m_more->setToolTip(hint);
}

QString TID3v2FrameDateTime::DateLessHint() const
{
    return m_less ? m_less->toolTip() : QString();
}

void TID3v2FrameDateTime::SetDateLessHint(const QString& hint)
{
    if (m_less)
        m_less->setToolTip(hint);
}
