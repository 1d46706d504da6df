#include "cddb/CDDBServerList.h"

#include "common/SettingsKey.h"
#include "platform/Registry.h"
#include "tagengine/FrameCodecs.h"

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

// "site port latitude longitude description" as "site description".
std::optional<QString> SiteEntry(const QString& line)
{
    QString site;
    QString rest;
    if (!SplitFirstBlank(line, site, rest))
        return std::nullopt;
    QString skipped;
    for (int field = 0; field < 3; ++field)
        if (!SplitFirstBlank(rest, skipped, rest))
            return std::nullopt;
    return site + QLatin1Char(' ') + rest;
}

}

QStringList LoadCDDBServerList()
{
    QStringList entries;
    TRegistry reg;
    if (reg.OpenKey(ListKey(), false)) {
        for (int i = 0;; ++i) {
            const auto entry = reg.ReadString(QString::number(i));
            if (!entry)
                break;
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
    const qsizetype blank = entry.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return std::nullopt;
    return TCDDBServerAddress{entry.left(blank), 80, QStringLiteral("/~cddb/cddb.cgi")};
}

bool ParseSitesReply(const QString& reply, QStringList& entries, QString& serverText)
{
    entries.clear();
    const QStringList lines = SplitTextLines(reply);
    if (lines.size() < 3) {
        serverText = reply;
        return false;
    }
    const QChar first = lines.first().isEmpty() ? QChar() : lines.first().at(0);
    if (first != QLatin1Char('2') && first != QLatin1Char('1') && first != QLatin1Char('0')) {
        serverText = lines.first();
        return false;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line == QLatin1String("."))
            break;
        if (const auto entry = SiteEntry(line))
            entries << *entry;
    }
    return true;
}
