#include "frameinput/ID3v2FrameUnKnown.h"

#include "frameinput/FrameInputSupport.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {
constexpr qsizetype PreviewLength = 301;

// Windows-1252 characters of the bytes 0x80-0x9F; 0 where the code page has
// none.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}

TID3v2FrameUnKnown::TID3v2FrameUnKnown(QWidget* parent) : TID3v2Frame(parent), m_menuHook(new TInnerMenuHook(this)) {}

QString TID3v2FrameUnKnown::PreviewText(const QByteArray& body)
{
    const qsizetype length = std::min(body.size(), PreviewLength);
    QString text;
    text.reserve(length);
    for (qsizetype i = 0; i < length; ++i) {
        const auto byte = static_cast<uchar>(body.at(i));
        char16_t c = byte;
        if (byte >= 0x80 && byte < 0xA0)
            c = Cp1252High[byte - 0x80];
        text.append(byte < 32 || c == 0 ? QChar(u'.') : QChar(c));
    }
    return text;
}

void TID3v2FrameUnKnown::CreateControls()
{
    m_caption = CreateCaptionLabel();
    m_idLabel = new QLabel(this);
    m_idLabel->setTextFormat(Qt::PlainText);
    m_preview = new QLineEdit(this);
    m_preview->setReadOnly(true);
    m_button = new QToolButton(this);
    m_button->setAutoRaise(true);
    m_button->setIcon(QIcon::fromTheme(QStringLiteral("edit-delete"), style()->standardIcon(QStyle::SP_TrashIcon)));
    m_button->setToolTip(QStringLiteral("Delete Data"));
    m_button->setFocusPolicy(Qt::NoFocus);
    connect(m_button, &QToolButton::clicked, this, &TID3v2FrameUnKnown::KillData);
    m_menuHook->Attach(m_preview);
    Forward(m_caption, true, true);
    Forward(m_preview, true, true);
    Forward(m_button, true, false);
}

void TID3v2FrameUnKnown::ApplyReadOnly()
{
    m_button->setEnabled(!IsReadOnly());
    ApplyColours(m_preview);
}

void TID3v2FrameUnKnown::PlaceControls()
{
    if (!m_preview)
        return;
    const int bw = BorderWidth();
    PlaceCaption(m_caption, bw, EditLeft());
    m_idLabel->move(EditLeft() + bw, bw + 4);
    m_idLabel->resize(116, m_idLabel->sizeHint().height());
    const int left = m_idLabel->x() + 120;
    const int height = m_preview->sizeHint().height();
    m_preview->setGeometry(left, bw, std::max(0, width() - bw - left - height - 4), height);
    m_button->setGeometry(m_preview->geometry().right() + 1 + 4, bw, height, height);
}

bool TID3v2FrameUnKnown::eventFilter(QObject* watched, QEvent* event)
{
    const bool handled = TID3v2Frame::eventFilter(watched, event);
    // The preview is for reading: entering it by Tab selects nothing.
    if (watched == m_preview && event->type() == QEvent::FocusIn)
        QMetaObject::invokeMethod(m_preview, &QLineEdit::deselect, Qt::QueuedConnection);
    return handled;
}

void TID3v2FrameUnKnown::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    if (frame)
        m_frame.AssignFrame(*frame, true);
    ShowPreview();
}

void TID3v2FrameUnKnown::CompareFrame(const TID3Frame* frame)
{
    if (m_different)
        return;
    const bool equal = frame ? frame->BodySize() == m_frame.BodySize() && frame->Body() == m_frame.Body()
                             : m_frame.BodySize() == 0;
    if (!equal)
        m_different = true;
    ApplyColours(m_preview);
}

TID3Frame* TID3v2FrameUnKnown::GetFrame()
{
    // A body that could not be fetched again is still handed on, so that the
    // writer refuses it instead of the frame being deleted.
    if (m_frame.BodySize() == 0 && m_frame.BodyAvailable())
        return nullptr;
    return &m_frame;
}

void TID3v2FrameUnKnown::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    UpdateTexts();
}

void TID3v2FrameUnKnown::UpdateTexts()
{
    if (!m_caption)
        return;
    const QString name = GetFrameName(FrameID());
    if (name.isEmpty()) {
        m_caption->setText(m_unknownText);
        m_idLabel->setText(QStringLiteral("Frame-ID: \"%1\"").arg(FrameID()));
    } else {
        m_caption->setText(m_unsupportedText);
        m_idLabel->setText(name);
    }
}

void TID3v2FrameUnKnown::Clear()
{
    TID3v2Frame::Clear();
    if (!m_preview)
        return;
    UpdateTexts();
    ShowPreview();
}

void TID3v2FrameUnKnown::KillData()
{
    m_frame.SetBody({});
    ShowPreview();
    DataChanged();
    ApplyColours(m_preview);
}

void TID3v2FrameUnKnown::ShowPreview()
{
    m_preview->setText(m_frame.BodySize() == 0 ? QString() : PreviewText(m_frame.Body()));
    m_preview->setCursorPosition(0);
    ApplyColours(m_preview);
}

QString TID3v2FrameUnKnown::ButtonHint() const
{
    return m_button ? m_button->toolTip() : QString();
}

void TID3v2FrameUnKnown::SetButtonHint(const QString& hint)
{
    if (m_button)
        m_button->setToolTip(hint);
}

void TID3v2FrameUnKnown::SetUnKnownFrame(const QString& text)
{
    m_unknownText = text;
    UpdateTexts();
}

void TID3v2FrameUnKnown::SetUnSupportedFrame(const QString& text)
{
    m_unsupportedText = text;
    UpdateTexts();
}
