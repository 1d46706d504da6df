#pragma once

#include "frameinput/FrameInputSupport.h"
#include "frameinput/ID3v2Frame.h"

class QLineEdit;

// An input of one line with a caption and an optional description (the
// user-defined TXXX and WXXX frames carry one; the caption then shows it).
// Descendants say how a frame's value is read and written.
class TID3v2FrameLine : public TID3v2Frame {
    Q_OBJECT
public:
    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    // A new description for files whose values differ keeps each file's
    // value, unless the user typed one.
    bool KeepsEachFilesPart() const override { return m_valueDiffers && !m_valueTyped; }
    TID3Frame* GetFrameFor(const TID3Frame* own) override;
    void SetFrameID(const QString& id) override;
    QMenu* GetPopUpMenuControls() const override { return m_menuHook->Menu(); }
    void SetPopUpMenuControls(QMenu* menu) override { m_menuHook->SetMenu(menu); }
    void Clear() override;

    // The description of a user-defined frame (empty for other frames).
    QString Description() const { return m_description; }
    void SetDescription(const QString& text);
    QLineEdit* Edit() const { return m_edit; }

protected:
    explicit TID3v2FrameLine(QWidget* parent);

    void CreateControls() override;
    void PlaceControls() override;
    void ApplyReadOnly() override;
    QStringList ShownValue() const override;
    bool InnerUndoExhausted() const override;
    // Room kept right of the edit (for a button).
    virtual int TrailingWidth() const { return 0; }
    // The value a frame shows, and its description.
    virtual QString DecodeValue(const TID3Frame& frame, QString& description) const = 0;
    // Writes a non-empty value and the description into the frame's body.
    virtual void EncodeValue(TID3Frame& frame, const QString& description, const QString& value) const = 0;

private:
    // The value shown for a frame (none: empty), cut to the edit's limit.
    QString Shown(const TID3Frame* frame, QString& description) const;
    void UpdateCaption();
    // The frame of the value with the shown description; null for none.
    TID3Frame* FrameOf(const QString& value);

    QLabel* m_caption = nullptr;
    QLineEdit* m_edit = nullptr;
    TInnerMenuHook* m_menuHook;
    QString m_description;
    // Files had other values than the one shown; the user typed a value.
    bool m_valueDiffers = false;
    bool m_valueTyped = false;
};
