#include "mainwindow/FailureLists.h"

#include "mainwindow/EntryState.h"
#include "mainwindow/FQuillon.h"
#include "mainwindow/MessageLists.h"

#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/Prompt.h"

#include <cerrno>

namespace {

// Keeps errno's text as the reason of path; none when errno is not set.
void NoteReason(TFailureReasons& reasons, const QString& path)
{
    const int error = errno;
    if (error != 0)
        reasons.SystemErrors.insert(path, SystemErrorText(error));
    else
        reasons.SystemErrors.remove(path);
}

}

QString TFailureReasons::Of(const QString& path) const
{
    QStringList parts;
    for (const QHash<QString, QString>* texts : {&SystemErrors, &Notes})
        if (const QString text = texts->value(path); !text.isEmpty())
            parts << text;
    return parts.join(QStringLiteral("; "));
}

void AddFailure(QStringList& failedPaths, TFailureReasons& reasons, const QString& path)
{
    NoteReason(reasons, path);
    failedPaths << path;
}

QStringList RetryFailedFiles(TFQuillon& window, QStringList& failedPaths, const char* questionKey,
                             const std::function<bool(TEintragdaten&)>& retry, TFailureReasons* reasons)
{
    QStringList succeeded;
    while (!failedPaths.isEmpty()) {
        QStringList names;
        for (const QString& path : std::as_const(failedPaths))
            names << NameWithReason(ShownNameOfPath(path), reasons ? reasons->Of(path) : QString());
        if (!CurrentPrompt()->Question(&window, LangFmt(QString::fromLatin1(questionKey), {NamesFollowedByBreak(names)})))
            break;
        // The question lets events run: entries are found again by path.
        failedPaths.removeIf([&](const QString& path) {
            TEintragdaten* entry = window.FindEntryByPath(path);
            if (!entry)
                return true;
            errno = 0;
            if (!retry(*entry)) {
                if (reasons)
                    NoteReason(*reasons, path);
                return false;
            }
            succeeded << path;
            return true;
        });
    }
    return succeeded;
}
