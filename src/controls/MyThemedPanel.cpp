#include "controls/MyThemedPanel.h"

#include <QPainter>
#include <QStyle>

TMyThemedPanel::TMyThemedPanel(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
}

void TMyThemedPanel::SetThemePartID(int part)
{
    m_partId = part;
    update();
}

void TMyThemedPanel::SetThemeStateID(int state)
{
    m_stateId = state;
    update();
}

void TMyThemedPanel::SetTheme(TThemeType theme)
{
    m_theme = theme;
    update();
}

void TMyThemedPanel::SetCaption(const QString& caption)
{
    m_caption = caption;
    updateGeometry();
    update();
}

void TMyThemedPanel::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment & Qt::AlignHorizontal_Mask;
    update();
}

void TMyThemedPanel::SetBorderWidth(int width)
{
    m_borderWidth = qMax(0, width);
    update();
}

TThemeHandle TMyThemedPanel::PaintingTheme() const
{
    return m_theme == TThemeType::ttNone ? nullptr : GetThemeHandle(m_theme);
}

QRect TMyThemedPanel::CaptionRect() const
{
    const QRect area = PaintingTheme() ? rect() : contentsRect();
    const QRect inset = area.adjusted(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    return inset.isValid() ? inset : QRect();
}

QSize TMyThemedPanel::sizeHint() const
{
    const QSize base = QFrame::sizeHint();
    const QFontMetrics metrics(font());
    const int frame = 2 * (frameWidth() + m_borderWidth) + 4;
    return base.expandedTo(QSize(metrics.horizontalAdvance(m_caption) + frame, metrics.height() + frame));
}

void TMyThemedPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect captionRect = CaptionRect();
    if (TThemeHandle theme = PaintingTheme()) {
        theme->DrawBackground(painter, this, m_partId, m_stateId, rect());
        if (!m_caption.isEmpty() && !captionRect.isEmpty())
            theme->DrawText(painter, this, m_partId, m_stateId, m_caption, m_alignment, captionRect);
        return;
    }
    painter.end();
    QFrame::paintEvent(event);
    if (m_caption.isEmpty() || captionRect.isEmpty())
        return;
    QPainter text(this);
    style()->drawItemText(&text, captionRect, int(m_alignment) | Qt::AlignVCenter | Qt::TextSingleLine, palette(),
                          isEnabled(), m_caption, QPalette::WindowText);
}
