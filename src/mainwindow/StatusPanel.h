#pragma once

#include <QIcon>
#include <QWidget>

// The first panel of the status bar: an image of the status bar's image list
// and a text beside it.
class TStatusPanel : public QWidget {
    Q_OBJECT
public:
    explicit TStatusPanel(QWidget* parent = nullptr);

    void SetStatus(const QIcon& icon, const QString& text);
    const QString& Text() const { return m_text; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_icon;
    QString m_text;
};
