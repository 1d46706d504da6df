// The edit cycle: the set of edited entries, the commit of the inputs' edits
// into them, their save with the retry question, and their display in the
// status bar, the file information and the frame inputs.
#include "mainwindow/FQuillon.h"

#include "mainwindow/EntryState.h"
#include "mainwindow/FileListModel.h"
#include "mainwindow/FlagSet.h"
#include "mainwindow/MessageLists.h"
#include "mainwindow/UpdatesLock.h"

#include "frameinput/ID3v2Frame.h"
#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"
#include "tagengine/DisplayTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QScrollArea>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace {

// Shows the wait cursor while it exists.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// The entry's frame shown by the input of this identity; null when none.
const TID3Frame* InputFrameOf(const TEintragdaten& entry, quint32 identity)
{
    const auto found = std::find_if(entry.Frames.begin(), entry.Frames.end(),
                                    [identity](const TID3FramePtr& frame) { return frame->UniqueNumber == identity; });
    return found != entry.Frames.end() ? found->get() : nullptr;
}

bool CarriesIdentity(const TEintragdaten& entry, quint32 identity)
{
    return InputFrameOf(entry, identity) != nullptr;
}

// Puts the input's frame (nullptr: delete) into the entry. A frame the input
// adds carries its identity from then on, like the frames it was shown, so
// that applying the input again replaces that frame instead of adding one.
void SetInputFrame(TEintragdaten& entry, const TID3v2Frame& input, const TID3Frame* frame)
{
    const quint32 identity = input.Identity();
    const bool carried = CarriesIdentity(entry, identity);
    entry.SetFrame(input.FrameID(), frame, identity);
    if (frame && !carried)
        entry.Frames.back()->UniqueNumber = identity;
}

// Gives the entry's frames of the input the input's read-only flag and
// nothing else: their values stay each file's own.
void SetInputReadOnlyFlag(TEintragdaten& entry, const TID3v2Frame& input)
{
    for (const TID3FramePtr& frame : entry.Frames) {
        if (frame->UniqueNumber != input.Identity())
            continue;
        frame->ReadOnly = input.GetFrameReadOnly() ? 1 : 0;
        entry.Changed = 1;
    }
}

// A whole number with the locale's thousands separators.
QString GroupedNumber(qint64 value)
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(value);
}

// Why the reader's last write failed, in the program's language.
QString WriteFailureReason(const TID3v2Reader& reader, const TEintragdaten& entry)
{
    return TagErrorReason(reader.LastErrorKind(), TFileAccess::Write, entry.ID3v2Major, reader.LastError());
}

// Why the entry's tags may not be written now: they were not read whole, or
// another program changed the file since they were read. None when they may.
TTagError WriteProblem(const TEintragdaten& entry)
{
    const TTagError problem = EntryProblem(entry);
    if (problem == TTagError::None && ChangedSinceRead(entry))
        return TTagError::ChangedElsewhere;
    return problem;
}

// "name (reason)" of a file whose tags were left as they are.
QString SkippedFile(const TEintragdaten& entry, TTagError problem)
{
    return NameWithReason(entry.FileName, TagErrorReason(problem, TFileAccess::Write, entry.ID3v2Major));
}

// The status of one selected file: a file whose tags cannot be changed shows
// them read-only, and the status tells why.
QString OneFileStatus(const TEintragdaten& entry)
{
    const QString problem = EntryStateToolTip(entry);
    return problem.isEmpty() ? Lang("StatusBarSelOne") : problem;
}

// A control the focus may go back to: enabled, focusable and not hidden
// inside the window.
bool CanTakeFocus(const QWidget& control, const QWidget& window)
{
    return control.isEnabled() && control.focusPolicy() != Qt::NoFocus && control.isVisibleTo(&window);
}

}

void TFQuillon::CommitEdits()
{
    if (m_saving)
        return; // the running save writes what is changed
    {
        const TWaitCursor wait;
        ApplyInputsToSelection();
    }
    // The save shows its own wait cursor, and none while it asks.
    SaveChangedEntries();
}

