#pragma once

#include "common/DefaultCDDBServers.h"

#include <QString>
#include <QStringList>

#include <optional>

// The list of CD database servers the settings offer, stored in the subkey
// "CDDBServer2" of the settings key as string values "0", "1", ... in list
// order. Each entry is a host, a blank and a description.

// The most servers a list holds: a longer one is cut when it is read (a
// menu of thousands of servers is of no use).
constexpr qsizetype MaxCDDBServers = 100;

// Whether an entry names a server: its host (up to the first blank, or the
// whole entry) is a host name (also an internationalised one, also with a
// trailing dot), an IPv4 address in four decimal numbers or an IPv6 address
// without zone. Other entries (a URL, a path, a leading blank) are dropped
// when a list is read.
bool NamesCDDBServer(const QString& entry);

// The stored list, its entries that name a server and at most
// MaxCDDBServers of them; the built-in row when none is stored.
QStringList LoadCDDBServerList();
// Replaces the stored list; false (and nothing written) when the old one
// could not be removed.
bool SaveCDDBServerList(const QStringList& entries);

// The server an entry names: its host (up to the first blank; a host name
// in its ASCII form, as it is sent), port 80 and the path
// "/~cddb/cddb.cgi"; nothing for an entry without a blank or without a
// host name.
std::optional<TCDDBServerAddress> CDDBServerOfEntry(const QString& entry);

// The entries of a "sites" reply as its lines arrive: one per site line up
// to ".", as site, a blank and description (port, latitude and longitude
// dropped; lines with fewer than five fields or whose site names no server
// skipped), each line cleaned first (TServerText::Clean). A list is cut
// after MaxCDDBServers entries.
class TSitesReplyReader {
public:
    // Takes the next line; false when no more are wanted (the list ended,
    // or it is full and goes on).
    bool Take(const QString& line);
    // After the last line: the entries; false when the reply is no list,
    // with the text to show as the server's answer: the whole reply when it
    // has fewer than three lines, else its first line.
    bool Finish(QStringList& entries, QString& serverText) const;

    qsizetype LineCount() const { return m_lines; }
    // The list went on beyond the entries kept.
    bool IsCut() const { return m_cut; }

private:
    QStringList m_head; // the first lines, for the server's answer
    QStringList m_entries;
    qsizetype m_lines = 0;
    bool m_cut = false;
};
