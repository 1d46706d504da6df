#include "controls/MySpeedButton.h"

#include <QEvent>
#include <QIcon>
#include <QStyleOptionToolButton>
#include <QStylePainter>

TMySpeedButton::TMySpeedButton(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void TMySpeedButton::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    SplitGlyph();
}

void TMySpeedButton::SetNumGlyphs(int count)
{
    count = qBound(1, count, MaxGlyphs);
    if (count == m_numGlyphs)
        return;
    m_numGlyphs = count;
    SplitGlyph();
}

void TMySpeedButton::SplitGlyph()
{
    m_images.clear();
    if (!m_glyph.isNull()) {
        const int width = m_glyph.width() / m_numGlyphs;
        for (int i = 0; i < m_numGlyphs && width > 0; ++i)
            m_images.push_back(m_glyph.copy(i * width, 0, width, m_glyph.height()));
    }
    if (!m_images.empty())
        setIconSize(m_images.front().size() / m_glyph.devicePixelRatio());
    updateGeometry();
    update();
}

QPixmap TMySpeedButton::GlyphFor(TGlyphState state) const
{
    if (m_images.empty())
        return {};
    const auto index = static_cast<size_t>(state);
    if (index < m_images.size())
        return m_images[index];
    if (state == gsDown && m_images.size() > gsClicked)
        return m_images[gsClicked];
    if (state == gsDisabled) {
        QStyleOption option;
        option.initFrom(this);
        return style()->generatedIconPixmap(QIcon::Disabled, m_images.front(), &option);
    }
    return m_images.front();
}

TMySpeedButton::TGlyphState TMySpeedButton::CurrentState() const
{
    if (!isEnabled())
        return gsDisabled;
    if (isDown())
        return gsClicked;
    if (isChecked())
        return gsDown;
    return gsUp;
}

void TMySpeedButton::paintEvent(QPaintEvent* event)
{
    if (m_images.empty()) {
        QToolButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    // The glyph object chooses the image; the style only draws it.
    const QPixmap image = GlyphFor(CurrentState());
    QIcon icon;
    icon.addPixmap(image, QIcon::Normal);
    icon.addPixmap(image, QIcon::Disabled);
    icon.addPixmap(image, QIcon::Active);
    option.icon = icon;
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}

void TMySpeedButton::changeEvent(QEvent* event)
{
    QToolButton::changeEvent(event);
    if (event->type() == QEvent::StyleChange)
        update();
}
