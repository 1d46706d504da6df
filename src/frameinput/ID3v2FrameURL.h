#pragma once

#include "frameinput/FrameInputSupport.h"
#include "frameinput/ID3v2Frame.h"

#include <functional>

class QLineEdit;
class QToolButton;
class QUrl;

// Input for the URL link frames and the user-defined URL frame (WXXX), with a
// button that opens the address in the web browser.
class TID3v2FrameURL : public TID3v2Frame {
    Q_OBJECT
public:
    // Opens an address; true when it could be handed on.
    using TUrlOpener = std::function<bool(const QUrl&)>;

    explicit TID3v2FrameURL(QWidget* parent = nullptr);

    void LoadFrame(const TID3Frame* frame) override;
    void CompareFrame(const TID3Frame* frame) override;
    TID3Frame* GetFrame() override;
    void SetFrameID(const QString& id) override;
    QMenu* GetPopUpMenuControls() const override { return m_menuHook->Menu(); }
    void SetPopUpMenuControls(QMenu* menu) override { m_menuHook->SetMenu(menu); }
    void Clear() override;

    // The WXXX description (empty for other frames).
    QString Description() const { return m_description; }
    void SetDescription(const QString& text);
    // Opens the shown address in the browser; beeps when there is none or
    // it is not a web or mail address.
    void OpenURL();

    QString ButtonHint() const;
    void SetButtonHint(const QString& hint);
    QLineEdit* Edit() const { return m_edit; }
    QToolButton* OpenButton() const { return m_button; }

    // How addresses are opened (the desktop's browser unless replaced);
    // returns the previous opener.
    static TUrlOpener SetUrlOpener(TUrlOpener opener);
    // The address OpenURL would open for a text, or an invalid one when it
    // would refuse: http, https, ftp and mailto only; no scheme means http.
    static QUrl OpenableUrl(const QString& text);
    static const QStringList& FrameTable();

protected:
    void CreateControls() override;
    void PlaceControls() override;
    QStringList HandledFrameIDs() const override { return FrameTable(); }

private:
    void UpdateCaption();
    static TUrlOpener& Opener();

    QLabel* m_caption = nullptr;
    QLineEdit* m_edit = nullptr;
    QToolButton* m_button = nullptr;
    TInnerMenuHook* m_menuHook;
    QString m_description;
};
