#include "frameinput/ID3v2FrameEdit.h"

#include "tagengine/FrameCodecs.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>

namespace {
constexpr int ID3v1TextLength = 30;

QString TrimBlanks(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}
}

TID3v2FrameEdit::TID3v2FrameEdit(QWidget* parent) : TID3v2Frame(parent) {}

const QStringList& TID3v2FrameEdit::FrameTable()
{
    static const QStringList ids = {
        QStringLiteral("TIT1"), QStringLiteral("TIT2"), QStringLiteral("TIT3"), QStringLiteral("TALB"),
        QStringLiteral("TOAL"), QStringLiteral("TSST"), QStringLiteral("TPE1"), QStringLiteral("TPE2"),
        QStringLiteral("TPE3"), QStringLiteral("TPE4"), QStringLiteral("TOPE"), QStringLiteral("TEXT"),
        QStringLiteral("TOLY"), QStringLiteral("TCOM"), QStringLiteral("TENC"), QStringLiteral("TMOO"),
        QStringLiteral("TPUB"), QStringLiteral("TOWN"), QStringLiteral("TRSN"), QStringLiteral("TRSO"),
        QStringLiteral("TOFN"), QStringLiteral("TSOA"), QStringLiteral("TSOP"), QStringLiteral("TSOT"),
        QStringLiteral("TXXX")};
    return ids;
}

void TID3v2FrameEdit::CreateControls()
{
    m_caption = CreateCaptionLabel();
    m_edit = new QLineEdit(this);
    m_edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_edit, &QLineEdit::customContextMenuRequested, this, &TID3v2FrameEdit::ShowContextMenu);
    // textEdited, not textChanged: loading a value must not count as an edit.
    connect(m_edit, &QLineEdit::textEdited, this, [this] {
        DataChanged();
        ApplyColours(m_edit);
    });
    Forward(m_caption, true, true);
    Forward(m_edit, true, false);
}

void TID3v2FrameEdit::ShowContextMenu(const QPoint& pos)
{
    const QPoint global = m_edit->mapToGlobal(pos);
    if (receivers(SIGNAL(innerContextPopup(TID3v2Frame*, QWidget*, QPoint))) > 0)
        emit innerContextPopup(this, m_edit, global);
    else if (m_popup)
        m_popup->popup(global);
    else
        m_edit->createStandardContextMenu()->popup(global);
}

void TID3v2FrameEdit::PlaceControls()
{
    if (!m_edit)
        return;
    const int bw = BorderWidth();
    m_caption->move(bw, bw + 4);
    m_caption->resize(std::max(0, EditLeft() - 2), m_caption->sizeHint().height());
    m_edit->setGeometry(EditLeft() + bw, bw, std::max(0, width() - 2 * bw - EditLeft()), m_edit->sizeHint().height());
}

QString TID3v2FrameEdit::DecodeShown(const TID3Frame* frame, QString* description) const
{
    QString desc;
    QStringList lines;
    if (frame)
        GetTextFrame(*frame, desc, lines);
    if (description)
        *description = desc;
    QString text = lines.isEmpty() ? QString() : lines.first();
    if (m_edit->maxLength() < text.size())
        text.truncate(m_edit->maxLength());
    return text;
}

void TID3v2FrameEdit::LoadFrame(const TID3Frame* frame)
{
    TID3v2Frame::LoadFrame(frame);
    const QString text = DecodeShown(frame, &m_description);
    UpdateCaption();
    {
        const QSignalBlocker block(m_edit);
        m_edit->setText(text);
    }
    ApplyColours(m_edit);
}

void TID3v2FrameEdit::CompareFrame(const TID3Frame* frame)
{
    if (m_different)
        return;
    QString description;
    const QString text = DecodeShown(frame, &description);
    if (frame) {
        m_description = description;
        UpdateCaption();
    }
    // Both sides are compared as the edit can show them, so two equal long
    // titles cut to the ID3v1 length do not count as different.
    if (text != m_edit->text())
        m_different = true;
    ApplyColours(m_edit);
}

TID3Frame* TID3v2FrameEdit::GetFrame()
{
    const QString text = TrimBlanks(m_edit->text());
    if (text.isEmpty())
        return nullptr;
    TID3Frame* frame = TID3v2Frame::GetFrame();
    SetTextFrame(*frame, m_description, QStringList{text});
    return frame;
}

void TID3v2FrameEdit::SetFrameID(const QString& id)
{
    TID3v2Frame::SetFrameID(id);
    UpdateCaption();
}

void TID3v2FrameEdit::SetUseID3Version(TID3Versions version)
{
    TID3v2Frame::SetUseID3Version(version);
    m_edit->setMaxLength(version == ivID3v1 ? ID3v1TextLength : 32767);
}

void TID3v2FrameEdit::Clear()
{
    TID3v2Frame::Clear();
    m_description.clear();
    if (!m_edit)
        return;
    SetFrameID(FrameID());
    {
        const QSignalBlocker block(m_edit);
        m_edit->clear();
    }
    ApplyColours(m_edit);
}

void TID3v2FrameEdit::SetDescription(const QString& text)
{
    m_description = text;
    UpdateCaption();
    DataChanged();
}

void TID3v2FrameEdit::UpdateCaption()
{
    if (!m_caption)
        return;
    m_caption->setText(m_description.isEmpty() ? FrameCaption() : m_description + QLatin1Char(':'));
}
