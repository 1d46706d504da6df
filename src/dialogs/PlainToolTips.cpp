#include "dialogs/PlainToolTips.h"

#include <QEvent>
#include <QHelpEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>

namespace {

// A tip is read at a glance; a longer one is cut short (Qt would take
// seconds to lay out a tip of a million characters, at every hover).
constexpr qsizetype MaxToolTipLength = 1000;

// The text a tip shows: Qt takes it as plain text unless it looks like rich
// text, and then it is turned into a paragraph of its characters as they are.
QString PlainToolTip(QString tip)
{
    if (tip.size() > MaxToolTipLength) {
        tip.truncate(MaxToolTipLength);
        tip += QChar(0x2026); // ellipsis
    }
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
            QToolTip::showText(help->globalPos(), PlainToolTip(tip), &m_view);
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
