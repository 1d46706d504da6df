#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QLabel;
class QWidget;
class TID3Frame;

// The first string of a text frame; empty for none.
QString FirstFrameString(const TID3Frame* frame);

bool IsAsciiDigit(QChar c);

// The text without leading and trailing blanks and control characters.
QString TrimInput(const QString& text);

// The system beep of an input that refuses an action: through the installed
// prompt when there is one, else the application's own beep.
void InputBeep();

// Calls edited after every edit the user makes in an inner control, also one
// that leaves its value as it was: the first file's value typed again over
// itself must still count for every file, yet no value-change signal tells of
// it. Values set by code never count: a line edit reports only typing, and
// the inputs block the other controls' signals while they set a value.
// Takes line edits, plain-text edits and date or time pickers.
void ConnectUserEdits(QWidget* control, QObject* context, const std::function<void()>& edited);

// Places an input's caption label at its usual spot left of the input part.
void PlaceCaption(QLabel* caption, int borderWidth, int editLeft);

// Shows an input's own popup menu on a context-menu request that nobody else
// handled. Attach it to an inner control before the owner forwards that
// control's events, so that the owner's forwarding comes first.
class TInnerMenuHook : public QObject {
    Q_OBJECT
public:
    explicit TInnerMenuHook(QObject* parent) : QObject(parent) {}

    void Attach(QWidget* inner);
    QMenu* Menu() const { return m_menu; }
    void SetMenu(QMenu* menu) { m_menu = menu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QMenu> m_menu;
};
