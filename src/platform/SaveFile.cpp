#include "platform/SaveFile.h"

#include "platform/FileLayer.h"

#include <QSaveFile>

#include <cerrno>

#include <unistd.h>

namespace {

std::optional<TSaveFailure> TargetProblem(const QString& path)
{
    int error = 0;
    const TFileKind kind = FileKindOf(path, &error);
    if (IsReplaceable(kind))
        return std::nullopt;
    return TSaveFailure{kind, error != 0 ? SystemErrorText(error) : QString()};
}

}

std::optional<TSaveFailure> OpenSaveFile(QSaveFile& file)
{
    if (std::optional<TSaveFailure> problem = TargetProblem(file.fileName()))
        return problem;
    if (!file.open(QIODevice::WriteOnly))
        return TSaveFailure{TFileKind::Regular, file.errorString()};
    return std::nullopt;
}

std::optional<TSaveFailure> CommitSaveFile(QSaveFile& file, const std::function<bool()>& lastStep)
{
    std::optional<TSaveFailure> problem = TargetProblem(file.fileName());
    if (!problem && !file.flush())
        problem = TSaveFailure{TFileKind::Regular, file.errorString()};
    // A file system that cannot sync (EINVAL) is left to Qt, which ignores
    // that too.
    if (!problem && ::fsync(file.handle()) != 0 && errno != EINVAL)
        problem = TSaveFailure{TFileKind::Regular, SystemErrorText(errno)};
    if (!problem && lastStep && !lastStep())
        problem = TSaveFailure{TFileKind::Regular, SystemErrorText(errno)};
    if (problem) {
        file.cancelWriting(); // the temporary file goes with the object
        return problem;
    }
    if (!file.commit())
        return TSaveFailure{TFileKind::Regular, file.errorString()};
    return std::nullopt;
}
