#include "dialogs/FormUpdate.h"

#include "controls/Guarded.h"
#include "platform/ProgramVersion.h"

#include "controls/IconTheme.h"
#include "dialogs/HtmlNesting.h"
#include "dialogs/HtmlWork.h"
#include "dialogs/PlainToolTips.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "platform/Opener.h"
#include "platform/Prompt.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QStringDecoder>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int MaxNumberDigits = 9;
constexpr int MaxRedirects = 5;
// How much of the page the request buffers before it is read.
constexpr qint64 ReadBufferBytes = 64 * 1024;
// The most a shown page may ask of Qt's rich-text engine; no real version
// page comes near. How deep it may nest its tables.
const THtmlLimits PageLimits;
constexpr int MaxTableNesting = 4;

TUpdateCheckEndpoint& InstalledEndpoint()
{
    static TUpdateCheckEndpoint endpoint{QUrl(QString::fromLatin1(ProgramWebSite))};
    return endpoint;
}

// A page's document that never fetches what the page refers to: style
// sheets and backgrounds come back as empty bytes, not as nothing, since for
// nothing the document would read local files and data addresses itself.
class TInertDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int, const QUrl&) override { return QByteArray(); }
};

// Takes every picture out of the document. Qt lays a picture out by loading
// its name as a file of this machine whenever its resource gives no
// picture, so none may be left when the document is shown.
void RemovePictures(QTextDocument& document)
{
    std::vector<std::pair<int, int>> pictures; // position, length
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat())
                pictures.emplace_back(it.fragment().position(), it.fragment().length());
        }
    }
    QTextCursor cursor(&document);
    for (auto picture = pictures.rbegin(); picture != pictures.rend(); ++picture) {
        cursor.setPosition(picture->first);
        cursor.setPosition(picture->first + picture->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

// Reads a downloaded page into a document that no view has laid out yet and
// that holds nothing the page names: its pictures are taken out. It runs no
// scripts in any case.
std::unique_ptr<QTextDocument> ReadPage(const QString& page)
{
    auto document = std::make_unique<TInertDocument>();
    document->setHtml(page);
    RemovePictures(*document);
    return document;
}

// Shows a page's document in the view, in place of the page shown before.
void ShowPage(QTextBrowser& view, std::unique_ptr<QTextDocument> document)
{
    document->setParent(&view);
    QTextDocument* previous = view.document();
    const bool previousIsOurs = previous->parent() == &view;
    view.setDocument(document.release());
    if (previousIsOurs)
        delete previous;
}

QString DecodePage(const QByteArray& bytes)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Why a page that asks for more than the limits is refused.
QString ExcessReason(THtmlExcess excess)
{
    const auto reason = [](const char* key, qsizetype limit) { return LangFmt(key, {QString::number(limit)}); };
    switch (excess) {
    case THtmlExcess::Nesting:
        return reason("UpdatePageTooDeep", PageLimits.Nesting);
    case THtmlExcess::Elements:
        return reason("UpdatePageTooManyElements", PageLimits.Elements);
    case THtmlExcess::ListItems:
        return reason("UpdatePageTooManyListItems", PageLimits.ListItems);
    case THtmlExcess::TableCells:
        return reason("UpdatePageTooManyTableCells", PageLimits.TableCells);
    case THtmlExcess::StyleCharacters:
        return reason("UpdatePageStyleTooLarge", PageLimits.StyleCharacters);
    case THtmlExcess::StyleWork:
        return reason("UpdatePageTooMuchStyle", PageLimits.StyleWork);
    case THtmlExcess::None:
        break;
    }
    return QString();
}

QString VersionText(int major, int minor)
{
    return QStringLiteral("%1.%2").arg(major).arg(minor, 2, 10, QLatin1Char('0'));
}

// The text about a newest version compared with the program's own.
QString VersionInfo(int major, int minor)
{
    const auto newest = std::make_pair(major, minor);
    const auto own = std::make_pair(ProgramMajorVersion, ProgramMinorVersion);
    if (newest > own)
        return Lang("NewerVersionAvailable");
    if (newest == own)
        return Lang("ThisIsNewestVersion");
    return QString();
}

}

const TUpdateCheckEndpoint& UpdateCheckEndpoint()
{
    return InstalledEndpoint();
}

TUpdateCheckEndpoint SetUpdateCheckEndpoint(TUpdateCheckEndpoint endpoint)
{
    TUpdateCheckEndpoint previous = InstalledEndpoint();
    InstalledEndpoint() = std::move(endpoint);
    return previous;
}

std::optional<int> NumberAfterKey(const QString& text, const QString& key)
{
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return std::nullopt;
    qsizetype end = at + key.size();
    const qsizetype start = end;
    while (end < text.size() && text.at(end) >= QLatin1Char('0') && text.at(end) <= QLatin1Char('9'))
        ++end;
    const qsizetype digits = end - start;
    if (digits == 0 || digits > MaxNumberDigits)
        return std::nullopt;
    return text.mid(start, digits).toInt();
}

TFormUpdate::TFormUpdate(QWidget* parent) : QDialog(parent), m_endpoint(UpdateCheckEndpoint())
{
    setObjectName(QStringLiteral("FormUpdate"));
    setWindowTitle(QStringLiteral("%WindowUpdateTitle"));

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("PanTop"));
    top->setFixedHeight(72);
    auto* grid = new QGridLayout(top);
    grid->addWidget(NewLabel(top, "Label1", QStringLiteral("%ThisProgramVersion")), 0, 0);
    grid->addWidget(NewLabel(top, "Label2", QStringLiteral("%NewestProgramVersion")), 1, 0);
    LVersion1 = NewLabel(top, "LVersion1", QStringLiteral("?"));
    LVersion2 = NewLabel(top, "LVersion2", QStringLiteral("?"));
    LInfo = NewLabel(top, "LInfo", QStringLiteral("%StillNoInfo"));
    QFont bold = LVersion2->font();
    bold.setBold(true);
    LVersion2->setFont(bold);
    LInfo->setFont(bold);
    grid->addWidget(LVersion1, 0, 1);
    grid->addWidget(LVersion2, 1, 1);
    grid->addWidget(LInfo, 2, 0, 1, 2);
    SpeedButton1 = new QToolButton(top);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(
        CommandPicture(QIcon::fromTheme(QStringLiteral("view-refresh"), style()->standardIcon(QStyle::SP_BrowserReload))));
    SpeedButton1->setToolTip(QStringLiteral("%UpdateReload"));
    grid->addWidget(SpeedButton1, 0, 3, 2, 1, Qt::AlignRight | Qt::AlignTop);
    grid->setColumnStretch(2, 1);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { RunGuarded(this, [this] { Reload(); }); });

    WebBrowser1 = new QTextBrowser(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenLinks(false);
    WebBrowser1->setOpenExternalLinks(false);
    ShowToolTipsAsPlainText(*WebBrowser1);
    connect(WebBrowser1, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& link) { RunGuarded(this, [&] { OpenLink(link); }); });

    ButClose = new QPushButton(QStringLiteral("%Close"), this);
    ButClose->setObjectName(QStringLiteral("ButClose"));
    ButClose->setDefault(true);
    connect(ButClose, &QPushButton::clicked, this, &QDialog::accept);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(ButClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top);
    layout->addWidget(WebBrowser1, 1);
    layout->addLayout(bottom);
    resize(568, 425);

    m_network = new QNetworkAccessManager(this);
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] { RunGuarded(this, [this] { RequestTimedOut(); }); });
    QString site = m_endpoint.Site.toString(QUrl::StripTrailingSlash);
    m_pageUrl = QUrl(site + QLatin1String(ProgramVersionPagePath) + QLatin1String(ProgramVersion));

    LVersion1->setText(QString::fromLatin1(ProgramVersion));
    TranslateComponentTree(this);
    // The page loads while the window opens.
    StartRequest();
}

