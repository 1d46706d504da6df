#pragma once

#include "frameinput/FrameInputSupport.h"
#include "frameinput/ID3v2Frame.h"
#include "tagengine/DateTexts.h"

class QDateEdit;
class QDateTimeEdit;
class QKeyEvent;
class QLineEdit;
class QTimeEdit;
class QToolButton;

// Input for the time-stamp frames. A time stamp may be given to any
// precision from the year down to the second; the date and time pickers show
// only the parts the precision includes, two buttons make it less or more
// precise, and the tag version limits it.
class TID3v2FrameDateTime : public TID3v2Frame {
    Q_OBJECT
public:
    explicit TID3v2FrameDateTime(QWidget* parent = nullptr);
    ~TID3v2FrameDateTime() override;

    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    // Making the dates of files that differ more or less precise steps each
    // file's own date, unless the user typed a date.
    bool KeepsEachFilesPart() const override { return m_dateDiffers && !m_dateTyped; }
    TID3Frame* GetFrameFor(const TID3Frame* own) override;
    void SetFrameID(const QString& id) override;
    void SetUseID3Version(TID3Versions version) override;
    QMenu* GetPopUpMenuControls() const override { return m_menuHook->Menu(); }
    void SetPopUpMenuControls(QMenu* menu) override { m_menuHook->SetMenu(menu); }
    void Clear() override;

    TDateGenauigkeit DateGenauigkeit() const { return m_precision; }
    virtual void SetDateGenauigkeit(TDateGenauigkeit precision);
    // The finest precision the tag version can store for this frame.
    TDateGenauigkeit DateGenauigkeitMax() const { return m_maxPrecision; }
    virtual void IncPrecision();
    virtual void DecPrecision();
    // Both pickers take the value at the finest precision allowed.
    void SetDateTime(const QDateTime& value);

    QString DateMoreHint() const;
    void SetDateMoreHint(const QString& hint);
    QString DateLessHint() const;
    void SetDateLessHint(const QString& hint);

    QDateEdit* DatePicker() const { return m_date; }
    QTimeEdit* TimePicker() const { return m_time; }
    QToolButton* MoreButton() const { return m_more; }
    QToolButton* LessButton() const { return m_less; }
    // Whether a picker shows nothing: its part is not in the precision, or
    // the files disagree and the input is not focused.
    bool IsShownBlank(const QDateTimeEdit* picker) const;

    static const QStringList& FrameTable();

protected:
    void CreateControls() override;
    void PlaceControls() override;
    void ApplyReadOnly() override;
    QStringList HandledFrameIDs() const override { return FrameTable(); }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDateEdit* CreateDatePicker();
    QTimeEdit* CreateTimePicker();
    QToolButton* CreateStepButton(Qt::ArrowType arrow, const QString& hint);
    // The text GetFrame writes for the pickers' values.
    QString ShownText() const;
    // A frame's date text as this input would show it again.
    QString ComparableText(const QString& text) const;
    void LoadDateText(const QString& text);
    // The frame of the date text; null for an empty one.
    TID3Frame* FrameOf(const QString& text);
    // A step of the precision by the buttons or commands, counted.
    void StepPrecision(int step);
    void UpdateMaxPrecision();
    void ApplyFormats();
    void RefreshColours();
    bool HasNoPart(const QDateTimeEdit* picker) const;
    bool PickerEvent(QDateTimeEdit* picker, QEvent* event);
    bool DateKey(QKeyEvent* event);
    bool TimeKey(QKeyEvent* event);
    bool RefusedWhileEmpty(const QDateTimeEdit* picker, QKeyEvent* event) const;
    void SelectSection(QDateTimeEdit* picker, int index);
    void PaintBlank(QWidget* field);
    void CalendarClosed();
    void PickerEdited();

    QLabel* m_caption = nullptr;
    QDateEdit* m_date = nullptr;
    QTimeEdit* m_time = nullptr;
    QLineEdit* m_dateField = nullptr;
    QLineEdit* m_timeField = nullptr;
    QWidget* m_calendarPopup = nullptr;
    QToolButton* m_more = nullptr;
    QToolButton* m_less = nullptr;
    TInnerMenuHook* m_menuHook;
    TDateGenauigkeit m_precision = gnNone;
    TDateGenauigkeit m_maxPrecision = gnSecond;
    // Files had other dates than the one shown; the user typed or chose a
    // date; the precision steps taken since loading (more: +1, less: -1).
    bool m_dateDiffers = false;
    bool m_dateTyped = false;
    int m_precisionSteps = 0;
    QString m_dateFormat;
    QString m_timeFormat;
};
