#include "support/FakeCDDBServer.h"

#include <QFile>
#include <QJsonDocument>
#include <QUrlQuery>

TFakeCDDBServer::TFakeCDDBServer(bool proxy, int lifetimeSeconds) : m_proxy(proxy), m_lifetime(lifetimeSeconds)
{
    WriteRules();
}

TFakeCDDBServer::~TFakeCDDBServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void TFakeCDDBServer::Reply(const QString& command, const QString& body, const QString& encoding)
{
    Add({.Command = command, .Body = body, .Encoding = encoding});
}

void TFakeCDDBServer::Add(const TRule& rule)
{
    // The server takes a zero, false or empty field as absent.
    m_rules.append(QJsonObject{{"cmd", rule.Command}, {"body", rule.Body}, {"encoding", rule.Encoding},
                               {"status", rule.HttpStatus}, {"hang", rule.Hang}, {"size", rule.Size},
                               {"trickle", rule.Trickle}, {"matches", rule.Matches},
                               {"match_length", rule.MatchLength}, {"length", rule.Length}, {"raw", rule.Raw}});
    WriteRules();
}

void TFakeCDDBServer::WriteRules()
{
    QFile file(m_dir.filePath(QStringLiteral("rules.json")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QJsonDocument(m_rules).toJson());
}

bool TFakeCDDBServer::Start()
{
    QStringList arguments{QStringLiteral(QUILLON_TEST_SUPPORT_DIR "/FakeCDDBServer.py"),
                          QStringLiteral("--rules"),
                          m_dir.filePath(QStringLiteral("rules.json")),
                          QStringLiteral("--log"),
                          m_dir.filePath(QStringLiteral("log.jsonl")),
                          QStringLiteral("--lifetime"),
                          QString::number(m_lifetime)};
    if (m_proxy)
        arguments << QStringLiteral("--proxy");
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("python3 could not be started: ") + m_process.errorString();
        return false;
    }
    while (m_process.waitForReadyRead(10000) || m_process.canReadLine()) {
        if (!m_process.canReadLine())
            continue;
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("PORT ")) {
            m_port = line.mid(5).toInt();
            return m_port > 0;
        }
    }
    m_error = QStringLiteral("the server did not report its port");
    return false;
}

QJsonArray TFakeCDDBServer::Requests() const
{
    QJsonArray requests;
    QFile file(m_dir.filePath(QStringLiteral("log.jsonl")));
    if (!file.open(QIODevice::ReadOnly))
        return requests;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!line.isEmpty())
            requests.append(QJsonDocument::fromJson(line).object());
    }
    return requests;
}

QString TFakeCDDBServer::Field(const QJsonObject& request, const QString& name)
{
    QString body = request.value(QStringLiteral("body")).toString();
    body.replace(QLatin1Char('+'), QLatin1Char(' '));
    const QUrlQuery query(body);
    return query.queryItemValue(name, QUrl::FullyDecoded);
}
