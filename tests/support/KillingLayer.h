#pragma once

#include "platform/FileLayer.h"

#include <csignal>

// A file layer whose process dies by SIGKILL where a run of the file
// operations is to be killed, as a program killed by the user or the system
// does: just before a moved file staged beside its target takes its name, or
// before the file a copy replaced is removed.
class TKillingLayer : public TFileLayer {
public:
    int RenameNoReplaceAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to,
                          const TStepsNote& beforeSteps) override
    {
        if (from.endsWith(".moving"))
            std::raise(SIGKILL);
        return TFileLayer::RenameNoReplaceAt(fromDirFd, from, toDirFd, to, beforeSteps);
    }
    int UnlinkAt(int dirFd, const QByteArray& name, int flags) override
    {
        if (name.endsWith(".replaced"))
            std::raise(SIGKILL);
        return TFileLayer::UnlinkAt(dirFd, name, flags);
    }
};
