#include "mainwindow/StatusPanel.h"

#include <QPainter>

namespace {
constexpr int ImageSide = 16;
}

TStatusPanel::TStatusPanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusPanel0"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TStatusPanel::SetStatus(const QIcon& icon, const QString& text)
{
    m_icon = icon;
    m_text = text;
    update();
}

QSize TStatusPanel::sizeHint() const
{
    return {200, std::max(ImageSide + 2, fontMetrics().height() + 2)};
}

void TStatusPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int imageTop = (height() - ImageSide) / 2;
    if (!m_icon.isNull())
        m_icon.paint(&p, QRect(2, imageTop, ImageSide, ImageSide));
    const QRect textRect(4 + ImageSide, 0, width() - 6 - ImageSide, height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               fontMetrics().elidedText(m_text, Qt::ElideRight, textRect.width()));
}
