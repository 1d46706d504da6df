#pragma once

#include "mainwindow/EventPump.h"

#include "platform/FileOps.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

class QEvent;
class QObject;
class QProgressDialog;
class QWidget;
class TUserInputBlocker;

// The main window's file operations with what the user sees of them: a
// progress window with a cancel button (shown when an operation takes a
// while), the question on every name already taken (Replace, Skip, Keep
// both, Cancel, optionally for all), the failures listed for retry (Yes
// retries only those), and the question before deleting for good what
// cannot go to the trash. Pending events run while it works, input only in
// the progress window; a request to close the window reaches it meanwhile,
// for the window to carry out when the operation is done.
class TFileOpRunner {
public:
    explicit TFileOpRunner(QWidget* window);
    ~TFileOpRunner();
    TFileOpRunner(const TFileOpRunner&) = delete;
    TFileOpRunner& operator=(const TFileOpRunner&) = delete;

    // Copies or moves files into target, asking again while some fail and
    // the user wants to retry. The result holds everything done over all
    // tries and what failed in the end. Items that are no longer there
    // (another program removed them) are only listed as gone, never tried
    // again.
    TFileOpResult Transfer(const QList<QByteArray>& files, const QByteArray& target, bool move);
    // Moves files to the trash; those that cannot go there are deleted for
    // good when the user agrees, those already gone are listed as such.
    // permanently deletes them for good at once.
    TFileOpResult Delete(const QList<QByteArray>& files, bool permanently);
    // Renames a folder in place; the failure's text for the user when it
    // could not be renamed.
    std::optional<QString> Rename(const QByteArray& path, const QByteArray& newName, QByteArray* newPath);

    // Longest time without letting events run during the last operation.
    double LongestStallMs() const { return m_longestStallMs; }
    TFileOps& Ops() { return m_ops; }

    // Why an item failed (moving: while it was moved), in the user's
    // language.
    static QString ReasonText(const TFileOpFailure& failure, bool moving = false);

    // Settles what file operations that ended before their time left
    // (platform/Recovery.h).
    TLeftovers RecoverEndedRuns() { return m_ops.RecoverEndedRuns(); }
    // Tells what recovery did: which files have their names again, which
    // items it finished, which unfinished copies it removed, and what it had
    // to keep for now (each of those once).
    void TellLeftovers(const TLeftovers& leftovers);

private:
    enum class TKind { Copy, Move, Delete, Trash };
    TFileOpResult Run(TKind kind, const QList<QByteArray>& files, const QByteArray& target);
    // Runs kind on files until nothing fails or the user stops retrying.
    void RunWithRetry(TKind kind, QList<QByteArray> files, const QByteArray& target, TFileOpResult& total);
    bool Progress(const TFileOpProgress& progress);
    void ShowProgress();
    TCollisionChoice AskCollision(const QByteArray& source, const QByteArray& target, bool folder);
    // Tells which items were left because each is the very file it would
    // replace (none: nothing shown).
    void ReportOntoItself(const QList<QByteArray>& files);
    // Lists failures that no other try can mend (none: nothing shown) and
    // adds them to total.
    void ReportFinal(std::vector<TFileOpFailure>&& final, TFileOpResult& total);
    void EndProgress();
    bool Moving() const { return m_kind == TKind::Move; }
    // Whether user input (or a request to close) may reach its receiver
    // while the progress window shows: not when it is meant for the window.
    bool PassesDuringProgress(QObject* receiver, QEvent* event) const;

    QWidget* m_window;
    TFileOps m_ops;
    TKind m_kind = TKind::Copy;
    TFileOpProgress m_lastProgress;
    QElapsedTimer m_sinceStart;
    std::unique_ptr<QProgressDialog> m_progress;
    // Keeps input out of the window while the progress window shows.
    std::unique_ptr<TUserInputBlocker> m_inputBlock;
    std::unique_ptr<TEventPump> m_pump;
    double m_longestStallMs = 0;
    QSet<QByteArray> m_toldKept;
};
