#pragma once

#include "frameinput/ID3v2FrameLine.h"

class QToolButton;
class QUrl;

// Input for the URL link frames and the user-defined URL frame (WXXX), with a
// button that opens the address in the web browser.
class TID3v2FrameURL : public TID3v2FrameLine {
    Q_OBJECT
public:
    explicit TID3v2FrameURL(QWidget* parent = nullptr);

    // Opens the shown address in the browser (through the desktop opener);
    // beeps when there is none or it is not a web or mail address.
    void OpenURL();

    QString ButtonHint() const;
    void SetButtonHint(const QString& hint);
    QToolButton* OpenButton() const { return m_button; }

    // The address OpenURL would open for a text, or an invalid one when it
    // would refuse: http, https, ftp and mailto only; no scheme means http.
    static QUrl OpenableUrl(const QString& text);
    static const QStringList& FrameTable();

protected:
    void CreateControls() override;
    void PlaceControls() override;
    int TrailingWidth() const override;
    QStringList HandledFrameIDs() const override { return FrameTable(); }
    QString DecodeValue(const TID3Frame& frame, QString& description) const override;
    void EncodeValue(TID3Frame& frame, const QString& description, const QString& value) const override;

private:
    QToolButton* m_button = nullptr;
};
