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
// whole entry) is a host name or an IP address. Other entries (a URL, a
// path, a leading blank) are dropped when a list is read.
bool NamesCDDBServer(const QString& entry);

// The stored list, its entries that name a server and at most
// MaxCDDBServers of them; the built-in row when none is stored.
QStringList LoadCDDBServerList();
// Replaces the stored list; false (and nothing written) when the old one
// could not be removed.
bool SaveCDDBServerList(const QStringList& entries);

// The server an entry names: its host (up to the first blank), port 80 and
// the path "/~cddb/cddb.cgi"; nothing for an entry without a blank or
// without a host name.
std::optional<TCDDBServerAddress> CDDBServerOfEntry(const QString& entry);

// The entries of a "sites" reply: one per site line up to ".", as site, a
// blank and description (port, latitude and longitude dropped; lines with
// fewer than five fields or whose site names no server skipped), the
// line cleaned first (TServerText::Clean); at most MaxCDDBServers, the
// number of those beyond in leftOut (when given). False when the reply is
// no list, with the text to show as the server's answer: the whole reply
// when it has fewer than three lines, else its first line.
bool ParseSitesReply(const QString& reply, QStringList& entries, QString& serverText, qsizetype* leftOut = nullptr);
