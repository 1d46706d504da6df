// Date frames from the files' modification times and modification times from
// date frames, for the date field that has the focus.
#include "mainwindow/FQuillon.h"

#include "mainwindow/BatchRun.h"
#include "commands/DateMerge.h"
#include "commands/EntryFrames.h"
#include "mainwindow/FailureLists.h"
#include "mainwindow/MessageLists.h"

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

// The entry's date frame from its modification time, as precise as the frame
// was (any precision its text gives) or else as the input allows. False when
// the frame already says so.
bool SetDateFromFileDate(TEintragdaten& entry, const QString& id, TDateGenauigkeit defaultPrecision)
{
    TDateGenauigkeit precision = defaultPrecision;
    const std::optional<QStringList> current = FirstFrameStrings(entry, id);
    if (current && !current->isEmpty()) {
        TSystemTime parts;
        TDateGenauigkeit parsed = gnNone;
        ParseISODateTime(current->first(), parts, parsed);
        if (parsed != gnNone)
            precision = parsed;
    }
    return SetSingleTextFrame(entry, id, FileTimeAsDateText(entry.LastWriteNs, precision));
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
    RunOverSelection(window, [&](TEintragdaten& entry) {
        SetDateFromFileDate(entry, id, precision);
        return false;
    });
    window.RefreshVisibleRows();
    window.ShowSelectionInInputs();
}

// Sets the file's modification time from the entry's date frame: the parts
// the date gives, the others kept. Each change is one undo step.
TDateChange SetFileDateFromFrame(TFQuillon& window, TEintragdaten& entry, const QString& id)
{
    const std::optional<QStringList> strings = FirstFrameStrings(entry, id);
    const std::optional<qint64> time =
        strings && !strings->isEmpty() ? MergeDateIntoFileTime(strings->first(), entry.LastWriteNs) : std::nullopt;
    if (!time)
        return TDateChange::NoDate;
    if (*time == entry.LastWriteNs)
        return TDateChange::Unchanged;
    // Bodies left in the file are found by its state, which changes now.
    LoadDeferredBodies(entry.Frames);
    const QString path = entry.PathKey();
    if (!SetLastWriteTime(path, *time))
        return TDateChange::Failed;
    window.UndoList().AddFileDate(path, entry.LastWriteNs);
    // The time as the file system keeps it (a USB stick's in whole seconds),
    // so that the next save does not take the file for changed elsewhere.
    entry.LastWriteNs = LastWriteTime(path).value_or(*time);
    return TDateChange::Set;
}

void FileDatesFromDates(TFQuillon& window)
{
    TID3v2FrameDateTime* input = FocusedDateInput(window);
    if (!input) {
        CurrentPrompt()->Beep();
        return;
    }
    if (window.BeepWhenBusy())
        return;
    const QString id = input->FrameID();
    // Only a date the file holds sets its time: one still to be written
    // could be thrown away, and writing it would set the time anew.
    window.CommitEdits();
    QStringList failedPaths;
    QStringList noDate;
    RunOverSelection(window, [&](TEintragdaten& entry) {
        const TDateChange change = SetFileDateFromFrame(window, entry, id);
        if (change == TDateChange::Failed)
            failedPaths << entry.PathKey();
        else if (change == TDateChange::NoDate)
            noDate << entry.FileName;
        return change == TDateChange::Set || change == TDateChange::Failed;
    });
    RetryFailedFiles(window, failedPaths, "ErrorSetDate", [&](TEintragdaten& entry) {
        return SetFileDateFromFrame(window, entry, id) != TDateChange::Failed;
    });
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
