#include "frameinput/ID3v2FrameNumber.h"

#include "frameinput/FrameInputSupport.h"
#include "tagengine/FrameCodecs.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace {
constexpr quint32 ID3v1Max = 255;
constexpr quint32 ID3v2Max = 2147483647;
constexpr int EditWidth = 60;
constexpr int ButtonsWidth = 16;

struct TNumberPair {
    quint32 Number = 0;
    quint32 Total = 0;
};

qsizetype LeadingDigits(const QString& text)
{
    qsizetype count = 0;
    while (count < text.size() && IsAsciiDigit(text.at(count)))
        ++count;
    return count;
}

// "n" or "n/m": the digits at the start, and those right after a "/" that
// follows them. A number too large for 32 bits counts as none.
TNumberPair DecodeNumberText(const QString& text)
{
    TNumberPair pair;
    const qsizetype digits = LeadingDigits(text);
    pair.Number = ParseLeadingNumber(text).value_or(0);
    if (digits < text.size() && text.at(digits) == QLatin1Char('/'))
        pair.Total = ParseLeadingNumber(text.mid(digits + 1)).value_or(0);
    return pair;
}

TNumberPair DecodeNumberFrame(const TID3Frame* frame)
{
    return DecodeNumberText(FirstFrameString(frame));
}

QString ShownNumber(quint32 value)
{
    return value >= 1 ? QString::number(value) : QString();
}
}

TID3v2FrameNumber::TID3v2FrameNumber(QWidget* parent) : TID3v2Frame(parent), m_menuHook(new TInnerMenuHook(this)) {}

const QStringList& TID3v2FrameNumber::FrameTable()
{
    static const QStringList ids = {QStringLiteral("TRCK"), QStringLiteral("TPOS")};
    return ids;
}

void TID3v2FrameNumber::CreateControls()
{
    m_caption = CreateCaptionLabel();
    m_between = new QLabel(QStringLiteral("of"), this);
    m_between->setTextFormat(Qt::PlainText);
    CreateField(m_numberField);
    CreateField(m_totalField);
    m_number = m_numberField.Edit;
    m_total = m_totalField.Edit;
    Forward(m_caption, true, true);
    Forward(m_between, true, true);
}

void TID3v2FrameNumber::CreateField(TNumberField& field)
{
    field.Edit = new QLineEdit(this);
    field.Buttons = new QWidget(this);
    auto* layout = new QVBoxLayout(field.Buttons);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QLineEdit* edit = field.Edit;
    for (const auto& [button, arrow, step] :
         {std::tuple{&field.Up, Qt::UpArrow, +1}, std::tuple{&field.Down, Qt::DownArrow, -1}}) {
        auto* b = new QToolButton(field.Buttons);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, edit, step = step] { StepOrBeep(edit, step); });
        Forward(b, true, true);
        *button = b;
    }
    ConnectUserEdits(edit, this, [this, edit] { EditChanged(edit); });
    m_menuHook->Attach(edit);
    Forward(edit, true, true);
}

void TID3v2FrameNumber::ApplyReadOnly()
{
    for (const TNumberField* field : {&m_numberField, &m_totalField}) {
        field->Edit->setReadOnly(IsReadOnly());
        field->Buttons->setEnabled(!IsReadOnly());
    }
    RefreshColours();
}

void TID3v2FrameNumber::PlaceControls()
{
    if (!m_number)
        return;
    const int bw = BorderWidth();
    PlaceCaption(m_caption, bw, EditLeft());
    PlaceField(m_numberField, EditLeft() + bw, bw);
    m_between->move(m_numberField.Buttons->geometry().right() + 1 + 4, bw + 4);
    m_between->resize(m_between->sizeHint());
    PlaceField(m_totalField, m_between->geometry().right() + 1 + 4, bw);
}

void TID3v2FrameNumber::PlaceField(const TNumberField& field, int left, int top)
{
    const int height = field.Edit->sizeHint().height();
    field.Edit->setGeometry(left, top, EditWidth, height);
    field.Buttons->setGeometry(left + EditWidth, top, ButtonsWidth, height);
}

