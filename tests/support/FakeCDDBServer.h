#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A local CD database server (FakeCDDBServer.py, Python's http.server on
// 127.0.0.1 and a free port) for one test, or a plain HTTP proxy in front of
// one. It answers the commands by the rules given here and records every
// request; it stops with this object, or by itself after its lifetime.
class TFakeCDDBServer {
public:
    struct TRule {
        QString Command;                    // regular expression over the whole command
        QString Body;                       // the reply
        QString Encoding = QStringLiteral("utf-8"); // or "latin-1"
        int HttpStatus = 200;
        bool Hang = false;  // never answers
        qint64 Size = 0;    // an endless body of this many bytes
        double Trickle = 0; // seconds between the bytes of the reply
        int Matches = 0;    // the reply: a "211" list of this many matches
        int MatchLength = 0; // each of those lines padded to this many bytes
        QString Length = {}; // the Content-Length sent: "none" for no header, else this
        bool Raw = false;    // the body is the whole answer, status line and headers too
    };

    explicit TFakeCDDBServer(bool proxy = false, int lifetimeSeconds = 60);
    ~TFakeCDDBServer();
    TFakeCDDBServer(const TFakeCDDBServer&) = delete;
    TFakeCDDBServer& operator=(const TFakeCDDBServer&) = delete;

    // Adds a rule; rules take effect at once, also while the server runs.
    void Reply(const QString& command, const QString& body, const QString& encoding = QStringLiteral("utf-8"));
    void Add(const TRule& rule);

    // Starts the server; false (with the reason in Error()) when it did not
    // come up.
    bool Start();
    int Port() const { return m_port; }
    // The server still serves: it was started and its lifetime is not over.
    bool IsRunning() { return m_process.state() == QProcess::Running && !m_process.waitForFinished(0); }
    QString Error() const { return m_error; }

    // Every request so far: method, path, request_line, user_agent,
    // content_type, body.
    QJsonArray Requests() const;
    // The value of a form field in a recorded request body, decoded.
    static QString Field(const QJsonObject& request, const QString& name);

private:
    void WriteRules();

    bool m_proxy;
    int m_lifetime;
    QTemporaryDir m_dir;
    QJsonArray m_rules;
    QProcess m_process;
    int m_port = 0;
    QString m_error;
};
