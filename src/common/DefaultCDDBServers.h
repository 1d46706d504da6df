#pragma once

#include <QString>
#include <QStringList>

// The public CD database server: the default server of the lookup, the
// server the server list is fetched from ("sites") and the host of the
// built-in server-list row.
inline constexpr char PublicCDDBServerHost[] = "gnudb.gnudb.org";
inline constexpr int PublicCDDBServerPort = 80;
inline constexpr char PublicCDDBServerCgiPath[] = "/~cddb/cddb.cgi";

// Where a CD database server answers.
struct TCDDBServerAddress {
    QString Host;
    int Port = 0;
    QString CgiPath;
};

// The public server as the program uses it: the one above unless replaced
// (tests replace it so that nothing reaches the internet).
TCDDBServerAddress PublicCDDBServer();
// Replaces the public server and returns the previous one.
TCDDBServerAddress SetPublicCDDBServer(const TCDDBServerAddress& server);

// The server list used when none is stored: one entry of the stored form,
// host, a blank, description.
QStringList DefaultCDDBServers();
