#pragma once

#include <QString>
#include <Qt>

class QPainter;
class QRect;
class QWidget;

// The desktop styles a themed control can be drawn in.
enum class TThemeType { ttNone, ttRebar, ttExplorerBar };

// One open theme: draws its parts with the application's style. Part and
// state numbers are those of the control that asks (a rebar background is
// part 6); the style decides how each looks.
class TThemeData {
public:
    explicit TThemeData(TThemeType type) : m_type(type) {}

    TThemeType Type() const { return m_type; }
    // The part's background over rect.
    void DrawBackground(QPainter& painter, const QWidget* widget, int partId, int stateId, const QRect& rect) const;
    // One line of text in rect, vertically centred, aligned by horizontal
    // (Qt::AlignLeft, AlignRight or AlignHCenter).
    void DrawText(QPainter& painter, const QWidget* widget, int partId, int stateId, const QString& text,
                  Qt::Alignment horizontal, const QRect& rect) const;

private:
    TThemeType m_type;
};

// A theme handle; nullptr stands for none.
using TThemeHandle = const TThemeData*;

// Whether the desktop draws with visual styles: an application style is set
// and it is not the classic one ("Windows").
bool VisualStylesInUse();

// The process-wide handle table, one slot per theme type (ttNone always
// empty). The main window opens it when it is created and closes it when it
// goes; while it is empty, themed controls paint as plain ones. A second open
// closes the handles first.
void OpenThemeHandles(QWidget* window);
void CloseThemeHandles();
TThemeHandle GetThemeHandle(TThemeType theme);
