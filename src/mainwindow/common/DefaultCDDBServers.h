#pragma once

#include <QStringList>

// The public CD database server: the built-in server of the lookup, of the
// server-list fetch ("sites") and of the built-in server-list row.
inline constexpr char PublicCDDBServerHost[] = "gnudb.gnudb.org";
inline constexpr int PublicCDDBServerPort = 80;
inline constexpr char PublicCDDBServerCgiPath[] = "/~cddb/cddb.cgi";

// The server list used when none is stored: one entry of the stored form,
// host, a blank, description.
const QStringList& DefaultCDDBServers();
