#pragma once

#include <QDialog>
#include <QPoint>

#include <functional>

class QLabel;

// The about box: a borderless picture with the program's version, a close
// spot, the contact address and the web site. Dragging the picture moves the
// window; Esc, Enter or the close spot close it.
class TFormInfo : public QDialog {
    Q_OBJECT
public:
    explicit TFormInfo(QWidget* parent = nullptr);

    // Shows the version and runs the window modally.
    void Execute();

    QLabel* Image1 = nullptr;
    QLabel* labVersion = nullptr;
    QWidget* PaintBox1 = nullptr; // the close spot
    QWidget* PaintBox2 = nullptr; // the contact address
    QWidget* PaintBox3 = nullptr; // the web site

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* NewClickSpot(const char* name, const QRect& area, std::function<void()> click);

    // Moving by hand, where the window system cannot move the window itself.
    bool m_dragging = false;
    QPoint m_pressPoint;
};
