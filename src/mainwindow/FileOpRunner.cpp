#include "mainwindow/FileOpRunner.h"

#include "mainwindow/MessageLists.h"

#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"
#include "platform/UserInputBlocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QProgressDialog>
#include <QWindow>

#include <algorithm>

#include <cerrno>

#include <sys/stat.h>

namespace {

// The progress window appears only for operations that take longer.
constexpr int ProgressDelayMs = 500;
constexpr int ProgressSteps = 1000;

QString DisplayName(const QByteArray& path)
{
    return QFile::decodeName(PathName(path));
}

// The item itself is no longer there: another program removed it since it
// was listed.
bool IsGone(const TFileOpFailure& failure)
{
    struct stat st {};
    return ::lstat(failure.Path.constData(), &st) != 0 && errno == ENOENT;
}

// Failures that another try cannot mend.
bool IsFinal(const TFileOpFailure& failure)
{
    switch (failure.Error) {
    case TFileOpError::System:
    case TFileOpError::VerifyFailed:
    case TFileOpError::NoTrash:
        return IsGone(failure);
    default:
        return true;
    }
}

// Takes out of failures those that which selects.
std::vector<TFileOpFailure> TakeOut(std::vector<TFileOpFailure>& failures, bool (*which)(const TFileOpFailure&))
{
    std::vector<TFileOpFailure> taken;
    std::vector<TFileOpFailure> rest;
    for (TFileOpFailure& failure : failures)
        (which(failure) ? taken : rest).push_back(std::move(failure));
    failures = std::move(rest);
    return taken;
}

// "name (why)" for each failure, each followed by LF CR (a list the user may
// retry).
QString FailureList(const std::vector<TFileOpFailure>& failures, bool moving)
{
    QStringList lines;
    for (const TFileOpFailure& failure : failures) {
        QString line = DisplayName(failure.Path);
        if (!failure.Inner.isEmpty())
            line += QStringLiteral(": ") + DisplayName(failure.Inner);
        const QString reason =
            IsGone(failure) ? Lang("TagReasonFileMissing") : TFileOpRunner::ReasonText(failure, moving);
        lines << line + QStringLiteral(" (") + reason + QLatin1Char(')');
    }
    return NamesFollowedByBreak(lines);
}

// "item: /path/of/the/file/left (why)" for each item done that left a file
// behind: the whole path, for a hidden file the user has to find.
QString LeftBehindList(const std::vector<TFileOpFailure>& left, bool moving)
{
    QStringList lines;
    for (const TFileOpFailure& item : left)
        lines << DisplayName(item.Path) + QStringLiteral(": ")
                     + QFile::decodeName(item.Inner.isEmpty() ? item.Path : item.Inner) + QStringLiteral(" (")
                     + TFileOpRunner::ReasonText(item, moving) + QLatin1Char(')');
    return NamesPrecededByBreak(lines);
}

QString PathList(const QList<QByteArray>& paths)
{
    QStringList lines;
    for (const QByteArray& path : paths)
        lines << QFile::decodeName(path);
    return NamesPrecededByBreak(lines);
}

void Append(TFileOpResult& total, TFileOpResult&& part)
{
    total.Done.insert(total.Done.end(), part.Done.begin(), part.Done.end());
    total.LeftBehind.insert(total.LeftBehind.end(), part.LeftBehind.begin(), part.LeftBehind.end());
    total.Unchanged += part.Unchanged;
    total.OntoItself += part.OntoItself;
    total.Leftovers.Add(part.Leftovers);
    total.Cancelled = total.Cancelled || part.Cancelled;
}

}

TFileOpRunner::TFileOpRunner(QWidget* window) : m_window(window)
{
    m_ops.OnProgress = [this](const TFileOpProgress& progress) { return Progress(progress); };
    m_ops.OnCollision = [this](const QByteArray& source, const QByteArray& target, bool folder) {
        return AskCollision(source, target, folder);
    };
}

TFileOpRunner::~TFileOpRunner() = default;

