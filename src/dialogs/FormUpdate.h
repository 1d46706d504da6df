#pragma once

#include <QByteArray>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <optional>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QPushButton;
class QTextBrowser;
class QToolButton;

// Where the update check asks and how much it takes: the product's web site
// (the version page lies below it, and only links on it open), the time the
// whole request may take and the largest page read.
struct TUpdateCheckEndpoint {
    QUrl Site;
    int TimeoutMs = 15000;
    qint64 MaxPageBytes = 1024 * 1024;
};

// The program's own endpoint, or the one a test installed.
const TUpdateCheckEndpoint& UpdateCheckEndpoint();
// Installs an endpoint and returns the previous one.
TUpdateCheckEndpoint SetUpdateCheckEndpoint(TUpdateCheckEndpoint endpoint);

// The decimal number that directly follows the first occurrence of key in
// text; nothing when the key is missing, no digit follows or more than nine
// digits do.
std::optional<int> NumberAfterKey(const QString& text, const QString& key);

// The update window: loads the version page of the product's web site while
// it opens, shows the page and tells whether a newer version exists. The page
// loads nothing further and runs nothing, its tool tips are plain text, and a
// page that would keep Qt busy too long (see HtmlWork.h) is refused; closing
// the window or loading again cancels a request still running.
class TFormUpdate : public QDialog {
    Q_OBJECT
public:
    explicit TFormUpdate(QWidget* parent = nullptr);
    ~TFormUpdate() override;

    // Loads the version page again (the reload button).
    void Reload();
    // A request is running.
    bool IsLoading() const { return !m_reply.isNull(); }
    // Opens a link of the shown page with the desktop's program when it lies
    // on the product's web site; beeps for every other link.
    void OpenLink(const QUrl& link);

    QLabel* LVersion1 = nullptr;
    QLabel* LVersion2 = nullptr;
    QLabel* LInfo = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QTextBrowser* WebBrowser1 = nullptr;
    QPushButton* ButClose = nullptr;

public slots:
    void done(int result) override;

private:
    void StartRequest();
    void CancelRequest();
    void ReplyReadyRead();
    void ReplyFinished();
    void RequestTimedOut();
    // Shows the page and reads the newest version from it.
    void DocumentComplete(const QString& page);
    // A page that cannot be shown: the window shows no page and no version.
    void Refuse(const QString& reason);
    void Fail(const QString& reason);
    bool IsOnOwnSite(const QUrl& url) const;

    TUpdateCheckEndpoint m_endpoint;
    QUrl m_pageUrl;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_page;
    QTimer m_timeout;
};
