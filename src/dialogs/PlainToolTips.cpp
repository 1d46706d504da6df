#include "dialogs/PlainToolTips.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QTextLayout>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>

#include <algorithm>

namespace {

// A tip is read at a glance; a longer one is cut short (Qt would take
// seconds to lay out a tip of a million characters, at every hover).
constexpr qsizetype MaxToolTipLength = 1000;
// A line of a tip holds about this many characters, and never more than
// half the screen is wide.
constexpr int ToolTipLineCharacters = 80;

// The lines of a paragraph of a tip at most width wide: broken between words
// where it can be, else between characters. Qt breaks a tip only between
// words, so one long word is shown as one line, wider than the screen.
QStringList WrappedLines(const QString& paragraph, const QFont& font, int width)
{
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << paragraph.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines.isEmpty() ? QStringList(paragraph) : lines;
}

// A tip broken into lines that fit the screen at point.
QString WrappedToolTip(const QString& tip, const QPoint& point)
{
    const QFont font = QToolTip::font();
    int width = QFontMetrics(font).averageCharWidth() * ToolTipLineCharacters;
    if (const QScreen* screen = QGuiApplication::screenAt(point))
        width = std::min(width, screen->availableGeometry().width() / 2);
    QStringList lines;
    for (const QString& paragraph : tip.split(QLatin1Char('\n')))
        lines << WrappedLines(paragraph, font, width);
    return lines.join(QLatin1Char('\n'));
}

// The text a tip shows: Qt takes it as plain text unless it looks like rich
// text, and then it is turned into a paragraph of its characters as they are.
QString PlainToolTip(QString tip, const QPoint& point)
{
    if (tip.size() > MaxToolTipLength) {
        tip.truncate(MaxToolTipLength);
        tip += QChar(0x2026); // ellipsis
    }
    tip = WrappedToolTip(tip, point);
    return Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal) : tip;
}

// Answers the view's tool-tip requests in its place. They reach the view from
// its viewport too, as Qt hands help events on to the parent.
class TPlainToolTips : public QObject {
public:
    explicit TPlainToolTips(QTextEdit& view) : QObject(&view), m_view(view) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &m_view || event->type() != QEvent::ToolTip)
            return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = TipAt(m_view.viewport()->mapFrom(&m_view, help->pos()));
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), PlainToolTip(tip, help->globalPos()), &m_view);
        }
        return true;
    }

private:
    QString TipAt(const QPoint& point) const
    {
        if (!m_view.viewport()->rect().contains(point))
            return QString();
        return m_view.cursorForPosition(point).charFormat().toolTip();
    }

    QTextEdit& m_view;
};

}

void ShowToolTipsAsPlainText(QTextEdit& view)
{
    view.installEventFilter(new TPlainToolTips(view));
}
