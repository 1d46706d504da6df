// Date frames from the files' modification times and modification times from
// date frames, for the date field that has the focus.
#include "mainwindow/FQuillon.h"

#include "mainwindow/BatchRenames.h"
#include "mainwindow/BatchRun.h"
#include "mainwindow/DateMerge.h"

#include "frameinput/ID3v2FrameDateTime.h"
#include "localisation/MultiLanguage.h"
#include "platform/FileTimes.h"
#include "platform/Prompt.h"
#include "tagengine/FrameCodecs.h"

namespace {

// How setting one file's time from its date frame ended.
enum class TDateChange { Set, Unchanged, NoDate, Failed };

TID3v2FrameDateTime* FocusedDateInput(const TFQuillon& window)
{
    return qobject_cast<TID3v2FrameDateTime*>(window.FocusedFrameInput());
}

// The strings of the entry's first frame of the ID; none without such a
// frame.
std::optional<QStringList> FrameStrings(const TEintragdaten& entry, const QString& id)
{
    const TID3Frame* frame = FindFrame(entry.Frames, id);
    if (!frame)
        return std::nullopt;
    QString description;
    QStringList strings;
    GetTextFrame(*frame, description, strings);
    return strings;
}

// The entry's date frame from its modification time, as precise as the frame
// was (any precision its text gives) or else as the input allows. False when
// the frame already says so.
bool SetDateFromFileDate(TEintragdaten& entry, const QString& id, TDateGenauigkeit defaultPrecision)
{
    TDateGenauigkeit precision = defaultPrecision;
    const std::optional<QStringList> current = FrameStrings(entry, id);
    if (current && !current->isEmpty()) {
        TSystemTime parts;
        TDateGenauigkeit parsed = gnNone;
        ParseISODateTime(current->first(), parts, parsed);
        if (parsed != gnNone)
            precision = parsed;
    }
    const QString text = FileTimeAsDateText(entry.LastWriteNs, precision);
    if (current == QStringList{text})
        return false;
    TID3Frame frame(id);
    SetTextFrame(frame, QString(), {text});
    entry.SetFrame(id, &frame, 0);
    return true;
}

void DatesFromFileDates(TFQuillon& window)
{
    TID3v2FrameDateTime* input = FocusedDateInput(window);
    if (!input) {
        CurrentPrompt()->Beep();
        return;
    }
    const QString id = input->FrameID();
    const TDateGenauigkeit precision = input->DateGenauigkeitMax();
    window.ApplyInputsToSelection();
    {
        TBatchRun run(window, window.EditedCount());
        for (size_t i = 0; i < window.Entries().size(); ++i) {
            TEintragdaten& entry = *window.Entries()[i];
            if (!entry.Edited)
                continue;
            SetDateFromFileDate(entry, id, precision);
            if (!run.Next(false))
                break;
        }
    }
    window.RefreshVisibleRows();
    window.ShowSelectionInInputs();
}

// Sets the file's modification time from the entry's date frame: the parts
// the date gives, the others kept. Each change is one undo step.
TDateChange SetFileDateFromFrame(TFQuillon& window, TEintragdaten& entry, const QString& id)
{
    const std::optional<QStringList> strings = FrameStrings(entry, id);
    const std::optional<qint64> time =
        strings && !strings->isEmpty() ? MergeDateIntoFileTime(strings->first(), entry.LastWriteNs) : std::nullopt;
    if (!time)
        return TDateChange::NoDate;
    if (*time == entry.LastWriteNs)
        return TDateChange::Unchanged;
    // Bodies left in the file are found by its state, which changes now.
    LoadDeferredBodies(entry.Frames);
    const QString path = entry.FullPath();
    if (!SetLastWriteTime(path, *time))
        return TDateChange::Failed;
    window.UndoList().AddFileDate(path, entry.LastWriteNs);
    entry.LastWriteNs = *time;
    return TDateChange::Set;
}

void FileDatesFromDates(TFQuillon& window)
{
    TID3v2FrameDateTime* input = FocusedDateInput(window);
    if (!input) {
        CurrentPrompt()->Beep();
        return;
    }
    const QString id = input->FrameID();
    window.ApplyInputsToSelection();
    QStringList failedPaths;
    QStringList noDate;
    {
        TBatchRun run(window, window.EditedCount());
        for (size_t i = 0; i < window.Entries().size(); ++i) {
            TEintragdaten& entry = *window.Entries()[i];
            if (!entry.Edited)
                continue;
            const TDateChange change = SetFileDateFromFrame(window, entry, id);
            if (change == TDateChange::Failed)
                failedPaths << entry.FullPath();
            else if (change == TDateChange::NoDate)
                noDate << entry.FileName;
            if (!run.Next(change == TDateChange::Set || change == TDateChange::Failed))
                break;
        }
    }
    while (!failedPaths.isEmpty()) {
        QStringList names;
        for (const QString& path : std::as_const(failedPaths))
            names << NameOfPath(path);
        if (!CurrentPrompt()->Question(&window, LangFmt("ErrorSetDate", {NamesFollowedByBreak(names)})))
            break;
        failedPaths.removeIf([&](const QString& path) {
            TEintragdaten* entry = window.FindEntryByPath(path);
            return !entry || SetFileDateFromFrame(window, *entry, id) != TDateChange::Failed;
        });
    }
    if (!noDate.isEmpty())
        CurrentPrompt()->Information(&window, LangFmt("ErrorSetDateEmpty", {NamesPrecededByBreak(noDate)}));
    window.RefreshVisibleRows();
    window.UpdateStatusAndFileInfo();
}

}

void TFQuillon::BindDateActions()
{
    const auto dateInput = [this] { return FocusedDateInput(*this) != nullptr; };
    BindAction(QStringLiteral("ActDateFromFileDate"), [this] { DatesFromFileDates(*this); }, dateInput);
    BindAction(QStringLiteral("ActFileDateFromDate"), [this] { FileDatesFromDates(*this); }, dateInput);
}