const TID3v2FrameNumber::TNumberField* TID3v2FrameNumber::FieldOf(const QLineEdit* edit) const
{
    if (edit == m_numberField.Edit)
        return &m_numberField;
    if (edit == m_totalField.Edit)
        return &m_totalField;
    return nullptr;
}

QToolButton* TID3v2FrameNumber::UpButton(QLineEdit* edit) const
{
    const TNumberField* field = FieldOf(edit);
    return field ? field->Up : nullptr;
}

QToolButton* TID3v2FrameNumber::DownButton(QLineEdit* edit) const
{
    const TNumberField* field = FieldOf(edit);
    return field ? field->Down : nullptr;
}

bool TID3v2FrameNumber::TotalShown() const
{
    return !m_total->isHidden();
}

quint32 TID3v2FrameNumber::ValueOf(const QLineEdit* edit) const
{
    const QString text = TrimInput(edit->text());
    if (text.isEmpty() || LeadingDigits(text) != text.size())
        return 0;
    return ParseLeadingNumber(text).value_or(0);
}

void TID3v2FrameNumber::Show(quint32 number, quint32 total)
{
    const QSignalBlocker blockNumber(m_number);
    const QSignalBlocker blockTotal(m_total);
    m_number->setText(ShownNumber(number));
    m_total->setText(TotalShown() ? ShownNumber(total) : QString());
}

void TID3v2FrameNumber::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    ForgetParts();
    const TNumberPair pair = DecodeNumberFrame(frame);
    Show(pair.Number, pair.Total);
    RefreshColours();
}

void TID3v2FrameNumber::CompareFrame(const TID3Frame* frame)
{
    TNumberPair pair = DecodeNumberFrame(frame);
    // Without the total edit the tag keeps no total: compare what is kept.
    if (!TotalShown())
        pair.Total = 0;
    // Both parts of every file, also once the input is different: a part
    // the files disagree on is kept for each file unless the user types it.
    m_numberDiffers = m_numberDiffers || pair.Number != ValueOf(m_number);
    m_totalDiffers = m_totalDiffers || pair.Total != ValueOf(m_total);
    if (m_numberDiffers || m_totalDiffers)
        m_different = true;
    RefreshColours();
}

TID3Frame* TID3v2FrameNumber::GetFrame()
{
    return FrameOf(ValueOf(m_number), TotalShown() ? ValueOf(m_total) : 0);
}

bool TID3v2FrameNumber::KeepsEachFilesPart() const
{
    return (m_numberDiffers && !m_numberTyped) || (m_totalDiffers && !m_totalTyped);
}

TID3Frame* TID3v2FrameNumber::GetFrameFor(const TID3Frame* own)
{
    if (!KeepsEachFilesPart())
        return GetFrame();
    const TNumberPair mine = DecodeNumberFrame(own);
    const quint32 number = m_numberDiffers && !m_numberTyped ? mine.Number : ValueOf(m_number);
    quint32 total = 0;
    if (TotalShown())
        total = m_totalDiffers && !m_totalTyped ? mine.Total : ValueOf(m_total);
    return FrameOf(number, total);
}

TID3Frame* TID3v2FrameNumber::FrameOf(quint32 number, quint32 total)
{
    if (number == 0 && total == 0)
        return nullptr;
    QString text = QString::number(number);
    if (total != 0)
        text += QLatin1Char('/') + QString::number(total);
    TID3Frame* frame = TID3v2Frame::GetFrame();
    SetTextFrame(*frame, QString(), QStringList{text});
    return frame;
}

void TID3v2FrameNumber::ForgetParts()
{
    m_numberDiffers = m_totalDiffers = m_numberTyped = m_totalTyped = false;
}

void TID3v2FrameNumber::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    if (m_caption)
        m_caption->setText(FrameCaption());
}