QString TFileOpRunner::ReasonText(const TFileOpFailure& failure, bool moving)
{
    switch (failure.Error) {
    case TFileOpError::System:
        return SystemErrorText(failure.SystemError);
    case TFileOpError::TargetNotFolder:
        return LangFmt("ErrorTargetNotFolder", {DisplayName(failure.Path)});
    case TFileOpError::IntoItself:
        return Lang("FileOpReasonIntoItself");
    case TFileOpError::SpecialFile:
        return Lang("FileOpReasonSpecialFile");
    case TFileOpError::VerifyFailed:
        return Lang("FileOpReasonVerify");
    case TFileOpError::KindConflict:
        return Lang("FileOpReasonKindConflict");
    case TFileOpError::NoTrash:
        return Lang("FileOpReasonNoTrash");
    case TFileOpError::InvalidName:
        return Lang("FileOpReasonInvalidName");
    case TFileOpError::Changed:
        return Lang(moving ? "FileOpReasonChangedMoving" : "FileOpReasonChangedCopying");
    case TFileOpError::NoFreeName:
        return Lang("FileOpReasonNoFreeName");
    case TFileOpError::TooDeep:
        return LangFmt("FileOpReasonTooDeep", {QString::number(MaxFolderDepth)});
    }
    return {};
}

bool TFileOpRunner::Progress(const TFileOpProgress& progress)
{
    m_lastProgress = progress;
    m_pump->Poll();
    return !(m_progress && m_progress->wasCanceled());
}

void TFileOpRunner::ShowProgress()
{
    static const char* const LabelKeys[] = {"FileOpCopying", "FileOpMoving", "FileOpDeleting", "FileOpDeleting"};
    if (!m_progress) {
        // Only operations that take a while show their progress.
        if (m_sinceStart.elapsed() < ProgressDelayMs)
            return;
        m_progress = std::make_unique<QProgressDialog>(m_window);
        // Not modal: the window system drops a request to close a window
        // that a modal window blocks, and the window is to close once the
        // operation is done. Its input is kept out here instead.
        m_progress->setWindowModality(Qt::NonModal);
        m_inputBlock = std::make_unique<TUserInputBlocker>(
            [this](QObject* receiver, QEvent* event) { return PassesDuringProgress(receiver, event); });
        m_progress->setMinimumDuration(0);
        m_progress->setRange(0, ProgressSteps);
        m_progress->setCancelButtonText(Lang("Cancel"));
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumWidth(420);
        m_progress->show();
    }
    const TFileOpProgress& p = m_lastProgress;
    m_progress->setLabelText(LangFmt(LabelKeys[static_cast<int>(m_kind)], {DisplayName(p.Current)}));
    const double done = p.TotalBytes > 0   ? static_cast<double>(p.DoneBytes) / static_cast<double>(p.TotalBytes)
                        : p.TotalItems > 0 ? static_cast<double>(p.DoneItems) / static_cast<double>(p.TotalItems)
                                           : 0.0;
    m_progress->setValue(std::clamp(static_cast<int>(done * ProgressSteps), 0, ProgressSteps - 1));
}

bool TFileOpRunner::PassesDuringProgress(QObject* receiver, QEvent* event) const
{
    // The window holds a close until the operation is done.
    if (event->type() == QEvent::Close)
        return true;
    // The progress window and the questions are windows of their own.
    const auto* control = qobject_cast<const QWidget*>(receiver);
    const bool forWindow = control ? control->window() == m_window : receiver == m_window->windowHandle();
    // A key kept from the window runs none of its shortcuts either.
    if (forWindow && event->type() == QEvent::ShortcutOverride)
        event->accept();
    return !forWindow;
}