void TFQuillon::ApplyInputsToSelection()
{
    struct TPending {
        TID3v2Frame* Input;
        const TID3Frame* Frame;
        bool ReadOnlyOnly;
        bool EachFilesOwn;
    };
    std::vector<TPending> pending;
    for (TID3v2Frame* input : m_pageInputs) {
        if (!input->IsDataChanged() || m_appliedInputs.contains(input->Identity()))
            continue;
        const bool readOnlyOnly = m_readOnlyOnlyInputs.contains(input->Identity());
        pending.push_back(
            {input, readOnlyOnly ? nullptr : input->GetFrame(), readOnlyOnly, input->KeepsEachFilesPart()});
    }
    for (const TPending& change : pending)
        m_appliedEdits.Remember(change.Input->Identity(), m_entries);
    for (const auto& entry : m_entries) {
        if (!entry->Edited)
            continue;
        for (const TPending& change : pending) {
            if (change.ReadOnlyOnly)
                SetInputReadOnlyFlag(*entry, *change.Input);
            else if (change.EachFilesOwn)
                SetInputFrame(*entry, *change.Input,
                              change.Input->GetFrameFor(InputFrameOf(*entry, change.Input->Identity())));
            else
                SetInputFrame(*entry, *change.Input, change.Frame);
        }
    }
    for (const TPending& change : pending)
        m_appliedInputs.insert(change.Input->Identity());
}

bool TFQuillon::HasModifiedInputs() const
{
    return std::any_of(m_pageInputs.begin(), m_pageInputs.end(), [this](const TID3v2Frame* input) {
        return input->IsDataChanged() && !m_appliedInputs.contains(input->Identity());
    });
}

void TFQuillon::InputEditedByUser(TID3v2Frame* input)
{
    const quint32 identity = input->Identity();
    m_appliedInputs.remove(identity);
    m_readOnlyOnlyInputs.remove(identity);
    // The field's own undo took it back to what it showed when loaded: what
    // its edit changed in the entries goes back too, and nothing is written
    // for it.
    if (!input->IsDataChanged() && m_appliedEdits.Contains(identity)) {
        m_appliedEdits.TakeBack(identity);
        RefreshVisibleRows();
    }
}

bool TFQuillon::WriteEntryTag(TEintragdaten& entry)
{
    const QString path = entry.PathKey();
    ID3v2Reader1.FileName = path;
    if (!m_undoList.FollowRewrite(path, [&] { return ID3v2Reader1.WriteTags(entry.Frames); }))
        return false;
    m_undoList.AddTagWritten(path);
    return true;
}

void TFQuillon::SaveChangedEntries()
{
    if (m_saving)
        return;
    // Edits still waiting in the inputs are written with the rest, so that
    // none is left to be applied to entries read back from their files.
    ApplyInputsToSelection();
    const int total = static_cast<int>(
        std::count_if(m_entries.begin(), m_entries.end(), [](const TEintragdatenPtr& e) { return e->Changed != 0; }));
    if (total == 0)
        return;

    // Every changed entry is read back in the end, written or not.
    bool editedReadBack = false;
    std::vector<TFailedWrite> failures;
    QStringList skipped;
    {
        const TFlagSet saving(m_saving);
        {
            const TWaitCursor wait;
            // Events run after each file; entries are therefore taken by
            // index and the failures kept by path, never by address.
            int done = 0;
            for (size_t i = 0; i < m_entries.size(); ++i) {
                TEintragdaten& entry = *m_entries[i];
                if (!entry.Changed)
                    continue;
                editedReadBack = editedReadBack || entry.Edited;
                const TTagError problem = WriteProblem(entry);
                if (problem != TTagError::None) {
                    // A tag that was not read whole, or that another
                    // program changed since, is never replaced: the edits
                    // of this file are dropped, and the user told.
                    skipped << SkippedFile(entry, problem);
                    ReadEntry(entry);
                } else if (WriteEntryTag(entry)) {
                    ReadEntry(entry);
                } else {
                    failures.push_back({entry.PathKey(), WriteFailureReason(ID3v2Reader1, entry)});
                }
                ShowSaveProgress(++done, total);
            }
        }
        RetryFailedWrites(failures, skipped);
        for (const TFailedWrite& failure : failures)
            if (TEintragdaten* entry = FindEntryByPath(failure.Path))
                ReadEntry(*entry);
        ShowSaveProgress(0, 0);
    }
    if (!skipped.isEmpty())
        CurrentPrompt()->Information(this, LangFmt("ErrorTagsNotWritable", {NamesPrecededByBreak(skipped)}));
    // Repaints the rows too: what was written may match the search now.
    ApplySearch();
    // The inputs show what the files now hold; their frames carry the
    // inputs' identities again.
    if (editedReadBack) {
        UpdateStatusAndFileInfo();
        ShowSelectionInInputs();
    }
}

