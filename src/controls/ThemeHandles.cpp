#include "controls/ThemeHandles.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include <array>

namespace {

const TThemeData RebarTheme(TThemeType::ttRebar);
const TThemeData ExplorerBarTheme(TThemeType::ttExplorerBar);

std::array<TThemeHandle, 3> g_handles = {nullptr, nullptr, nullptr};

size_t Slot(TThemeType theme)
{
    return static_cast<size_t>(theme);
}

QStyle* StyleOf(const QWidget* widget)
{
    return widget ? widget->style() : QApplication::style();
}

}

void TThemeData::DrawBackground(QPainter& painter, const QWidget* widget, int partId, int stateId,
                                const QRect& rect) const
{
    Q_UNUSED(partId);
    QStyle* style = StyleOf(widget);
    if (m_type == TThemeType::ttExplorerBar) {
        // The explorer bar's caption band: a header section.
        QStyleOptionHeader option;
        if (widget)
            option.initFrom(widget);
        option.rect = rect;
        option.state |= QStyle::State_Raised;
        if (stateId > 1)
            option.state |= QStyle::State_MouseOver;
        style->drawControl(QStyle::CE_HeaderSection, &option, &painter, widget);
        return;
    }
    // The rebar's background: a tool-bar area.
    QStyleOptionToolBar option;
    if (widget)
        option.initFrom(widget);
    option.rect = rect;
    option.toolBarArea = Qt::TopToolBarArea;
    option.positionOfLine = QStyleOptionToolBar::OnlyOne;
    option.positionWithinLine = QStyleOptionToolBar::OnlyOne;
    painter.fillRect(rect, option.palette.window());
    style->drawControl(QStyle::CE_ToolBar, &option, &painter, widget);
}

void TThemeData::DrawText(QPainter& painter, const QWidget* widget, int partId, int stateId, const QString& text,
                          Qt::Alignment horizontal, const QRect& rect) const
{
    Q_UNUSED(partId);
    Q_UNUSED(stateId);
    QStyle* style = StyleOf(widget);
    const QPalette palette = widget ? widget->palette() : QApplication::palette();
    const bool enabled = !widget || widget->isEnabled();
    const int flags = int(horizontal & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine;
    style->drawItemText(&painter, rect, flags, palette, enabled, text, QPalette::WindowText);
}

bool VisualStylesInUse()
{
    QStyle* style = QApplication::style();
    return style && style->name().compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0;
}

void OpenThemeHandles(QWidget* window)
{
    Q_UNUSED(window);
    CloseThemeHandles();
    if (!VisualStylesInUse())
        return;
    g_handles[Slot(TThemeType::ttRebar)] = &RebarTheme;
    g_handles[Slot(TThemeType::ttExplorerBar)] = &ExplorerBarTheme;
}

void CloseThemeHandles()
{
    g_handles.fill(nullptr);
}

TThemeHandle GetThemeHandle(TThemeType theme)
{
    return g_handles[Slot(theme)];
}
