#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class TEintragdaten;
class TFQuillon;

// The question of commands on many files that offers again the files that
// failed (their names listed as MessageLists.h writes them).

// Why files failed, by path: the system's text of the error of the failed
// call (none when the failure had no system error), and what the command
// adds of its own, which stays with the file through the retries.
struct TFailureReasons {
    QHash<QString, QString> SystemErrors;
    QHash<QString, QString> Notes;

    // Both, as the list shows them behind the name; empty when none.
    QString Of(const QString& path) const;
};

// Adds path to failedPaths, with errno's text as its reason when errno is set
// (the caller clears errno before the attempt that failed).
void AddFailure(QStringList& failedPaths, TFailureReasons& reasons, const QString& path);

// While failedPaths is not empty, asks the question of questionKey (Yes/No)
// with the file names, each followed by LF CR (and its reason in brackets
// when reasons knows one), and gives each entry another try with retry (true
// on success); entries no longer listed are dropped. Returns the paths of the
// entries that succeeded; failedPaths keeps those given up.
QStringList RetryFailedFiles(TFQuillon& window, QStringList& failedPaths, const char* questionKey,
                             const std::function<bool(TEintragdaten&)>& retry, TFailureReasons* reasons = nullptr);
