#pragma once

#include "tagengine/FrameCatalogue.h"
#include "tagengine/ID3Frame.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QLabel;
class QMenu;

// Base of the input controls of the input panel: one control is bound to one
// frame ID. It is fed the frames of every selected file in turn (the first is
// shown, each further one compared with it), reports when the user changes the
// value and produces the frame to write, or none when the field was emptied.
//
// Construction happens in two steps, because a base constructor cannot reach
// the descendant's virtual operations: create the control, then call Init().
class TID3v2Frame : public QWidget {
    Q_OBJECT
public:
    explicit TID3v2Frame(QWidget* parent = nullptr);
    ~TID3v2Frame() override;

    // Second construction step: builds the inner controls and clears.
    void Init();

    virtual void AddFrame(const TID3Frame* frame);
    virtual void LoadFrame(const TID3Frame* frame);
    virtual void CompareFrame(const TID3Frame* frame);
    // The frame to write (owned by the control; copy it), or null when the
    // value is empty and the file's frame is to be deleted.
    virtual TID3Frame* GetFrame();
    // The input writes each file a frame of its own (GetFrameFor): the files
    // disagreed on a part of the value that the user left alone.
    virtual bool KeepsEachFilesPart() const { return false; }
    // The frame to write into a file whose own frame of this input is own
    // (null: it has none): GetFrame(), with each part the user left alone
    // taken from own when KeepsEachFilesPart(). Owned by the control.
    virtual TID3Frame* GetFrameFor(const TID3Frame* /*own*/) { return GetFrame(); }
    virtual void SetFrameID(const QString& id);
    virtual void SetUseID3Version(TID3Versions version);
    virtual QMenu* GetPopUpMenuControls() const { return nullptr; }
    virtual void SetPopUpMenuControls(QMenu*) {}
    virtual void Clear();
    virtual void DataChanged();

    QString FrameID() const { return m_frameId; }
    TID3Versions UseID3Version() const { return m_useVersion; }
    bool IsDataChanged() const { return m_dataChanged; }
    bool IsDifferent() const { return m_different; }
    bool IsEmpty() const { return m_empty; }
    const TID3Frame& WorkFrame() const { return m_frame; }
    const QStringList& FrameIDs() const { return m_frameIds; }
    // The class edits frames of this ID in some tag version (FrameIDs holds
    // those of the version set).
    bool HandlesFrameID(const QString& id) const { return HandledFrameIDs().contains(id); }
    // Identity of this control, unique for the run and never reused. Frames
    // shown by the control carry it as their unique number.
    quint32 Identity() const { return m_identity; }

    bool GetFrameReadOnly() const { return m_frame.ReadOnly != 0; }
    void SetFrameReadOnly(bool value);

    int EditLeft() const { return m_editLeft; }
    void SetEditLeft(int value);
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int value);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value);
    bool KillOnClear() const { return m_killOnClear; }
    void SetKillOnClear(bool value) { m_killOnClear = value; }
    // The enabled state the owner wishes; an empty control stays disabled.
    void SetWantEnabled(bool value);
    bool WantEnabled() const { return m_wantEnabled; }
    // A read-only input shows its value (which can still be selected and
    // copied) but takes no edit: for files whose tags cannot be changed.
    void SetReadOnly(bool value);
    bool IsReadOnly() const { return m_readOnly; }

signals:
    void dataChangedByUser(TID3v2Frame* sender);
    // Inner controls forward their mouse presses and context-menu requests.
    void innerMouseDown(TID3v2Frame* control, QWidget* inner);
    void innerContextPopup(TID3v2Frame* control, QWidget* inner, const QPoint& globalPos);

protected:
    // An edit the user made in an inner control. When it is the control's
    // own undo (Ctrl+Z) and that took the value all the way back to what
    // loading showed, the input is unmodified again and shows the files'
    // difference as before; any other edit is a change (DataChanged).
    // Either way dataChangedByUser tells the owner.
    void InnerControlEdited();
    // The value the inner controls show, compared with the loaded one.
    virtual QStringList ShownValue() const { return {}; }
    // The inner controls' own undo has nothing left to undo. Inputs whose
    // controls keep no undo history answer false and are never taken back.
    virtual bool InnerUndoExhausted() const { return false; }

    // Builds the inner controls (called once by Init()).
    virtual void CreateControls() {}
    // Places the inner controls; the base then sizes the control's height.
    virtual void PlaceControls() {}
    // The frame IDs of the class's table, before filtering by version.
    virtual QStringList HandledFrameIDs() const { return {}; }
    // Makes the inner controls take edits or not, as IsReadOnly() says.
    virtual void ApplyReadOnly() {}

    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Re-places the inner controls and, with AutoSize, sets the height.
    void Relayout();
    // Builds FrameIDs from HandledFrameIDs() for the tag version.
    void RebuildFrameIDs();
    void ApplyEnabled();
    // Forwards an inner control's mouse presses and/or context menus.
    void Forward(QWidget* inner, bool mouseDown, bool contextPopup);
    // The "different" look: value hidden in button colours unless focused.
    void ApplyColours(QWidget* input) const;
    // "Name:" of the frame ID in the current language.
    QString FrameCaption() const;
    QLabel* CreateCaptionLabel();

    TID3Frame m_frame;
    bool m_dataChanged = false;
    bool m_different = false;
    bool m_empty = true;
    bool m_focused = false;

private:
    QString m_frameId;
    QStringList m_frameIds;
    TID3Versions m_useVersion = ivID3v2_4;
    int m_editLeft = 60;
    int m_borderWidth = 0;
    bool m_autoSize = true;
    bool m_killOnClear = false;
    bool m_wantEnabled = true;
    bool m_readOnly = false;
    bool m_inResize = false;
    quint32 m_identity;
    // What loading showed, for an edit the user's own undo takes back.
    std::optional<QStringList> m_loadedValue;
    bool m_loadedReadOnly = false;
    bool m_loadedDifferent = false;
    bool m_inOwnUndo = false;
    QList<QWidget*> m_mouseForwarded;
    QList<QWidget*> m_contextForwarded;
};
