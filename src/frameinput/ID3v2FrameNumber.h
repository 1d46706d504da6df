#pragma once

#include "frameinput/FrameInputSupport.h"
#include "frameinput/ID3v2Frame.h"

class QLineEdit;
class QToolButton;

// Input for the track number and the part of a set ("n" or "n/m"): a number
// edit and a total edit, each with up and down buttons.
class TID3v2FrameNumber : public TID3v2Frame {
    Q_OBJECT
public:
    explicit TID3v2FrameNumber(QWidget* parent = nullptr);

    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    // Setting the total of files whose numbers differ keeps each file's
    // number (and the number, each file's total).
    bool KeepsEachFilesPart() const override;
    TID3Frame* GetFrameFor(const TID3Frame* own) override;
    void SetFrameID(const QString& id) override;
    void SetUseID3Version(TID3Versions version) override;
    QMenu* GetPopUpMenuControls() const override { return m_menuHook->Menu(); }
    void SetPopUpMenuControls(QMenu* menu) override { m_menuHook->SetMenu(menu); }
    void Clear() override;

    // The text between the two numbers ("of").
    QString TextBetween() const;
    void SetTextBetween(const QString& text);
    // The largest number the edits take under the current tag version.
    quint32 Max() const { return m_max; }
    // Steps an edit by +1 or -1 as its arrow keys and buttons do; false (and
    // nothing changed) when the step is refused.
    bool Step(QLineEdit* edit, int step);

    QLineEdit* NumberEdit() const { return m_number; }
    QLineEdit* TotalEdit() const { return m_total; }
    QToolButton* UpButton(QLineEdit* edit) const;
    QToolButton* DownButton(QLineEdit* edit) const;

    static const QStringList& FrameTable();

protected:
    void CreateControls() override;
    void PlaceControls() override;
    void ApplyReadOnly() override;
    QStringList HandledFrameIDs() const override { return FrameTable(); }
    bool eventFilter(QObject* watched, QEvent* event) override;
    QStringList ShownValue() const override;
    bool InnerUndoExhausted() const override;

private:
    // One edit with its pair of step buttons.
    struct TNumberField {
        QLineEdit* Edit = nullptr;
        QWidget* Buttons = nullptr;
        QToolButton* Up = nullptr;
        QToolButton* Down = nullptr;
    };

    void CreateField(TNumberField& field);
    void PlaceField(const TNumberField& field, int left, int top);
    const TNumberField* FieldOf(const QLineEdit* edit) const;
    bool TotalShown() const;
    // The shown number: the trimmed text as a number, 0 when empty or none.
    quint32 ValueOf(const QLineEdit* edit) const;
    void Show(quint32 number, quint32 total);
    // The frame "number" or "number/total"; null when both are 0.
    TID3Frame* FrameOf(quint32 number, quint32 total);
    void ForgetParts();
    // A user's change of an edit: digits only, at most Max(), then marked.
    void EditChanged(QLineEdit* edit);
    bool HandleKey(QLineEdit* edit, QKeyEvent* event);
    void StepOrBeep(QLineEdit* edit, int step);
    void RefreshColours();

    QLabel* m_caption = nullptr;
    QLabel* m_between = nullptr;
    TNumberField m_numberField;
    TNumberField m_totalField;
    QLineEdit* m_number = nullptr;
    QLineEdit* m_total = nullptr;
    TInnerMenuHook* m_menuHook;
    quint32 m_max = 2147483647;
    // The files disagree on the number or the total; the user typed into the
    // number or the total edit since the input was loaded.
    bool m_numberDiffers = false;
    bool m_totalDiffers = false;
    bool m_numberTyped = false;
    bool m_totalTyped = false;
};
