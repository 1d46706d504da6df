#pragma once

#include "cddb/CDDBReplyLines.h"
#include "platform/UserInputBlocker.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

class QEventLoop;

// An HTTP proxy for the CD database requests. Without a host and a port the
// requests go directly to the server; the system's proxy settings are never
// used.
struct TCDDBProxy {
    QString Host;
    int Port = 0;

    bool IsSet() const { return !Host.isEmpty() && Port > 0; }
};

// Why a request got no usable reply.
enum class TFreedbFailure {
    NoConnection, // no connection to the server or the proxy, or no valid address
    HttpStatus,   // an HTTP status other than success (the error's Detail)
    Timeout,      // no byte within the read time-out, or not done in the whole time
    TooLarge,     // more than MaxReplyBytes received
    Malformed,    // no HTTP reply came: a garbled one, or the server closed without one
    Incomplete,   // the reply broke off before its end
    Cancelled,    // TmyFreedbHttp::Abort
};

// A request that got no usable reply. The text says why, in English.
class TFreedbConnectionError : public std::runtime_error {
public:
    TFreedbConnectionError(TFreedbFailure kind, const std::string& text, QString detail = QString())
        : std::runtime_error(text), m_kind(kind), m_detail(std::move(detail))
    {
    }
    TFreedbFailure Kind() const { return m_kind; }
    // The server's own words: the HTTP status and its reason (HttpStatus).
    const QString& Detail() const { return m_detail; }

private:
    TFreedbFailure m_kind;
    QString m_detail;
};

// A request that the user cancelled (TmyFreedbHttp::Abort).
class TFreedbCancelled : public TFreedbConnectionError {
public:
    TFreedbCancelled() : TFreedbConnectionError(TFreedbFailure::Cancelled, "The request was cancelled.") {}
};

// Sends CDDB commands (protocol level 1) to a freedb server's CGI program as
// HTTP form posts, one command per Request. Lives for one series of
// requests.
class TmyFreedbHttp {
public:
    // The read time-out: the longest a request waits without a byte, and
    // the longest it takes in all.
    static constexpr int DefaultReadTimeoutMs = 20000;
    // A reply of more bytes than this (as they come, whatever the headers
    // announce) is cut off and fails.
    static constexpr qint64 MaxReplyBytes = 1024 * 1024;

    TmyFreedbHttp(const QString& host, int port, const QString& cgiPath, const QString& clientName,
                  const QString& clientVersion, const QString& user);
    ~TmyFreedbHttp();
    TmyFreedbHttp(const TmyFreedbHttp&) = delete;
    TmyFreedbHttp& operator=(const TmyFreedbHttp&) = delete;

    const QString& Host() const { return m_host; }
    int Port() const { return m_port; }
    const QString& CgiPath() const { return m_cgiPath; }
    const QString& User() const { return m_user; }
    const QString& HostName() const { return m_hostName; }
    const QString& ClientName() const { return m_clientName; }
    const QString& ClientVersion() const { return m_clientVersion; }
    // Puts "/" in front unless the path begins with one.
    void SetCgiPath(const QString& path);
    // The words of the greeting: an empty value becomes "[unknown]", blanks
    // and control characters become "_", so that the greeting always has
    // exactly four words.
    void SetUser(const QString& user) { m_user = HelloWord(user); }
    void SetHostName(const QString& name) { m_hostName = HelloWord(name); }
    void SetClientName(const QString& name) { m_clientName = HelloWord(name); }
    void SetClientVersion(const QString& version) { m_clientVersion = HelloWord(version); }

    // Requests go through this proxy when it is set, else directly.
    void SetProxy(const TCDDBProxy& proxy);
    // Longest time without any byte transferred; also the longest time a
    // request takes in all unless SetTotalTimeout chose another.
    void SetTransferTimeout(int ms) { m_transferTimeoutMs = ms; }
    int TransferTimeout() const { return m_transferTimeoutMs; }
    void SetTotalTimeout(int ms) { m_totalTimeoutMs = ms; }
    // The read time-out of the clients created from now on (tests shorten
    // it); returns the one before.
    static int SetDefaultReadTimeout(int ms);
    // The user input that still reaches its receiver while a request waits:
    // the caller's way to cancel. Without one, all user input is dropped.
    void SetInputPass(TInputPass pass) { m_inputPass = std::move(pass); }
    const TInputPass& InputPass() const { return m_inputPass; }

    // Sends the command and waits for the whole reply, letting events other
    // than user input run meanwhile. The reply is read as UTF-8 when it is
    // valid UTF-8, else as Windows-1252 (DecodeReply). Throws
    // TFreedbConnectionError (also for a reply that announces lines and ends
    // before their end mark), or TFreedbCancelled once Abort was called.
    void Request(const QString& command, QString& reply);
    // The same, handing each line of the reply to the reader as it arrives
    // (TReplyLineSplitter), up to the reply's end or until the reader wants
    // no more; what follows is not read.
    void Request(const QString& command, const TReplyLineReader& onLine);
    // Ends the request that waits (called from an event handler while it
    // waits) and refuses every later one.
    void Abort();

    // The form body of a command: "cmd", "hello" and "proto" fields.
    QByteArray FormBody(const QString& command) const;

    static QString HelloWord(const QString& value);
    // Letters A-Z, a-z and digits stay, a blank becomes "+", every other
    // byte "%" and two upper-case hexadecimal digits.
    static QByteArray EncodeFormValue(const QByteArray& value);
    // A reply's text: UTF-8 when the bytes are valid UTF-8, else
    // Windows-1252, the encoding of the databases' older entries (their
    // quotes, dashes and euro signs are no controls).
    static QString DecodeReply(const QByteArray& bytes);

private:
    // Takes the reply's bytes as they arrive; false when no more are wanted.
    using TByteReader = std::function<bool(const QByteArray& bytes)>;
    // The form post of a command, its reply's bytes to onBytes as they
    // arrive; throws as Request does.
    void Transfer(const QString& command, const TByteReader& onBytes);
    // The post to the server's CGI path with its headers and the read
    // time-out; throws when the address is not valid.
    QNetworkRequest PostRequest() const;

    QString m_host;
    int m_port;
    QString m_cgiPath;
    QString m_user;
    QString m_hostName;
    QString m_clientName;
    QString m_clientVersion;
    int m_transferTimeoutMs;
    std::optional<int> m_totalTimeoutMs;
    TInputPass m_inputPass;
    bool m_aborted = false;
    QEventLoop* m_waiting = nullptr; // the wait of the request that runs
    std::unique_ptr<QNetworkAccessManager> m_http;
};
