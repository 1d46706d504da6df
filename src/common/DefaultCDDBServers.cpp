#include "common/DefaultCDDBServers.h"

namespace {

TCDDBServerAddress& Installed()
{
    static TCDDBServerAddress server{QString::fromLatin1(PublicCDDBServerHost), PublicCDDBServerPort,
                                     QString::fromLatin1(PublicCDDBServerCgiPath)};
    return server;
}

}

TCDDBServerAddress PublicCDDBServer()
{
    return Installed();
}

TCDDBServerAddress SetPublicCDDBServer(const TCDDBServerAddress& server)
{
    TCDDBServerAddress previous = Installed();
    Installed() = server;
    return previous;
}

QStringList DefaultCDDBServers()
{
    return {PublicCDDBServer().Host + QStringLiteral(" Random freedb server")};
}