void TFQuillon::RetryFailedWrites(std::vector<TFailedWrite>& failures, QStringList& skipped)
{
    while (!failures.empty()) {
        // Each name with its own reason.
        QStringList names;
        for (const TFailedWrite& failure : failures)
            names << NameWithReason(ShownNameOfPath(failure.Path), failure.Reason);
        const QString text = LangFmt("ErrorSavingTag", {NamesFollowedByBreak(names)});
        if (CurrentPrompt()->Ask(this, TPromptIcon::Error, text, pbYes | pbNo) != pbYes)
            return;
        const TWaitCursor wait;
        std::vector<TFailedWrite> stillFailing;
        for (const TFailedWrite& failure : failures) {
            TEintragdaten* entry = FindEntryByPath(failure.Path);
            if (!entry)
                continue; // gone from the list meanwhile
            if (WriteProblem(*entry) == TTagError::ChangedElsewhere) {
                skipped << SkippedFile(*entry, TTagError::ChangedElsewhere);
                ReadEntry(*entry);
            } else if (WriteEntryTag(*entry))
                ReadEntry(*entry);
            else
                stillFailing.push_back({failure.Path, WriteFailureReason(ID3v2Reader1, *entry)});
        }
        failures = std::move(stillFailing);
    }
}

void TFQuillon::ShowSaveProgress(int done, int total)
{
    ProgressLaden->setValue(total > 0 ? static_cast<int>(std::lround(done * 100.0 / total)) : 0);
    if (total > 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFQuillon::UpdateSelectionState()
{
    m_firstEditedIndex = -1;
    m_editedCount = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!m_entries[i]->Edited)
            continue;
        if (m_firstEditedIndex < 0)
            m_firstEditedIndex = static_cast<int>(i);
        ++m_editedCount;
    }
    UpdateTemplateCheckBox();
    UpdateStatusAndFileInfo();
    ShowSelectionInInputs();
    UpdateActions();
}

void TFQuillon::UpdateTemplateCheckBox()
{
    CbxVorgabe->setVisible(m_editedCount < 2);
    if (m_editedCount >= 2)
        return;
    CbxVorgabe->setEnabled(m_editedCount > 0);
    const bool isTemplate = m_editedCount > 0 && m_firstEditedIndex >= 0
                            && static_cast<size_t>(m_firstEditedIndex) < m_entries.size()
                            && m_entries[static_cast<size_t>(m_firstEditedIndex)].get() == m_templateEntry;
    const QSignalBlocker quiet(CbxVorgabe);
    CbxVorgabe->setChecked(isTemplate);
}

void TFQuillon::UpdateStatusAndFileInfo()
{
    int count = 0;
    const TEintragdaten* first = nullptr;
    qint64 size = 0;
    qint64 length = 0;
    bool rawName = false;
    for (const auto& entry : m_entries) {
        if (!entry->Edited)
            continue;
        if (!first)
            first = entry.get();
        ++count;
        size += entry->Size;
        length += entry->Length;
        rawName = rawName || entry->HasRawName();
    }
    // A selected file whose name is not valid UTF-8 shows replacement
    // characters; the status says why.
    const QString mark = rawName ? NameNotValidUTF8Mark() : QString();
    if (count == 0)
        SetStatusText(0, Lang("StatusBarSelNothing"));
    else if (count == 1)
        SetStatusText(1, OneFileStatus(*first) + mark);
    else
        SetStatusText(2, LangFmt("StatusBarSelMulti", {QString::number(count)}) + mark);
    ShowFileInfo(count, count == 1 ? first : nullptr, size, length);
}

void TFQuillon::ShowFileInfo(int count, const TEintragdaten* single, qint64 size, qint64 lengthMs)
{
    EDateiName->setText(single ? single->FileName : QString());
    EDateiDatum->setText(single ? FileDateToText(single->LastWriteNs) : QString());
    EMP3Info->setText(single ? GetColumnText(*single, QStringLiteral("*MPG")) + QStringLiteral("; ")
                                   + GetColumnText(*single, QStringLiteral("*BIT"))
                             : QString());
    if (count == 0) {
        EGroesse->clear();
        ELaenge->clear();
        return;
    }
    const TLangArgs sizes = {GroupedNumber(std::llround(static_cast<double>(size) / 1024.0)), GroupedNumber(size)};
    const TLangArgs lengths = {DurationToText(lengthMs), GroupedNumber(lengthMs / 1000)};
    EGroesse->setText(count == 1 ? LangFmt("MP3InfoSize", sizes) : LangFmt("MP3InfoSizeMany", sizes));
    ELaenge->setText(count == 1 ? LangFmt("MP3InfoLength", lengths) : LangFmt("MP3InfoLengthMany", lengths));
}

