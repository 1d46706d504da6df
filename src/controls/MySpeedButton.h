#pragma once

#include <QPixmap>
#include <QToolButton>

#include <vector>

// A flat button with a glyph: one picture holding up to four images side by
// side, for the states up, disabled, clicked and down (held down). States
// without an image of their own use the up image (the disabled one greyed by
// the style). Drawn by the desktop's style like a tool button.
class TMySpeedButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int MaxGlyphs = 4;

    enum TGlyphState { gsUp = 0, gsDisabled = 1, gsClicked = 2, gsDown = 3 };

    explicit TMySpeedButton(QWidget* parent = nullptr);

    const QPixmap& Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);
    // Number of images in the glyph, kept within 1..4.
    int NumGlyphs() const { return m_numGlyphs; }
    void SetNumGlyphs(int count);

    // The image shown in a state.
    QPixmap GlyphFor(TGlyphState state) const;
    // The state the button is in now.
    TGlyphState CurrentState() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SplitGlyph();

    QPixmap m_glyph;
    int m_numGlyphs = 1;
    std::vector<QPixmap> m_images; // one per image of the glyph
};
