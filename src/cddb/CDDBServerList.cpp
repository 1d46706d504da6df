#include "cddb/CDDBServerList.h"

#include "cddb/ServerText.h"
#include "common/SettingsKey.h"
#include "platform/Registry.h"

#include <QHostAddress>
#include <QUrl>

#include <algorithm>

namespace {

QString ListKey()
{
    return ProgramSettingsSubkey(QStringLiteral("CDDBServer2"));
}

// Splits text at its first blank into a trimmed head and rest; false without
// a blank.
bool SplitFirstBlank(const QString& text, QString& head, QString& rest)
{
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return false;
    head = text.left(blank).trimmed();
    rest = text.mid(blank + 1).trimmed();
    return true;
}

bool IsHostLabel(const QString& label)
{
    if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) ||
        label.endsWith(QLatin1Char('-')))
        return false;
    return std::all_of(label.begin(), label.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('-');
    });
}

bool IsNumber(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}

// The host as requests name it: a host name in its ASCII form (an
// internationalised one as IDNA gives it; a trailing dot for the root
// allowed), an IPv4 address in its four decimal numbers or an IPv6 address;
// nothing for other hosts. An IPv4 address written otherwise ("0x7f.0.0.1",
// "010.0.0.1", "127.1") would reach another address than it seems to name,
// an IPv6 zone ("fe80::1%eth0") names a network of this computer only, and
// a bare number (a port that took the place of a missing site, say) is no
// host.
std::optional<QString> ServerHost(const QString& host)
{
    if (host.contains(QLatin1Char(':'))) {
        const QHostAddress address(host);
        if (address.protocol() != QAbstractSocket::IPv6Protocol || !address.scopeId().isEmpty())
            return std::nullopt;
        return host;
    }
    const QString ascii = QString::fromLatin1(QUrl::toAce(host));
    const QHostAddress address(ascii);
    if (address.protocol() == QAbstractSocket::IPv4Protocol) {
        if (address.toString() != ascii)
            return std::nullopt;
        return ascii;
    }
    const QString name = ascii.endsWith(QLatin1Char('.')) ? ascii.chopped(1) : ascii;
    if (name.isEmpty() || name.size() > 253)
        return std::nullopt;
    const QStringList labels = name.split(QLatin1Char('.'));
    if (!std::all_of(labels.begin(), labels.end(), IsHostLabel) || IsNumber(labels.last()))
        return std::nullopt;
    return ascii;
}

bool IsHostName(const QString& host)
{
    return ServerHost(host).has_value();
}

QString HostOfEntry(const QString& entry)
{
    return entry.left(entry.indexOf(QLatin1Char(' ')));
}

// "site port latitude longitude description" as "site description".
std::optional<QString> SiteEntry(const QString& line)
{
    QString site;
    QString rest;
    if (!SplitFirstBlank(line, site, rest) || !IsHostName(site))
        return std::nullopt;
    QString skipped;
    for (int field = 0; field < 3; ++field)
        if (!SplitFirstBlank(rest, skipped, rest))
            return std::nullopt;
    return site + QLatin1Char(' ') + rest;
}

}

bool NamesCDDBServer(const QString& entry)
{
    return IsHostName(HostOfEntry(entry));
}

QStringList LoadCDDBServerList()
{
    QStringList entries;
    TRegistry reg;
    if (reg.OpenKey(ListKey(), false)) {
        for (int i = 0; entries.size() < MaxCDDBServers; ++i) {
            const auto entry = reg.ReadString(QString::number(i));
            if (!entry)
                break;
            if (NamesCDDBServer(*entry))
                entries << *entry;
        }
    }
    return entries.isEmpty() ? DefaultCDDBServers() : entries;
}

bool SaveCDDBServerList(const QStringList& entries)
{
    TRegistry reg;
    if (reg.KeyExists(ListKey()) && !reg.DeleteKey(ListKey()))
        return false;
    if (!reg.OpenKey(ListKey(), true))
        return false;
    for (int i = 0; i < entries.size(); ++i)
        reg.WriteString(QString::number(i), entries.at(i));
    reg.Flush();
    return true;
}

std::optional<TCDDBServerAddress> CDDBServerOfEntry(const QString& entry)
{
    const QString host = HostOfEntry(entry);
    const auto sent = ServerHost(host);
    if (host.size() == entry.size() || !sent)
        return std::nullopt;
    return TCDDBServerAddress{*sent, 80, QStringLiteral("/~cddb/cddb.cgi")};
}

bool TSitesReplyReader::Take(const QString& line)
{
    if (m_head.size() < 3)
        m_head << line;
    if (m_lines++ == 0)
        return true;
    const QString site = TServerText::Clean(line).trimmed();
    if (site == QLatin1String("."))
        return false;
    const auto entry = SiteEntry(site);
    if (!entry)
        return true;
    if (m_entries.size() == MaxCDDBServers) {
        m_cut = true;
        return false;
    }
    m_entries << *entry;
    return true;
}

bool TSitesReplyReader::Finish(QStringList& entries, QString& serverText) const
{
    entries.clear();
    if (m_lines < 3) {
        serverText = m_head.join(QLatin1Char('\n'));
        return false;
    }
    const QString& status = m_head.first();
    const QChar first = status.isEmpty() ? QChar() : status.at(0);
    if (first != QLatin1Char('2') && first != QLatin1Char('1') && first != QLatin1Char('0')) {
        serverText = status;
        return false;
    }
    entries = m_entries;
    return true;
}
