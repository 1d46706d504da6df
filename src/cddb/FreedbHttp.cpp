#include "cddb/FreedbHttp.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QSysInfo>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace {

bool StaysInForm(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

QByteArray Field(const char* name, const QString& value)
{
    return QByteArray(name) + '=' + TmyFreedbHttp::EncodeFormValue(value.toUtf8());
}

// Why a request ended without a reply, in the words of the error.
enum class TStop { None, TotalTimeout, TooLarge };

int& DefaultReadTimeout()
{
    static int ms = TmyFreedbHttp::DefaultReadTimeoutMs;
    return ms;
}

std::string FailureText(const QNetworkReply& reply, TStop stop)
{
    switch (stop) {
    case TStop::TotalTimeout:
        return "The server did not answer in time.";
    case TStop::TooLarge:
        return "The server's reply is too large.";
    case TStop::None:
        break;
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && (status.toInt() < 200 || status.toInt() > 299)) {
        return "HTTP " + std::to_string(status.toInt()) + " " +
               reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().toStdString();
    }
    if (reply.error() == QNetworkReply::OperationCanceledError)
        return "The server did not answer in time.";
    if (reply.error() != QNetworkReply::NoError)
        return reply.errorString().toStdString();
    return std::string();
}

}

TmyFreedbHttp::TmyFreedbHttp(const QString& host, int port, const QString& cgiPath, const QString& clientName,
                             const QString& clientVersion, const QString& user)
    : m_host(host), m_port(port), m_transferTimeoutMs(DefaultReadTimeout()),
      m_http(std::make_unique<QNetworkAccessManager>())
{
    m_http->setProxy(QNetworkProxy::NoProxy);
    SetCgiPath(cgiPath);
    SetClientName(clientName);
    SetClientVersion(clientVersion);
    SetUser(user);
    SetHostName(QSysInfo::machineHostName());
}

TmyFreedbHttp::~TmyFreedbHttp() = default;

int TmyFreedbHttp::SetDefaultReadTimeout(int ms)
{
    return std::exchange(DefaultReadTimeout(), ms);
}

void TmyFreedbHttp::SetCgiPath(const QString& path)
{
    m_cgiPath = path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

void TmyFreedbHttp::SetProxy(const TCDDBProxy& proxy)
{
    if (proxy.IsSet())
        m_http->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, proxy.Host, quint16(proxy.Port)));
    else
        m_http->setProxy(QNetworkProxy::NoProxy);
}

QString TmyFreedbHttp::HelloWord(const QString& value)
{
    if (value.isEmpty())
        return QStringLiteral("[unknown]");
    QString word = value;
    for (QChar& c : word)
        if (c == QLatin1Char(' ') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    return word;
}

QByteArray TmyFreedbHttp::EncodeFormValue(const QByteArray& value)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(value.size() * 3);
    for (const char c : value) {
        if (StaysInForm(c)) {
            encoded += c;
        } else if (c == ' ') {
            encoded += '+';
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0x0F];
        }
    }
    return encoded;
}

QByteArray TmyFreedbHttp::FormBody(const QString& command) const
{
    const QString hello = m_user + QLatin1Char(' ') + m_hostName + QLatin1Char(' ') + m_clientName +
                          QLatin1Char(' ') + m_clientVersion;
    return Field("cmd", command) + '&' + Field("hello", hello) + '&' + Field("proto", QStringLiteral("1"));
}

QString TmyFreedbHttp::DecodeReply(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

void TmyFreedbHttp::Abort()
{
    m_aborted = true;
    if (m_waiting)
        m_waiting->abort();
}

void TmyFreedbHttp::Request(const QString& command, QString& reply)
{
    if (m_aborted)
        throw TFreedbCancelled();
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(m_host);
    url.setPort(m_port);
    url.setPath(m_cgiPath);
    if (!url.isValid() || m_host.isEmpty())
        throw TFreedbConnectionError("The server address is not valid.");

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setHeader(QNetworkRequest::UserAgentHeader, m_clientName + QLatin1Char(' ') + m_clientVersion);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(m_transferTimeoutMs);

    const std::unique_ptr<QNetworkReply> answer(m_http->post(request, FormBody(command)));
    TStop stop = TStop::None;
    {
        const TUserInputBlocker blocker(m_inputPass);
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
            stop = TStop::TotalTimeout;
            answer->abort();
        });
        QObject::connect(answer.get(), &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
            if (stop == TStop::None && (received > MaxReplyBytes || total > MaxReplyBytes)) {
                stop = TStop::TooLarge;
                answer->abort();
            }
        });
        QObject::connect(answer.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!answer->isFinished()) {
            m_waiting = answer.get();
            deadline.start(m_totalTimeoutMs.value_or(m_transferTimeoutMs));
            loop.exec();
            m_waiting = nullptr;
        }
    }
    if (m_aborted)
        throw TFreedbCancelled();
    const std::string failure = FailureText(*answer, stop);
    if (!failure.empty())
        throw TFreedbConnectionError(failure);
    reply = DecodeReply(answer->readAll());
}
