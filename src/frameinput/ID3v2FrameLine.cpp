#include "frameinput/ID3v2FrameLine.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

TID3v2FrameLine::TID3v2FrameLine(QWidget* parent) : TID3v2Frame(parent), m_menuHook(new TInnerMenuHook(this)) {}

void TID3v2FrameLine::CreateControls()
{
    m_caption = CreateCaptionLabel();
    m_edit = new QLineEdit(this);
    ConnectUserEdits(m_edit, this, [this] {
        m_valueTyped = true;
        InnerControlEdited();
        ApplyColours(m_edit);
    });
    m_menuHook->Attach(m_edit);
    Forward(m_caption, true, true);
    Forward(m_edit, true, true);
}

void TID3v2FrameLine::ApplyReadOnly()
{
    m_edit->setReadOnly(IsReadOnly());
    ApplyColours(m_edit);
}

void TID3v2FrameLine::PlaceControls()
{
    if (!m_edit)
        return;
    const int bw = BorderWidth();
    PlaceCaption(m_caption, bw, EditLeft());
    const int width = std::max(0, this->width() - 2 * bw - EditLeft() - TrailingWidth());
    m_edit->setGeometry(EditLeft() + bw, bw, width, m_edit->sizeHint().height());
}

QStringList TID3v2FrameLine::ShownValue() const
{
    return {m_edit->text(), m_description};
}

bool TID3v2FrameLine::InnerUndoExhausted() const
{
    return !m_edit->isUndoAvailable();
}

QString TID3v2FrameLine::Shown(const TID3Frame* frame, QString& description) const
{
    description.clear();
    QString value = frame ? DecodeValue(*frame, description) : QString();
    if (m_edit->maxLength() < value.size())
        value.truncate(m_edit->maxLength());
    return value;
}

void TID3v2FrameLine::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    m_valueDiffers = m_valueTyped = false;
    const QString value = Shown(frame, m_description);
    UpdateCaption();
    {
        const QSignalBlocker block(m_edit);
        m_edit->setText(value);
    }
    ApplyColours(m_edit);
}

void TID3v2FrameLine::CompareFrame(const TID3Frame* frame)
{
    if (m_different)
        return;
    QString description;
    const QString value = Shown(frame, description);
    if (frame) {
        m_description = description;
        UpdateCaption();
    }
    // Both sides are compared as the edit can show them, so two equal long
    // values cut to the ID3v1 length do not count as different.
    if (value != m_edit->text())
        m_different = m_valueDiffers = true;
    ApplyColours(m_edit);
}

TID3Frame* TID3v2FrameLine::GetFrame()
{
    return FrameOf(m_edit->text());
}

TID3Frame* TID3v2FrameLine::GetFrameFor(const TID3Frame* own)
{
    if (!KeepsEachFilesPart())
        return GetFrame();
    QString description;
    return FrameOf(own ? DecodeValue(*own, description) : QString());
}

TID3Frame* TID3v2FrameLine::FrameOf(const QString& text)
{
    const QString value = TrimInput(text);
    if (value.isEmpty())
        return nullptr;
    TID3Frame* frame = TID3v2Frame::GetFrame();
    EncodeValue(*frame, m_description, value);
    return frame;
}

void TID3v2FrameLine::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    UpdateCaption();
}

void TID3v2FrameLine::Clear()
{
    TID3v2Frame::Clear();
    m_description.clear();
    m_valueDiffers = m_valueTyped = false;
    if (!m_edit)
        return;
    SetFrameID(FrameID());
    {
        const QSignalBlocker block(m_edit);
        m_edit->clear();
    }
    ApplyColours(m_edit);
}

void TID3v2FrameLine::SetDescription(const QString& text)
{
    m_description = text;
    UpdateCaption();
    DataChanged();
}

void TID3v2FrameLine::UpdateCaption()
{
    if (!m_caption)
        return;
    m_caption->setText(m_description.isEmpty() ? FrameCaption() : m_description + QLatin1Char(':'));
}
