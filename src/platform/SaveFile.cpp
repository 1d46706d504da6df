#include "platform/SaveFile.h"

#include <QSaveFile>

std::optional<QString> CommitSaveFile(QSaveFile& file)
{
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}
