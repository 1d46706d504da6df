#pragma once

#include "frameinput/ID3v2Frame.h"

class QLineEdit;

// Input for single-line text frames and user-defined text frames (TXXX).
class TID3v2FrameEdit : public TID3v2Frame {
    Q_OBJECT
public:
    explicit TID3v2FrameEdit(QWidget* parent = nullptr);

    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    void SetFrameID(const QString& id) override;
    void SetUseID3Version(TID3Versions version) override;
    QMenu* GetPopUpMenuControls() const override { return m_popup; }
    void SetPopUpMenuControls(QMenu* menu) override { m_popup = menu; }
    void Clear() override;

    // The TXXX description (empty for other frames).
    QString Description() const { return m_description; }
    void SetDescription(const QString& text);
    QLineEdit* Edit() const { return m_edit; }

    static const QStringList& FrameTable();

protected:
    void CreateControls() override;
    void PlaceControls() override;
    QStringList HandledFrameIDs() const override { return FrameTable(); }

private:
    // The frame's first string and description, cut to the edit's limit.
    QString DecodeShown(const TID3Frame* frame, QString* description) const;
    void UpdateCaption();
    void ShowContextMenu(const QPoint& pos);

    QLabel* m_caption = nullptr;
    QLineEdit* m_edit = nullptr;
    QMenu* m_popup = nullptr;
    QString m_description;
};
