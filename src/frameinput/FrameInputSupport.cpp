#include "frameinput/FrameInputSupport.h"

#include "platform/Prompt.h"
#include "tagengine/FrameCodecs.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
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
