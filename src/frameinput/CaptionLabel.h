#pragma once

#include <QLabel>

// The caption left of an input. Its width is fixed; a caption that is wider
// (a long user-defined description, a long frame name in some languages) is
// shown shortened in the middle, so that both ends stay readable
// ("MusicBrainz Album Id" and "MusicBrainz Album Artist Id" keep apart), and
// whole in its tool tip. text() is always the whole caption.
class TCaptionLabel : public QLabel {
    Q_OBJECT
public:
    explicit TCaptionLabel(QWidget* parent);

    // The caption as it is painted at the label's present width.
    QString ShownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
