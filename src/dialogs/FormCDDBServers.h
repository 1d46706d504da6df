#pragma once

#include "cddb/FreedbHttp.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTimer;

// A small window that fetches the list of public freedb servers ("sites")
// from the public server, a second after it is shown. The settings dialog
// opens it to refresh its server list; the list itself is kept with
// LoadCDDBServerList and SaveCDDBServerList (cddb/CDDBServerList.h).
class TFormCDDBServers : public QDialog {
    Q_OBJECT
public:
    explicit TFormCDDBServers(QWidget* parent = nullptr);

    // Shows the window modally and fetches the list, through the proxy when
    // one is set. On success the fetched entries (host, a blank,
    // description; at most MaxCDDBServers, and the window then says in its
    // status line that the list was cut and waits for OK) replace list's
    // contents and the result is true; otherwise list stays as it was.
    bool Execute(QStringList& list, const TCDDBProxy& proxy = {});

    // The fetch: runs once, from Timer1.
    void Timer1Timer();
    // Cancel (also Esc and closing the window): only asks the fetch not to
    // start; a running request cannot be cancelled. Once a cut list is
    // shown, the button reads OK and closes the window with it.
    void Button1Click();
    bool CancelRequested() const { return m_cancel; }
    const QStringList& Result() const { return m_result; }

    QLabel* LblInfo = nullptr; // what the window does: loading, then loaded
    QLabel* lblNetStatus = nullptr;
    QPushButton* Button1 = nullptr;
    QTimer* Timer1 = nullptr; // one second after the window is shown

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Fetch();
    void ShowStatus(const QString& key);
    void ShowCut();

    QStringList m_result;
    bool m_cancel = false;
    bool m_finished = false; // the list is fetched; the window waits for OK
    TCDDBProxy m_proxy;
};