TFormUpdate::~TFormUpdate()
{
    CancelRequest();
}

void TFormUpdate::done(int result)
{
    CancelRequest();
    QDialog::done(result);
}

void TFormUpdate::Reload()
{
    StartRequest();
}

void TFormUpdate::StartRequest()
{
    CancelRequest();
    m_page.clear();
    QNetworkRequest request(m_pageUrl);
    // Redirects only to addresses at least as safe; certificate errors are
    // never ignored.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Quillon/") + QString::fromLatin1(ProgramVersion));
    QNetworkReply* reply = m_network->get(request);
    reply->setReadBufferSize(ReadBufferBytes);
    m_reply = reply;
    connect(reply, &QNetworkReply::readyRead, this, [this] { RunGuarded(this, [this] { ReplyReadyRead(); }); });
    connect(reply, &QNetworkReply::finished, this, [this] { RunGuarded(this, [this] { ReplyFinished(); }); });
    m_timeout.start(m_endpoint.TimeoutMs);
}

void TFormUpdate::CancelRequest()
{
    m_timeout.stop();
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    // No answer of a cancelled request arrives any more.
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void TFormUpdate::ReplyReadyRead()
{
    if (!m_reply)
        return;
    m_page += m_reply->readAll();
    if (m_page.size() > m_endpoint.MaxPageBytes) {
        CancelRequest();
        m_page.clear();
        Refuse(LangFmt("UpdatePageTooLarge", {QString::number(m_endpoint.MaxPageBytes / 1024)}));
    }
}

void TFormUpdate::ReplyFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    m_timeout.stop();
    reply->deleteLater();
    m_page += reply->readAll();
    if (m_page.size() > m_endpoint.MaxPageBytes) {
        m_page.clear();
        Refuse(LangFmt("UpdatePageTooLarge", {QString::number(m_endpoint.MaxPageBytes / 1024)}));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        Refuse(reply->errorString());
        return;
    }
    DocumentComplete(DecodePage(m_page));
}

