#pragma once

#include "frameinput/FrameInputSupport.h"
#include "frameinput/ID3v2Frame.h"

class QLineEdit;
class QToolButton;

// Shows a frame that no other input edits: its ID or name, a read-only
// preview of the start of its body and a button that deletes its data. The
// frame itself is kept unchanged, so toggling its read-only flag rewrites it
// as it was.
class TID3v2FrameUnKnown : public TID3v2Frame {
    Q_OBJECT
public:
    explicit TID3v2FrameUnKnown(QWidget* parent = nullptr);

    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    void SetFrameID(const QString& id) override;
    QMenu* GetPopUpMenuControls() const override { return m_menuHook->Menu(); }
    void SetPopUpMenuControls(QMenu* menu) override { m_menuHook->SetMenu(menu); }
    void Clear() override;

    // Drops the frame's data; the next commit deletes the frame.
    void KillData();

    QString ButtonHint() const;
    void SetButtonHint(const QString& hint);
    QString UnKnownFrame() const { return m_unknownText; }
    void SetUnKnownFrame(const QString& text);
    QString UnSupportedFrame() const { return m_unsupportedText; }
    void SetUnSupportedFrame(const QString& text);

    QLabel* IDLabel() const { return m_idLabel; }
    QLineEdit* Preview() const { return m_preview; }
    QToolButton* DeleteButton() const { return m_button; }

    // The preview of a body: its first bytes as Windows-1252 characters,
    // control bytes as ".".
    static QString PreviewText(const QByteArray& body);

protected:
    void CreateControls() override;
    void PlaceControls() override;
    void ApplyReadOnly() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateTexts();
    void ShowPreview();

    QLabel* m_caption = nullptr;
    QLabel* m_idLabel = nullptr;
    QLineEdit* m_preview = nullptr;
    QToolButton* m_button = nullptr;
    TInnerMenuHook* m_menuHook;
    QString m_unknownText = QStringLiteral("Unknown Field:");
    QString m_unsupportedText = QStringLiteral("Not Supported:");
};
