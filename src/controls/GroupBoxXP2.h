#pragma once

#include <QGroupBox>

// A group box for the options of a dialog, drawn by the desktop's style (a
// themed frame with the caption set into it, or the classic etched frame).
// The caption's accelerator gives the focus to the first control inside.
// Starts at 185 x 105.
class TGroupBoxXP2 : public QGroupBox {
    Q_OBJECT
public:
    explicit TGroupBoxXP2(QWidget* parent = nullptr);
    explicit TGroupBoxXP2(const QString& caption, QWidget* parent = nullptr);

    QSize sizeHint() const override;
};
