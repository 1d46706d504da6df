#include "frameinput/FrameInputSupport.h"

#include "platform/Prompt.h"
#include "tagengine/FrameCodecs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QContextMenuEvent>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QWidget>

#include <algorithm>

QString FirstFrameString(const TID3Frame* frame)
{
    if (!frame)
        return {};
    QString description;
    QStringList lines;
    GetTextFrame(*frame, description, lines);
    return lines.isEmpty() ? QString() : lines.first();
}

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString TrimInput(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start).unicode() <= ' ')
        ++start;
    while (end > start && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(start, end - start);
}

void InputBeep()
{
    if (TPrompt* prompt = CurrentPrompt())
        prompt->Beep();
    else
        QApplication::beep();
}

void ConnectUserEdits(QWidget* control, QObject* context, const std::function<void()>& edited)
{
    if (auto* picker = qobject_cast<QDateTimeEdit*>(control)) {
        // Typing, pasting and deleting go through the picker's own line
        // edit; steps by keys or wheel change the value; a day clicked in
        // the calendar counts even when it is the day shown.
        QObject::connect(picker->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly), &QLineEdit::textEdited,
                         context, edited);
        QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, context, edited);
        if (picker->calendarPopup()) {
            QObject::connect(picker->calendarWidget(), &QCalendarWidget::clicked, context, edited);
            QObject::connect(picker->calendarWidget(), &QCalendarWidget::activated, context, edited);
        }
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        QObject::connect(line, &QLineEdit::textEdited, context, edited);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        // Any edit replaces text, so the signal comes even when the text
        // ends as it was.
        QObject::connect(plain, &QPlainTextEdit::textChanged, context, edited);
    }
}

void PlaceCaption(QLabel* caption, int borderWidth, int editLeft)
{
    caption->move(borderWidth, borderWidth + 4);
    caption->resize(std::max(0, editLeft - 2), caption->sizeHint().height());
}

void TInnerMenuHook::Attach(QWidget* inner)
{
    inner->installEventFilter(this);
}

bool TInnerMenuHook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu && m_menu) {
        m_menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}
