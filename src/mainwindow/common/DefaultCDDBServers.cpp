#include "mainwindow/common/DefaultCDDBServers.h"

const QStringList& DefaultCDDBServers()
{
    static const QStringList servers = {
        QString::fromLatin1(PublicCDDBServerHost) + QStringLiteral(" Random freedb server"),
    };
    return servers;
}
