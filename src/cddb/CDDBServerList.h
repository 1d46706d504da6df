#pragma once

#include "common/DefaultCDDBServers.h"

#include <QString>
#include <QStringList>

#include <optional>

// The list of CD database servers the settings offer, stored in the subkey
// "CDDBServer2" of the settings key as string values "0", "1", ... in list
// order. Each entry is a host, a blank and a description.

// The stored list; the built-in row when nothing is stored.
QStringList LoadCDDBServerList();
// Replaces the stored list; false (and nothing written) when the old one
// could not be removed.
bool SaveCDDBServerList(const QStringList& entries);

// The server an entry names: its host (up to the first blank), port 80 and
// the path "/~cddb/cddb.cgi"; nothing for an entry without a blank.
std::optional<TCDDBServerAddress> CDDBServerOfEntry(const QString& entry);

// The entries of a "sites" reply: one per site line up to ".", as site, a
// blank and description (port, latitude and longitude dropped; lines with
// fewer than five fields skipped). False when the reply is no list, with
// the text to show as the server's answer: the whole reply when it has
// fewer than three lines, else its first line.
bool ParseSitesReply(const QString& reply, QStringList& entries, QString& serverText);
