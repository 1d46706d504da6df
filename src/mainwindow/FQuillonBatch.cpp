// Commands that change many selected files through a dialog: numbering
// tracks, replacing text in fields and file names and copying ID3v1 fields
// into the ID3v2 frames.
#include "mainwindow/FQuillon.h"

#include "mainwindow/BatchRenames.h"
#include "mainwindow/BatchRun.h"
#include "commands/EntryFrames.h"
#include "mainwindow/FailureLists.h"
#include "commands/FileNameParts.h"
#include "dialogs/FormID3v1ToID3v2.h"
#include "dialogs/FormReplaceInfos.h"
#include "dialogs/FormTrackNr.h"
#include "commands/TextReplace.h"
#include "commands/TrackNumbers.h"

#include "localisation/MultiLanguage.h"
#include "platform/Prompt.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v1Block.h"

#include <QSet>

namespace {

const QString FileNameField = QStringLiteral("*FIN");

// --- Track numbers ---

void NumberTracks(TFQuillon& window)
{
    if (!SelectedOrBeep(window))
        return;
    TTrackNrEinstellungen settings;
    {
        TFormTrackNr form(&window);
        if (!form.Execute(settings))
            return;
    }
    window.ApplyInputsToSelection();
    std::vector<TTrackNrMp3> items;
    items.reserve(static_cast<size_t>(window.EditedCount()));
    for (const TEintragdatenPtr& entry : window.Entries())
        if (entry->Edited)
            items.push_back({entry.get(), -1, -1});
    AssignTrackNumbers(items, settings);
    QStringList unnumbered;
    size_t next = 0; // the items are the selected entries in list order
    RunOverSelection(window, [&](TEintragdaten& entry) {
        const TTrackNrMp3& item = items.at(next++);
        const QString text = TrackText(item.Number, item.Total);
        if (text.isEmpty())
            unnumbered << entry.FileName;
        else
            SetSingleTextFrame(entry, QStringLiteral("TRCK"), text);
        return false;
    });
    window.RefreshVisibleRows();
    window.ShowSelectionInInputs();
    if (!unnumbered.isEmpty()) {
        QString names;
        for (const QString& name : std::as_const(unnumbered))
            names += name + QStringLiteral("\r\n");
        CurrentPrompt()->Information(&window, LangFmt("ErrorNoTrackFound", {names}));
    }
}

// --- Replacing text ---

struct TReplacement {
    QString Search;
    QString Replacement;
    bool IgnoreCase = true;
    QStringList FieldIds;
};

TNameChange ReplaceInFileName(TFQuillon& window, TEintragdaten& entry, const TReplacement& what)
{
    const QString stem = SplitFileName(entry.NameKey()).Stem;
    return RenameToStem(window, entry, ReplaceText(stem, what.Search, what.Replacement, what.IgnoreCase));
}

// Replaces in the entry's first frame of the ID; true when its text changed.
bool ReplaceInFrame(TEintragdaten& entry, const QString& id, const TReplacement& what)
{
    TID3Frame* frame = FindFrame(entry.Frames, id);
    if (!frame || frame->Encryption)
        return false;
    try {
        const QString text = GetFrameAsText(*frame);
        const QString replaced = ReplaceText(text, what.Search, what.Replacement, what.IgnoreCase);
        if (replaced == text)
            return false;
        SetFrameAsText(*frame, replaced);
    } catch (const TFrameTextError&) {
        return false; // neither text, link nor comment
    }
    entry.Changed = 1;
    return true;
}

void ReplaceInFrames(TFQuillon& window)
{
    if (!SelectedOrBeep(window))
        return;
    TReplacement what;
    {
        TFormReplaceInfos form(&window);
        if (!form.Execute(what.Search, what.IgnoreCase, what.FieldIds, what.Replacement))
            return;
    }
    window.ApplyInputsToSelection();
    QSet<QString> counted; // paths of the entries with a replacement
    QStringList failedPaths;
    TFailureReasons reasons;
    QStringList unusable;
    RunOverSelection(window, [&](TEintragdaten& entry) {
        bool changed = false;
        bool renamed = false;
        for (const QString& id : std::as_const(what.FieldIds)) {
            if (id.size() < 4)
                continue;
            if (id == FileNameField) {
                const QString path = entry.PathKey();
                const TNameChange change = ReplaceInFileName(window, entry, what);
                renamed = change == TNameChange::Renamed;
                if (change == TNameChange::Failed)
                    AddFailure(failedPaths, reasons, path);
                else if (change == TNameChange::Unusable)
                    unusable << entry.FileName;
                changed = changed || renamed;
            } else if (!id.startsWith(QLatin1Char('*'))) {
                changed = ReplaceInFrame(entry, id, what) || changed;
            }
        }
        if (changed)
            counted.insert(entry.PathKey());
        return renamed;
    });
    const QStringList retried = RetryFailedFiles(
        window, failedPaths, "ErrorRenameFileMany",
        [&](TEintragdaten& entry) { return ReplaceInFileName(window, entry, what) == TNameChange::Renamed; },
        &reasons);
    int count = counted.size();
    for (const QString& path : retried)
        if (!counted.contains(path))
            ++count;
    ReportUnusableNames(window, unusable);
    window.RefreshVisibleRows();
    window.UpdateStatusAndFileInfo();
    window.ShowSelectionInInputs();
    CurrentPrompt()->Information(&window, LangFmt("ReplaceFramesInfo", {count}));
}

// --- ID3v1 into ID3v2 ---

// The fields of the mask whose ID3v1 value is not merely what the ID3v1
// block would hold for the entry's frames anyway (cut to 30 characters,
// other letters replaced, a date cut to its year, a track without its
// total): copying such a value back would damage the frame.
int FieldsToCopy(const TEintragdaten& entry, int mask)
{
    const TID3v1Infos rendering = DecodeID3v1Block(BuildID3v1Block(entry.Frames));
    int fields = 0;
    for (int field = 1; field <= ID3v1Field::Year; field <<= 1)
        if ((mask & field) && ID3v1FieldText(entry.ID3v1, field) != ID3v1FieldText(rendering, field))
            fields |= field;
    return fields;
}

// ID, flags and body of every frame the ID3v1 fields may change, in order.
QList<QByteArray> CopiedFramesState(const TID3FrameList& frames)
{
    static const QStringList ids = {QStringLiteral("TIT2"), QStringLiteral("TPE1"), QStringLiteral("TALB"),
                                    QStringLiteral("COMM"), QStringLiteral("TCON"), QStringLiteral("TRCK"),
                                    QStringLiteral("TDRC")};
    QList<QByteArray> state;
    for (const TID3FramePtr& frame : frames) {
        if (!ids.contains(frame->FrameID))
            continue;
        const char flags[] = {char(frame->TagAlterPreservation), char(frame->FileAlterPreservation),
                              char(frame->ReadOnly),  char(frame->Grouping), char(frame->GroupId)};
        state << frame->FrameID.toLatin1() + QByteArray(flags, sizeof flags) + frame->Body();
    }
    return state;
}

// Copies the chosen ID3v1 fields of the entry into its frames; true when the
// file is to be written. Files without an ID3v1 block are left alone. A file
// with only an ID3v1 block already shows that block's fields as its frames:
// for it the transfer is what gives it an ID3v2 tag.
bool CopyID3v1(TEintragdaten& entry, int mask, bool overwriteWithEmpty)
{
    if (!entry.HasID3v1)
        return false;
    const QList<QByteArray> before = CopiedFramesState(entry.Frames);
    if (const int fields = FieldsToCopy(entry, mask))
        TID3v2Reader::CopyID3v1ToFrames(entry.Frames, entry.ID3v1, overwriteWithEmpty, fields);
    const QList<QByteArray> after = CopiedFramesState(entry.Frames);
    return after != before || (!entry.HasID3v2 && !after.isEmpty());
}

void ID3v1IntoID3v2(TFQuillon& window)
{
    if (window.GetWriterVersion() == ivID3v1) {
        CurrentPrompt()->Beep();
        return;
    }
    if (!SelectedOrBeep(window))
        return;
    TID3v1Infos preview;
    if (window.EditedCount() == 1)
        preview = window.Entries()[static_cast<size_t>(window.FirstEditedIndex())]->ID3v1;
    quint8 mask = ID3v1Field::All;
    bool overwriteWithEmpty = false;
    {
        TFormID3v1ToID3v2 form(&window);
        if (!form.Execute(preview, mask, overwriteWithEmpty) || mask == 0)
            return;
    }
    window.ApplyInputsToSelection();
    RunOverSelection(window, [&](TEintragdaten& entry) {
        if (CopyID3v1(entry, mask, overwriteWithEmpty))
            entry.Changed = 1;
        return false;
    });
    window.RefreshVisibleRows();
    window.ShowSelectionInInputs();
}

}

void TFQuillon::BindBatchActions()
{
    const auto selected = [this] { return m_firstEditedIndex >= 0; };
    BindAction(QStringLiteral("ActAutoTrackNo"), [this] { NumberTracks(*this); }, selected);
    BindAction(QStringLiteral("ActReplaceInFrames"), [this] { ReplaceInFrames(*this); }, selected);
    BindAction(QStringLiteral("ActID3v2ToID3v1"), [this] { ID3v1IntoID3v2(*this); },
               [this, selected] { return selected() && GetWriterVersion() != ivID3v1; });
}
