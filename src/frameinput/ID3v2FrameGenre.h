#pragma once

#include "frameinput/FrameInputSupport.h"
#include "frameinput/ID3v2Frame.h"

class TBuglessComboBox;

// Input for the content type (TCON): a combo box of an empty entry and the
// genre names in alphabetical order. Under ID3v1 rules a listed genre must be
// picked; under ID3v2 rules any text may be typed. A genre is always written
// as its name.
class TID3v2FrameGenre : public TID3v2Frame {
    Q_OBJECT
public:
    explicit TID3v2FrameGenre(QWidget* parent = nullptr);
    ~TID3v2FrameGenre() override;

    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    void SetFrameID(const QString& id) override;
    void SetUseID3Version(TID3Versions version) override;
    QMenu* GetPopUpMenuControls() const override { return m_menuHook->Menu(); }
    void SetPopUpMenuControls(QMenu* menu) override { m_menuHook->SetMenu(menu); }
    void Clear() override;

    // Pick-only list (ID3v1) or free text (ID3v2).
    bool IsListStyle() const { return m_listStyle; }
    // The genre the input holds: typed or loaded text (free-text style) and
    // the chosen item.
    QString Text() const { return m_text; }
    int ItemIndex() const { return m_itemIndex; }
    TBuglessComboBox* Combo() const { return m_combo; }

    // What the empty entry shows while the list is open.
    static QString NoneEntry() { return QStringLiteral("[keine]"); }

protected:
    void CreateControls() override;
    void PlaceControls() override;
    void ApplyReadOnly() override;
    QStringList HandledFrameIDs() const override { return {QStringLiteral("TCON")}; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillItems();
    // The first genre item equal to name ignoring case, else 0.
    int FindItem(const QString& name) const;
    void ShowGenre(const QString& text);
    void RefreshColours();
    // Item 0's text; the typed text stays as it is.
    void SetNoneText(const QString& text);
    void ConnectEditor();
    void UserTyped(const QString& text);
    void UserPicked(int index);
    void ListDroppedDown();
    void ListClosedUp();

    QLabel* m_caption = nullptr;
    TBuglessComboBox* m_combo = nullptr;
    TInnerMenuHook* m_menuHook;
    QString m_text;
    // The genre name of the frame loaded (the first file's), as the tag has it.
    QString m_loadedName;
    int m_itemIndex = 0;
    bool m_listStyle = false;
    // Set while the input itself changes the combo box.
    bool m_updating = false;
};
