#pragma once

#include "support/RunProgram.h"

#include <QSet>
#include <QString>

// The original paths trash-cli lists, from the home trash and the trash of
// every mounted file system. The run itself goes to *run (exit code 0 when
// trash-list could be run).
inline QSet<QString> ListedByTrashCli(TProgramRun* run)
{
    *run = RunProgram(QStringLiteral("/usr/bin/trash-list"), {}, 20000);
    QSet<QString> paths;
    for (const QByteArray& line : run->Out.split('\n'))
        if (line.size() > 20)
            paths << QString::fromUtf8(line.mid(20)); // after "YYYY-MM-DD HH:MM:SS "
    return paths;
}
