#pragma once

#include "controls/ThemeHandles.h"

#include <QFrame>

// A panel that takes on the desktop's style: with a theme chosen and its
// handle open it paints the theme's part as background and its caption with
// the theme's text; otherwise it is a plain raised panel with a centred
// caption. Title bars of panes and dialogs are such panels (rebar theme, part
// 6, the rebar's background). It holds child controls like any panel.
class TMyThemedPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TMyThemedPanel(QWidget* parent = nullptr);

    int ThemePartID() const { return m_partId; }
    void SetThemePartID(int part);
    int ThemeStateID() const { return m_stateId; }
    void SetThemeStateID(int state);
    TThemeType Theme() const { return m_theme; }
    void SetTheme(TThemeType theme);

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    // Qt::AlignLeft, AlignRight or AlignHCenter (the default).
    Qt::Alignment Alignment() const { return m_alignment; }
    void SetAlignment(Qt::Alignment alignment);
    // Blank space inside the panel's edge on every side.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);

    // The handle it paints with now; nullptr when it paints as a plain panel.
    TThemeHandle PaintingTheme() const;
    // Where the caption goes: the panel shrunk by the border width (and the
    // frame when plain); empty when nothing is left.
    QRect CaptionRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_partId = 0;
    int m_stateId = 0;
    TThemeType m_theme = TThemeType::ttNone;
    QString m_caption;
    Qt::Alignment m_alignment = Qt::AlignHCenter;
    int m_borderWidth = 0;
};
