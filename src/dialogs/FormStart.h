#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

// The start screen: a borderless picture window above the others, centred on
// the screen, that closes and frees itself 3000 ms after it was shown, or
// earlier when a box or dialog is shown (the prompt closes it, see QtPrompt).
class TFormStart : public QWidget {
    Q_OBJECT
public:
    static constexpr int ShowMs = 3000;

    explicit TFormStart(QWidget* parent = nullptr);

    QTimer Timer1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_image1;
};