void TID3v2FrameNumber::SetUseID3Version(TID3Versions version)
{
    TID3v2Frame::SetUseID3Version(version);
    const bool withTotal = version != ivID3v1;
    m_max = withTotal ? ID3v2Max : ID3v1Max;
    if (!m_total)
        return;
    m_between->setHidden(!withTotal);
    m_total->setHidden(!withTotal);
    m_totalField.Buttons->setHidden(!withTotal);
    if (!withTotal) {
        const QSignalBlocker block(m_total);
        m_total->clear();
    }
}

void TID3v2FrameNumber::Clear()
{
    TID3v2Frame::Clear();
    ForgetParts();
    if (!m_number)
        return;
    SetFrameID(FrameID());
    Show(0, 0);
    RefreshColours();
}

QString TID3v2FrameNumber::TextBetween() const
{
    return m_between ? m_between->text() : QString();
}

void TID3v2FrameNumber::SetTextBetween(const QString& text)
{
    if (!m_between)
        return;
    m_between->setText(text);
    Relayout();
}

void TID3v2FrameNumber::EditChanged(QLineEdit* edit)
{
    (edit == m_number ? m_numberTyped : m_totalTyped) = true;
    const QString text = edit->text();
    QString digits;
    int cursor = edit->cursorPosition();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsAsciiDigit(text.at(i)))
            digits.append(text.at(i));
        else if (i < edit->cursorPosition())
            --cursor;
    }
    if (!digits.isEmpty()) {
        // Anything above the maximum, however long, becomes the maximum.
        const std::optional<quint32> value = ParseLeadingNumber(digits);
        if (!value || *value > m_max) {
            digits = QString::number(m_max);
            cursor = int(digits.size());
        }
    }
    if (digits != text) {
        const QSignalBlocker block(edit);
        edit->setText(digits);
        edit->setCursorPosition(std::clamp(cursor, 0, int(digits.size())));
    }
    InnerControlEdited();
    RefreshColours();
}

QStringList TID3v2FrameNumber::ShownValue() const
{
    return {m_number->text(), m_total->text()};
}

bool TID3v2FrameNumber::InnerUndoExhausted() const
{
    return !m_number->isUndoAvailable() && !m_total->isUndoAvailable();
}

bool TID3v2FrameNumber::Step(QLineEdit* edit, int step)
{
    if (IsReadOnly())
        return false;
    QString text = TrimInput(edit->text());
    if (text.isEmpty())
        text = QStringLiteral("0");
    if (LeadingDigits(text) != text.size())
        return false;
    const std::optional<quint32> value = ParseLeadingNumber(text);
    if (!value)
        return false;
    const qint64 next = qint64(*value) + step;
    if ((step > 0 && next > qint64(m_max)) || next < 0)
        return false;
    {
        const QSignalBlocker block(edit);
        edit->setText(ShownNumber(quint32(next)));
        edit->selectAll();
    }
    EditChanged(edit);
    edit->selectAll();
    return true;
}

void TID3v2FrameNumber::StepOrBeep(QLineEdit* edit, int step)
{
    if (!Step(edit, step))
        InputBeep();
}

bool TID3v2FrameNumber::HandleKey(QLineEdit* edit, QKeyEvent* event)
{
    const bool plain = (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
    if (plain && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        StepOrBeep(edit, event->key() == Qt::Key_Up ? +1 : -1);
        return true;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // Typed characters other than digits are swallowed.
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() && !IsAsciiDigit(text.at(0));
}

bool TID3v2FrameNumber::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && FieldOf(edit)) {
        if (event->type() == QEvent::KeyPress && HandleKey(edit, static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            const bool handled = TID3v2Frame::eventFilter(watched, event);
            RefreshColours();
            return handled;
        }
    }
    return TID3v2Frame::eventFilter(watched, event);
}

void TID3v2FrameNumber::RefreshColours()
{
    ApplyColours(m_number);
    ApplyColours(m_total);
}
