#pragma once

#include <QLineEdit>
#include <QWidget>

class QToolButton;
class QWheelEvent;

// The edit inside TUpDownEdit: a line edit that reports wheel turns to its
// owner instead of scrolling.
class TWheelEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TWheelEdit(QWidget* parent = nullptr);

signals:
    // The owner handles the wheel; the event is accepted unless it ignores it.
    void MouseWheel(QWheelEvent* event);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

// A number field: an edit and a pair of up and down buttons side by side. The
// value (Position) stays within Min and Max, is shown with Digits decimals in
// the locale's notation, and steps by Increment with the buttons, the arrow
// keys and the mouse wheel (one step per whole notch).
//
// A typed value is taken at once, clamped into range, while the text stays as
// typed until the edit loses the focus; then it is shown formatted. Text that
// is no finite number keeps the old value. Only digits, the decimal separator
// (with decimals) and "-" (when Min is below 0) can be typed; other
// characters are refused with a beep.
class TUpDownEdit : public QWidget {
    Q_OBJECT
public:
    static constexpr int ButtonWidth = 16;
    static constexpr int MaxTextLength = 16;

    explicit TUpDownEdit(QWidget* parent = nullptr);

    double Position() const { return m_position; }
    // Stores the value clamped into range, shows it and reports a change,
    // even when the value stays the same.
    void SetPosition(double value);
    // Position rounded to the nearest integer, halves to the even one.
    int PositionInt() const;
    void SetPositionInt(int value) { SetPosition(value); }
    int Digits() const { return m_digits; }
    void SetDigits(int digits);
    double Increment() const { return m_increment; }
    void SetIncrement(double increment) { m_increment = increment; }
    double Min() const { return m_min; }
    void SetMin(double min) { m_min = min; }
    double Max() const { return m_max; }
    void SetMax(double max) { m_max = max; }
    // Sets both bounds, then the value clamped into them.
    void SetRange(double min, double max);

    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }
    // Whether the edit takes the focus with Tab.
    bool TabStop() const;
    void SetTabStop(bool tabStop);

    // One step up or down, as a button, an arrow key or the wheel does.
    void StepUp() { SetPosition(m_position + m_increment); }
    void StepDown() { SetPosition(m_position - m_increment); }

    TWheelEdit* Edit() const { return m_edit; }
    QToolButton* UpButton() const { return m_up; }
    QToolButton* DownButton() const { return m_down; }

    QSize sizeHint() const override;

signals:
    void Changed();
    // A click into the edit, or a button stepped (the edit has the focus
    // then).
    void Clicked();

protected:
    // Reports a change; runs after every change of Position.
    virtual void Change();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Clamps Position into range and shows it formatted.
    void UpdateText();
    void TextEdited(const QString& text);
    void ButtonStep(bool up);
    void Wheel(QWheelEvent* event);
    // Whether a typed character may go into the edit.
    bool AcceptsCharacter(QChar c) const;
    void LayoutParts();

    TWheelEdit* m_edit;
    QToolButton* m_up;
    QToolButton* m_down;
    double m_position = 0;
    int m_digits = 2;
    double m_increment = 1;
    double m_min = 0;
    double m_max = 100;
    bool m_autoSelect = true;
    int m_wheelRest = 0; // eighths of a degree not yet stepped
};
