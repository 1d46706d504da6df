#include "cddb/FreedbHttp.h"

#include "localisation/Cp1252.h"
#include "tagengine/FrameCodecs.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSysInfo>
#include <QTimer>
#include <QUrl>

#include <optional>
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

// Why the wait for a reply ended before the reply did.
enum class TStop { None, TotalTimeout, TooLarge, BadStatus, Enough };

// The reply is read in pieces of this size; Qt buffers no more than one.
constexpr qint64 ReadPieceBytes = 64 * 1024;

int& DefaultReadTimeout()
{
    static int ms = TmyFreedbHttp::DefaultReadTimeoutMs;
    return ms;
}

const char* const NoAnswerInTime = "The server did not answer in time.";
const char* const NoHttpReply = "The server sent no HTTP reply.";

[[noreturn]] void Fail(TFreedbFailure kind, const std::string& text, const QString& detail = QString())
{
    throw TFreedbConnectionError(kind, text, detail);
}

// A reply that announced lines must come with their end mark.
void RequireWhole(bool whole)
{
    if (!whole)
        Fail(TFreedbFailure::Incomplete, "The server's reply ended before its end mark.");
}

// The HTTP status of a reply whose headers came, when it is no success.
std::optional<QString> RefusedStatus(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || (status.toInt() >= 200 && status.toInt() <= 299))
        return std::nullopt;
    return QString::number(status.toInt()) + QLatin1Char(' ') +
           reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
}

// Throws the failure of a request whose wait ended; returns when the reply
// came (or as much of it as was wanted).
void ThrowFailure(const QNetworkReply& reply, TStop stop, const std::optional<QString>& refused)
{
    switch (stop) {
    case TStop::TotalTimeout:
        Fail(TFreedbFailure::Timeout, NoAnswerInTime);
    case TStop::TooLarge:
        Fail(TFreedbFailure::TooLarge, "The server's reply is too large.");
    case TStop::BadStatus:
    case TStop::None:
        break;
    case TStop::Enough:
        return;
    }
    if (refused)
        Fail(TFreedbFailure::HttpStatus, "HTTP " + refused->toStdString(), *refused);
    switch (reply.error()) {
    case QNetworkReply::NoError:
        return;
    case QNetworkReply::OperationCanceledError: // the read time-out
    case QNetworkReply::TimeoutError:
        Fail(TFreedbFailure::Timeout, NoAnswerInTime);
    case QNetworkReply::RemoteHostClosedError:
        // A status line that is no HTTP looks the same to the client as
        // a server that hangs up without a word.
        if (reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
            Fail(TFreedbFailure::Incomplete, "The server's reply broke off.");
        [[fallthrough]];
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::ProtocolUnknownError:
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::UnknownContentError:
        Fail(TFreedbFailure::Malformed, NoHttpReply);
    default:
        Fail(TFreedbFailure::NoConnection, reply.errorString().toStdString());
    }
}

// Fails a reply that came whole by Qt's reading but not by its framing. Qt
// takes a chunk size that is no size (too large, negative, no hexadecimal
// number) for the last chunk, so a garbled first chunk looks like an empty
// body sent in chunks; a reply in chunks without a byte counts as garbled
// (a CDDB reply has at least its status line).
void RequireFraming(const QNetworkReply& reply, qint64 received)
{
    const bool chunked = reply.rawHeader("Transfer-Encoding").toLower().contains("chunked");
    if (chunked && received == 0)
        Fail(TFreedbFailure::Malformed, NoHttpReply);
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
    return DecodeUtf8OrCp1252(bytes);
}

void TmyFreedbHttp::Abort()
{
    m_aborted = true;
    if (m_waiting)
        m_waiting->quit();
}

void TmyFreedbHttp::Request(const QString& command, QString& reply)
{
    QByteArray body;
    Transfer(command, [&body](const QByteArray& bytes) {
        body += bytes;
        return true;
    });
    reply = DecodeReply(body);
    RequireWhole(IsWholeReply(SplitTextLines(reply)));
}

void TmyFreedbHttp::Request(const QString& command, const TReplyLineReader& onLine)
{
    TReplyLineSplitter lines(onLine);
    Transfer(command, [&lines](const QByteArray& bytes) { return lines.Take(bytes); });
    lines.Finish();
    RequireWhole(lines.LineCount() == 0 || lines.IsWhole() || lines.Stopped());
}

QNetworkRequest TmyFreedbHttp::PostRequest() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(m_host);
    url.setPort(m_port);
    url.setPath(m_cgiPath);
    if (!url.isValid() || m_host.isEmpty() || url.host().isEmpty())
        Fail(TFreedbFailure::NoConnection, "The server address is not valid.");

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setHeader(QNetworkRequest::UserAgentHeader, m_clientName + QLatin1Char(' ') + m_clientVersion);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(m_transferTimeoutMs);
    return request;
}

void TmyFreedbHttp::Transfer(const QString& command, const TByteReader& onBytes)
{
    if (m_aborted)
        throw TFreedbCancelled();
    const QNetworkRequest request = PostRequest();
    const std::unique_ptr<QNetworkReply> answer(m_http->post(request, FormBody(command)));
    answer->setReadBufferSize(ReadPieceBytes);
    QEventLoop loop;
    TStop stop = TStop::None;
    std::optional<QString> refused;
    qint64 received = 0;
    // Only ends the wait: the reply is never aborted, only freed with this
    // function, which ends its transfer. Qt may still be busy with it, even
    // after its signals (a refusal's error set, its end not yet told), and
    // an abort then sets a second error.
    const auto end = [&loop, &stop](TStop why) {
        stop = why;
        loop.quit();
    };
    // The headers: a refusal ends the request before its body.
    const auto headers = [&] {
        if (stop != TStop::None)
            return;
        refused = RefusedStatus(*answer);
        if (refused)
            end(TStop::BadStatus);
    };
    // The body as it arrives, its beginning also when the headers announce
    // more than the cap (a reader may have enough before); the cap counts
    // what really came, whatever the headers announced.
    const auto body = [&] {
        while (stop == TStop::None && answer->bytesAvailable() > 0) {
            const QByteArray piece = answer->read(ReadPieceBytes);
            received += piece.size();
            if (received > MaxReplyBytes)
                end(TStop::TooLarge);
            else if (!onBytes(piece))
                end(TStop::Enough);
        }
    };
    {
        const TUserInputBlocker blocker(m_inputPass);
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { end(TStop::TotalTimeout); });
        QObject::connect(answer.get(), &QNetworkReply::metaDataChanged, &loop, headers);
        QObject::connect(answer.get(), &QNetworkReply::readyRead, &loop, body);
        QObject::connect(answer.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!answer->isFinished()) {
            m_waiting = &loop;
            deadline.start(m_totalTimeoutMs.value_or(m_transferTimeoutMs));
            loop.exec();
            m_waiting = nullptr;
        }
    }
    if (m_aborted)
        throw TFreedbCancelled();
    if (stop == TStop::None) {
        headers();
        if (stop == TStop::None && answer->error() == QNetworkReply::NoError)
            body();
    }
    ThrowFailure(*answer, stop, refused);
    if (stop == TStop::None)
        RequireFraming(*answer, received);
}