TCollisionChoice TFileOpRunner::AskCollision(const QByteArray&, const QByteArray& target, bool folder)
{
    const QString text = LangFmt(folder ? "FileOpFolderExists" : "FileOpFileExists",
                                 {DisplayName(target), QFile::decodeName(PathFolder(target))});
    const QStringList answers{Lang("FileOpReplace"), Lang("FileOpSkip"), Lang("FileOpKeepBoth"), Lang("Cancel")};
    // The question stands alone; the progress window comes back after it.
    if (m_progress)
        m_progress->hide();
    // Its answer for all holds for further questions of its kind only: the
    // files of merged folders are still asked about.
    const TPromptChoice choice = CurrentPrompt()->Choose(m_window, TPromptIcon::Warning, text, answers, 3,
                                                         Lang(folder ? "FileOpForAllFolders" : "FileOpForAll"));
    if (m_progress)
        m_progress->show();
    m_sinceStart.start();
    static constexpr TCollisionAnswer ByIndex[] = {TCollisionAnswer::Replace, TCollisionAnswer::Skip,
                                                   TCollisionAnswer::KeepBoth, TCollisionAnswer::Cancel};
    const int index = choice.Answer >= 0 && choice.Answer < 4 ? choice.Answer : 3;
    return TCollisionChoice{ByIndex[index], choice.ForAll};
}

