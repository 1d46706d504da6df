#pragma once

#include "frameinput/FrameInputSupport.h"
#include "frameinput/ID3v2Frame.h"

class QPlainTextEdit;

// Input for comment frames (COMM): a multi-line memo, and below it the
// comment's description and language.
class TID3v2FrameComment : public TID3v2Frame {
    Q_OBJECT
public:
    explicit TID3v2FrameComment(QWidget* parent = nullptr);

    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    // A new description or language for files whose texts differ keeps each
    // file's text, unless the user typed one.
    bool KeepsEachFilesPart() const override { return m_textDiffers && !m_textTyped; }
    TID3Frame* GetFrameFor(const TID3Frame* own) override;
    void SetFrameID(const QString& id) override;
    void SetUseID3Version(TID3Versions version) override;
    QMenu* GetPopUpMenuControls() const override { return m_menuHook->Menu(); }
    void SetPopUpMenuControls(QMenu* menu) override { m_menuHook->SetMenu(menu); }
    void Clear() override;

    QString Description() const { return m_description; }
    void SetDescription(const QString& text);
    // The three-letter ISO 639-2 code of the comment's language.
    QString Language() const { return m_language; }
    void SetLanguage(const QString& code);

    QString DescriptionText() const { return m_descriptionText; }
    void SetDescriptionText(const QString& text);
    QString DescriptionTextNone() const { return m_descriptionTextNone; }
    void SetDescriptionTextNone(const QString& text);
    QString LanguageText() const { return m_languageText; }
    void SetLanguageText(const QString& text);
    QString LanguageTextNone() const { return m_languageTextNone; }
    void SetLanguageTextNone(const QString& text);

    // The height of the whole control while it sizes itself; the memo takes
    // what the labels below it leave.
    int InputHeight() const { return m_inputHeight; }
    void SetInputHeight(int height);

    QPlainTextEdit* Memo() const { return m_memo; }
    // The memo's text, its lines separated by LF.
    QString MemoText() const;
    QLabel* DescriptionLabel() const { return m_descriptionLabel; }
    QLabel* LanguageLabel() const { return m_languageLabel; }

protected:
    void CreateControls() override;
    void PlaceControls() override;
    void ApplyReadOnly() override;
    QStringList HandledFrameIDs() const override { return {QStringLiteral("COMM")}; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    QStringList ShownValue() const override;
    bool InnerUndoExhausted() const override;

private:
    // A text as the memo holds it: lines ending in LF, cut to the limit.
    QString Shown(const QString& text) const;
    // The frame's comment text as the memo would hold it.
    QString DecodeShown(const TID3Frame* frame, QString* language, QString* description) const;
    void Show(const QString& text, const QString& language, const QString& description);
    void ShowLabels();
    // The comment of the text (lines split at LF) with the shown description
    // and language; null for an empty text.
    TID3Frame* FrameOf(const QString& text);
    void MemoEdited();
    bool RedirectFromViewport(QEvent* event);

    QLabel* m_caption = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLabel* m_descriptionLabel = nullptr;
    QLabel* m_languageLabel = nullptr;
    TInnerMenuHook* m_menuHook;
    QString m_description;
    QString m_language;
    // Files had other texts than the one shown; the user typed a text.
    bool m_textDiffers = false;
    bool m_textTyped = false;
    QString m_descriptionText = QStringLiteral("Description:");
    QString m_descriptionTextNone = QStringLiteral("[none]");
    QString m_languageText = QStringLiteral("Language:");
    QString m_languageTextNone = QStringLiteral("[unknown]");
    // The memo's length limit; -1 for none.
    int m_maxLength = -1;
    int m_inputHeight = 115;
};