void TFQuillon::ClearPageInputs()
{
    std::vector<TID3v2Frame*> kept;
    kept.reserve(m_pageInputs.size());
    for (TID3v2Frame* input : m_pageInputs) {
        input->Clear();
        if (input->KillOnClear())
            DisposeInput(input);
        else
            kept.push_back(input);
    }
    m_pageInputs = std::move(kept);
    m_appliedInputs.clear();
    m_appliedEdits.Clear();
    m_readOnlyOnlyInputs.clear();
}

TID3v2Frame* TFQuillon::InputForFrame(const TID3Frame& frame, const QSet<TID3v2Frame*>& seen) const
{
    const bool multiple = IsMultipleFrame(frame.FrameID);
    for (TID3v2Frame* input : m_pageInputs) {
        if (input->FrameID() != frame.FrameID)
            continue;
        if (!multiple)
            return input;
        // Of the frames several of which may coexist, an input takes the one
        // it shows already, or any when it shows none yet; two distinct
        // frames of one file never share an input.
        const TID3Frame* shown = input->GetFrame();
        if (shown ? IsSameFrame(*shown, frame) : !seen.contains(input))
            return input;
    }
    return nullptr;
}

TID3v2Frame* TFQuillon::CreateExtraInput(const QString& id, bool afterOtherFiles)
{
    TID3v2Frame* input = CreateFrameInput(SBoxWeitereFelder, id, false);
    if (!input)
        return nullptr;
    input->SetKillOnClear(true);
    // Files shown before lacked this frame.
    if (afterOtherFiles)
        input->AddFrame(nullptr);
    return input;
}

void TFQuillon::ShowSelectionInInputs()
{
    const TUpdatesLock lock(this);
    const QPointer<QWidget> focused = focusWidget();
    ClearPageInputs();
    bool extras = false;
    int shownEntries = 0;
    const TEintragdaten* shownEntry = nullptr;
    QSet<TID3v2Frame*> seen;
    for (const auto& entry : m_entries) {
        if (!entry->Edited)
            continue;
        shownEntry = entry.get();
        seen.clear();
        for (const TID3FramePtr& frame : entry->Frames) {
            TID3v2Frame* input = InputForFrame(*frame, seen);
            if (!input) {
                input = CreateExtraInput(frame->FrameID, shownEntries > 0);
                if (!input)
                    continue;
                extras = true;
            }
            frame->UniqueNumber = input->Identity();
            input->AddFrame(frame.get());
            seen.insert(input);
        }
        // This file lacks the frames of the other inputs.
        for (TID3v2Frame* input : m_pageInputs)
            if (!seen.contains(input))
                input->AddFrame(nullptr);
        ++shownEntries;
    }
    // A file whose tags cannot be changed shows them read-only while it is
    // the only one shown; among others, its edits are skipped when saving.
    const bool readOnly = shownEntries == 1 && EntryProblem(*shownEntry) != TTagError::None;
    for (TID3v2Frame* input : m_pageInputs)
        input->SetReadOnly(readOnly);
    SBoxWeitereFelder->setVisible(extras);
    PanKeineWeiterenFelder->setVisible(!extras);
    if (focused && focusWidget() != focused && CanTakeFocus(*focused, *this))
        focused->setFocus();
}

TID3v2Frame* TFQuillon::FocusedFrameInput() const
{
    for (QWidget* control = focusWidget(); control && control != this; control = control->parentWidget()) {
        auto* input = qobject_cast<TID3v2Frame*>(control);
        if (!input)
            continue;
        const bool listed = std::find(m_pageInputs.begin(), m_pageInputs.end(), input) != m_pageInputs.end();
        return listed ? input : nullptr;
    }
    return nullptr;
}

void TFQuillon::ActFrameReadOnlyExecute()
{
    TID3v2Frame* input = FocusedFrameInput();
    if (!input || input->IsReadOnly()) {
        CurrentPrompt()->Beep();
        return;
    }
    const quint32 identity = input->Identity();
    const bool valueEdited = input->IsDataChanged() && !m_appliedInputs.contains(identity)
                             && !m_readOnlyOnlyInputs.contains(identity);
    input->SetFrameReadOnly(!input->GetFrameReadOnly());
    // Without an edit of the value, only the flag goes to the files: the
    // input shows the first file's value, which the others need not share.
    if (!valueEdited)
        m_readOnlyOnlyInputs.insert(identity);
}

TFQuillon::TFrameReadOnlyState TFQuillon::ActFrameReadOnlyUpdate() const
{
    const TID3v2Frame* input = FocusedFrameInput();
    return {input && !input->IsReadOnly(), input && input->GetFrameReadOnly()};
}