TFileOpResult TFileOpRunner::Run(TKind kind, const QList<QByteArray>& files, const QByteArray& target)
{
    m_kind = kind;
    m_sinceStart.start();
    // No input may reach the main window: until the progress window shows,
    // input waits; then the progress window takes its own, and the
    // window's is dropped.
    m_pump = std::make_unique<TEventPump>([this] {
        ShowProgress();
        QCoreApplication::processEvents(m_progress ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    });
    TFileOpResult result;
    switch (kind) {
    case TKind::Copy:
        result = m_ops.Copy(files, target);
        break;
    case TKind::Move:
        result = m_ops.Move(files, target);
        break;
    case TKind::Delete:
        result = m_ops.Delete(files);
        break;
    case TKind::Trash:
        result = m_ops.Trash(files);
        break;
    }
    m_longestStallMs = m_pump->LongestGapMs();
    EndProgress();
    return result;
}

void TFileOpRunner::EndProgress()
{
    if (m_progress) {
        m_progress->hide();
        m_progress.reset();
    }
    m_inputBlock.reset();
    m_pump.reset();
}

void TFileOpRunner::RunWithRetry(TKind kind, QList<QByteArray> files, const QByteArray& target, TFileOpResult& total)
{
    static const char* const QuestionKeys[] = {"ErrorCopyFiles", "ErrorMoveFiles", "ErrorDeleteFiles",
                                               "ErrorDeleteFiles"};
    while (!files.isEmpty()) {
        TFileOpResult result = Run(kind, files, target);
        std::vector<TFileOpFailure> failed = std::move(result.Failed);
        Append(total, std::move(result));
        if (total.Cancelled || failed.empty())
            return;
        if (failed.front().Error == TFileOpError::TargetNotFolder) {
            CurrentPrompt()->Error(m_window, ReasonText(failed.front()));
            total.Failed = failed;
            return;
        }
        ReportFinal(TakeOut(failed, IsFinal), total);
        // What is left may succeed on another try.
        if (failed.empty())
            return;
        if (CurrentPrompt()->Ask(m_window, TPromptIcon::Error,
                                 LangFmt(QuestionKeys[static_cast<int>(kind)], {FailureList(failed, Moving())}),
                                 pbYes | pbNo)
            != pbYes) {
            total.Failed.insert(total.Failed.end(), failed.begin(), failed.end());
            return;
        }
        files.clear();
        for (const TFileOpFailure& failure : failed)
            files << failure.Path;
    }
}

TFileOpResult TFileOpRunner::Transfer(const QList<QByteArray>& files, const QByteArray& target, bool move)
{
    TFileOpResult total;
    RunWithRetry(move ? TKind::Move : TKind::Copy, files, target, total);
    ReportOntoItself(total.OntoItself);
    if (!total.LeftBehind.empty())
        CurrentPrompt()->Information(m_window, LangFmt("FileOpLeftBehind", {LeftBehindList(total.LeftBehind, move)}));
    TellLeftovers(total.Leftovers);
    return total;
}

TFileOpResult TFileOpRunner::Delete(const QList<QByteArray>& files, bool permanently)
{
    TFileOpResult total;
    if (permanently) {
        RunWithRetry(TKind::Delete, files, {}, total);
        return total;
    }
    TFileOpResult trashed = Run(TKind::Trash, files, {});
    std::vector<TFileOpFailure> failed = std::move(trashed.Failed);
    Append(total, std::move(trashed));
    if (failed.empty() || total.Cancelled)
        return total;
    ReportFinal(TakeOut(failed, IsGone), total);
    if (failed.empty())
        return total;
    // What cannot go to the trash is deleted for good only when the user
    // says so.
    if (CurrentPrompt()->Ask(m_window, TPromptIcon::Warning, LangFmt("ErrorTrashFiles", {FailureList(failed, false)}),
                             pbYes | pbNo)
        != pbYes) {
        total.Failed.insert(total.Failed.end(), failed.begin(), failed.end());
        return total;
    }
    QList<QByteArray> rest;
    for (const TFileOpFailure& failure : failed)
        rest << failure.Path;
    RunWithRetry(TKind::Delete, rest, {}, total);
    return total;
}

void TFileOpRunner::ReportOntoItself(const QList<QByteArray>& files)
{
    if (files.isEmpty())
        return;
    QStringList lines;
    for (const QByteArray& file : files)
        lines << DisplayName(file) + QStringLiteral(" (") + Lang("FileOpReasonOntoItself") + QLatin1Char(')');
    CurrentPrompt()->Information(m_window, LangFmt("ErrorFileOpImpossible", {NamesPrecededByBreak(lines)}));
}

void TFileOpRunner::ReportFinal(std::vector<TFileOpFailure>&& final, TFileOpResult& total)
{
    if (final.empty())
        return;
    CurrentPrompt()->Error(m_window, LangFmt("ErrorFileOpImpossible", {FailureList(final, Moving())}));
    total.Failed.insert(total.Failed.end(), final.begin(), final.end());
}

std::optional<QString> TFileOpRunner::Rename(const QByteArray& path, const QByteArray& newName, QByteArray* newPath)
{
    const std::optional<TFileOpFailure> failure = m_ops.Rename(path, newName, newPath);
    if (!failure)
        return std::nullopt;
    return ReasonText(*failure);
}

void TFileOpRunner::TellLeftovers(const TLeftovers& leftovers)
{
    // What stays as it is is told once: it is met again at every load.
    QStringList kept;
    for (const TKeptLeftover& left : leftovers.Kept) {
        if (m_toldKept.contains(left.Path))
            continue;
        m_toldKept.insert(left.Path);
        const QString reason = left.Changed ? Lang("FileOpReasonChangedMoving") : SystemErrorText(left.Error);
        kept << QFile::decodeName(left.Path) + QStringLiteral(" (") + reason + QLatin1Char(')');
    }
    QStringList parts;
    const std::pair<const char*, const QList<QByteArray>*> lists[] = {
        {"FileOpLeftoversRestored", &leftovers.Restored},
        {"FileOpLeftoversFinished", &leftovers.Finished},
        {"FileOpLeftoversRemoved", &leftovers.Removed}};
    for (const auto& [key, paths] : lists)
        if (!paths->isEmpty())
            parts << LangFmt(key, {PathList(*paths)});
    if (!kept.isEmpty())
        parts << LangFmt("FileOpLeftoversKept", {NamesPrecededByBreak(kept)});
    QStringList leftBehind;
    for (const TKeptLeftover& left : leftovers.LeftBehind)
        leftBehind << QFile::decodeName(left.Path) + QStringLiteral(" (") + Lang("FileOpReasonChangedMoving")
                          + QLatin1Char(')');
    if (!leftBehind.isEmpty())
        parts << LangFmt("FileOpLeftBehind", {NamesPrecededByBreak(leftBehind)});
    if (!parts.isEmpty())
        CurrentPrompt()->Information(m_window, parts.join(QStringLiteral("\n\n")));
}