void TFormUpdate::RequestTimedOut()
{
    CancelRequest();
    Refuse(LangFmt("UpdatePageTimeout", {QString::number((m_endpoint.TimeoutMs + 999) / 1000)}));
}

void TFormUpdate::DocumentComplete(const QString& page)
{
    // A page that would keep Qt busy too long is refused: by what its
    // markup asks for before Qt reads it, by its tables before Qt lays it
    // out. The version is read from the page as it came.
    const THtmlBounded bounded = BoundHtml(page, PageLimits);
    if (bounded.Work.Excess != THtmlExcess::None) {
        Refuse(ExcessReason(bounded.Work.Excess));
        return;
    }
    std::unique_ptr<QTextDocument> document = ReadPage(bounded.Html);
    if (FramesNestDeeperThan(*document, MaxTableNesting)) {
        Refuse(LangFmt("UpdatePageTablesTooDeep", {QString::number(MaxTableNesting)}));
        return;
    }
    ShowPage(*WebBrowser1, std::move(document));
    const QString text = page.toUpper();
    const std::optional<int> major = NumberAfterKey(text, QStringLiteral("PROGVERSION1="));
    const std::optional<int> minor = NumberAfterKey(text, QStringLiteral("PROGVERSION2="));
    if (!major || !minor) {
        Fail(Lang("UpdatePageNoVersion"));
        return;
    }
    LVersion2->setText(VersionText(*major, *minor));
    LInfo->setText(VersionInfo(*major, *minor));
}

void TFormUpdate::Refuse(const QString& reason)
{
    // Nothing of an earlier page stays, as if the refused one had replaced it.
    ShowPage(*WebBrowser1, std::make_unique<TInertDocument>());
    LVersion2->setText(QStringLiteral("?"));
    LInfo->setText(Lang("StillNoInfo"));
    Fail(reason);
}

void TFormUpdate::Fail(const QString& reason)
{
    CurrentPrompt()->Error(this, Lang("ErrorLoadUpdateInfo") + QStringLiteral("\n\n") + reason);
}

bool TFormUpdate::IsOnOwnSite(const QUrl& url) const
{
    const QUrl& site = m_endpoint.Site;
    const QUrl link = url.adjusted(QUrl::NormalizePathSegments);
    if (!link.isValid() || link.scheme().compare(site.scheme(), Qt::CaseInsensitive) != 0
        || link.host().compare(site.host(), Qt::CaseInsensitive) != 0 || !link.userInfo().isEmpty())
        return false;
    const int defaultPort = site.scheme() == QLatin1String("https") ? 443 : 80;
    if (link.port(defaultPort) != site.port(defaultPort))
        return false;
    QString base = site.path();
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    const QString path = link.path();
    return base.isEmpty() || path == base || path.startsWith(base + QLatin1Char('/'));
}

void TFormUpdate::OpenLink(const QUrl& link)
{
    const QUrl target = m_pageUrl.resolved(link);
    if (IsOnOwnSite(target))
        OpenWithDesktop(target);
    else
        CurrentPrompt()->Beep();
}
