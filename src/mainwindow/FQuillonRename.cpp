// Renaming files by hand and from their tags, tags from file names, and the
// file-name presets.
#include "mainwindow/FQuillon.h"

#include "controls/Accelerators.h"
#include "mainwindow/BatchRenames.h"
#include "mainwindow/FailureLists.h"
#include "commands/FileNameParts.h"
#include "controls/Guarded.h"
#include "mainwindow/MessageLists.h"

#include "localisation/MultiLanguage.h"
#include "platform/NativePath.h"
#include "platform/Prompt.h"
#include "tagengine/FrameCodecs.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QModelIndex>
#include <QTreeView>

#include <cerrno>
#include <optional>


namespace {

// A typed name must still name a file of its own.
bool IsUsableStem(const QString& stem)
{
    return !stem.isEmpty() && stem != QLatin1String(".") && stem != QLatin1String("..");
}

// A track or part number from a file name: ASCII digits only, written without
// leading zeros; nothing for any other text.
std::optional<QString> NumberFromFilename(const QString& text)
{
    for (const QChar c : text)
        if (!IsASCIIDigit(c))
            return std::nullopt;
    qsizetype first = 0;
    while (first < text.size() - 1 && text.at(first) == QLatin1Char('0'))
        ++first;
    return text.mid(first);
}

// Naming the selected files from their tags by the window's pattern: what
// became of each, told when all are done.
class TNamesFromTags {
public:
    explicit TNamesFromTags(TFQuillon& window) : m_window(window) {}

    // Names the entry; a rename that failed is offered again by Report.
    void Name(TEintragdaten& entry)
    {
        const QString path = entry.PathKey();
        if (!Attempt(entry))
            AddFailure(m_failedPaths, m_reasons, path);
    }

    // Asks again (Yes/No) while renames fail, then tells which files kept
    // their names for empty fields or names that cannot be, and which names
    // were cut.
    void Report()
    {
        RetryFailedFiles(
            m_window, m_failedPaths, "ErrorRenameFileMany", [this](TEintragdaten& entry) { return Attempt(entry); },
            &m_reasons);
        if (!m_emptyFields.isEmpty())
            CurrentPrompt()->Information(&m_window,
                                         LangFmt("ErrorRenameEmptyFields", {NamesPrecededByBreak(m_emptyFields)}));
        ReportUnusableNames(m_window, m_unusable);
        if (!m_cut.isEmpty())
            CurrentPrompt()->Information(&m_window, LangFmt("RenameNamesCut", {NamesPrecededByBreak(m_cut)}));
    }

private:
    // One try, the extension kept; false when the rename failed and may
    // succeed another time. Long tags give a name cut to what the file
    // system takes.
    bool Attempt(TEintragdaten& entry)
    {
        bool allEmpty = false;
        const QString built = m_window.ID3FilenameParser.BuildFileName(&entry, allEmpty);
        if (allEmpty) {
            m_emptyFields << entry.FileName;
            return true;
        }
        const QString stem = StemThatFits(built, SplitFileName(entry.NameKey()).Extension);
        const bool cut = stem != built;
        switch (RenameToStem(m_window, entry, stem)) {
        case TNameChange::Unusable:
            m_unusable << entry.FileName;
            return true;
        case TNameChange::Failed:
            if (cut) // two tags that differ only behind the cut give one name
                m_reasons.Notes.insert(entry.PathKey(), Lang("RenameReasonNameCut"));
            return false;
        case TNameChange::Renamed:
            if (cut)
                m_cut << entry.FileName;
            return true;
        case TNameChange::Unchanged:
            break;
        }
        return true;
    }

    TFQuillon& m_window;
    QStringList m_failedPaths;
    TFailureReasons m_reasons;
    QStringList m_emptyFields;
    QStringList m_unusable;
    QStringList m_cut; // new names
};

}

void TFQuillon::BindRenameActions()
{
    BindAction(QStringLiteral("ActRenameFile"), [this] { ActRenameFileExecute(); },
               [this] { return ActRenameFileUpdate(); });
    BindAction(QStringLiteral("ActFilenameFromID3"), [this] { ActFilenameFromID3Execute(); },
               [this] { return ActID3FromFilenameUpdate(); });
    BindAction(QStringLiteral("ActID3FromFilename"), [this] { ActID3FromFilenameExecute(); },
               [this] { return ActID3FromFilenameUpdate(); });
    // The preset button only opens its menu.
    BindAction(QStringLiteral("ActChangeFileNamePreset"), nullptr);
    if (QMenu* presets = PopupMenu(QStringLiteral("PopFilenamePresets")))
        connect(presets, &QMenu::aboutToShow, this,
                [this] { RunGuarded(this, [this] { PopFilenamePresetsPopup(); }); });
}

bool TFQuillon::HasIllegalFileNameChars(const QString& name)
{
    static const QString illegal = QStringLiteral("\"*/:<>?\\|");
    for (const QChar c : name)
        if (illegal.contains(c))
            return true;
    return false;
}

bool TFQuillon::AskNewFileName(const QString& current, QString& newName)
{
    const TFileNameParts parts = SplitFileName(current);
    const std::optional<QString> typed =
        CurrentPrompt()->Input(this, Lang("RenameWindowTitle"), Lang("RenameWindowText"), parts.Stem);
    if (!typed)
        return false;
    newName = *typed + parts.Extension;
    return true;
}

bool TFQuillon::RenameEntry(TEintragdaten& entry, const QString& newName, bool journal)
{
    // After a failure errno tells the system's reason, or is 0.
    errno = 0;
    // A name that is not valid UTF-8 is shown with replacement characters:
    // taking the shown name as it is still gives the file a valid one.
    if (newName == entry.NameKey())
        return true;
    const QString oldPath = entry.PathKey();
    if (!entry.RenameFile(newName, journal ? &m_undoList : nullptr))
        return false;
    ReindexEntry(entry, oldPath);
    return true;
}

void TFQuillon::MoveEntryTo(TEintragdaten& entry, const QString& newPath)
{
    const QString oldPath = entry.PathKey();
    entry.SetNativePath(NativeFromPath(newPath));
    ReindexEntry(entry, oldPath);
}

void TFQuillon::ReindexEntry(TEintragdaten& entry, const QString& oldPath)
{
    if (!m_pathIndexValid)
        return;
    if (m_pathIndex.value(oldPath) == &entry)
        m_pathIndex.remove(oldPath);
    m_pathIndex.insert(entry.PathKey(), &entry);
}

bool TFQuillon::ActRenameFileUpdate() const
{
    if (m_firstEditedIndex >= 0)
        return true;
    return ShellTreeView1->hasFocus() && ShellTreeView1->currentIndex().isValid();
}

bool TFQuillon::ActID3FromFilenameUpdate() const
{
    return m_firstEditedIndex >= 0;
}

void TFQuillon::ActRenameFileExecute()
{
    if (ShellTreeView1->hasFocus()) {
        const QModelIndex node = ShellTreeView1->currentIndex();
        if (node.isValid())
            ShellTreeView1->edit(node);
        else
            CurrentPrompt()->Beep();
        return;
    }
    if (m_firstEditedIndex < 0 || static_cast<size_t>(m_firstEditedIndex) >= m_entries.size())
        return;
    TEintragdaten& entry = *m_entries[static_cast<size_t>(m_firstEditedIndex)];
    QString offered = entry.FileName;
    QString newName;
    while (AskNewFileName(offered, newName)) {
        offered = newName;
        const QString stem = SplitFileName(newName).Stem.trimmed();
        if (HasIllegalFileNameChars(newName))
            CurrentPrompt()->Error(this, Lang("ErrorFileNameLetters"));
        else if (stem.isEmpty())
            // An empty name would leave only the extension: a hidden ".mp3".
            CurrentPrompt()->Error(this, Lang("ErrorFileNameEmpty"));
        else if (!IsUsableStem(stem))
            CurrentPrompt()->Error(this, LangFmt("ErrorRenameFile", {entry.FileName}));
        else if (RenameEntry(entry, newName))
            break;
        // Taken by another file; a name that only differs in case on a file
        // system that ignores case is the file itself, and was renamed.
        else if (errno == EEXIST)
            CurrentPrompt()->Error(this, LangFmt("ErrorDoubleFileName", {newName}));
        else
            CurrentPrompt()->Error(this, LangFmt("ErrorRenameFile", {entry.FileName}));
    }
    RefreshVisibleRows();
    UpdateStatusAndFileInfo();
}

void TFQuillon::ActFilenameFromID3Execute()
{
    if (m_firstEditedIndex < 0) {
        CurrentPrompt()->Beep();
        return;
    }
    if (BeepWhenBusy())
        return;
    ID3FilenameParser.SetFilenameConstruct(m_settings.FileNamePattern);
    // Names are made only from tags the files hold: a name made from an edit
    // the user can still throw away would outlive it.
    CommitEdits();
    TNamesFromTags naming(*this);
    for (const auto& entry : m_entries)
        if (entry->Edited)
            naming.Name(*entry);
    naming.Report();
    RefreshVisibleRows();
    UpdateStatusAndFileInfo();
}

void TFQuillon::SetFrameFromFilenamePart(TEintragdaten& entry, const QString& frameId, const QString& text)
{
    if (frameId.isEmpty())
        return;
    QString value = text.trimmed();
    if (value.isEmpty()) {
        entry.SetFrame(frameId, nullptr, 0);
        return;
    }
    TID3Frame frame(frameId);
    if (frameId.startsWith(QLatin1Char('C'))) {
        SetCommentFrame(frame, SplitTextLines(value), QString(), QString());
    } else if (frameId.startsWith(QLatin1Char('T'))) {
        if (frameId == QLatin1String("TRCK") || frameId == QLatin1String("TPOS")) {
            const std::optional<QString> number = NumberFromFilename(value);
            if (!number)
                return;
            value = *number;
        }
        SetTextFrame(frame, QString(), QStringList{value});
    } else {
        return;
    }
    entry.SetFrame(frameId, &frame, 0);
}

void TFQuillon::ActID3FromFilenameExecute()
{
    if (m_firstEditedIndex < 0) {
        CurrentPrompt()->Beep();
        return;
    }
    ID3FilenameParser.SetFilenameConstruct(m_settings.FileNamePattern);
    ApplyInputsToSelection();
    for (const auto& entry : m_entries) {
        if (!entry->Edited)
            continue;
        ID3FilenameParser.ParseFileName(entry->FullPath());
        for (int i = 0; i < ID3FilenameParser.GetFrameContentCount(); ++i) {
            const TFrameContent& part = ID3FilenameParser.GetFrameContent(i);
            SetFrameFromFilenamePart(*entry, part.FrameID, part.Value);
        }
    }
    RefreshVisibleRows();
    ShowSelectionInInputs();
}

void TFQuillon::PopFilenamePresetsPopup()
{
    QMenu* menu = PopupMenu(QStringLiteral("PopFilenamePresets"));
    menu->clear();
    qDeleteAll(menu->findChildren<QActionGroup*>(Qt::FindDirectChildrenOnly));
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (int index = 0; index < m_fileNamePresets.Count(); ++index) {
        QString name;
        QString pattern;
        m_fileNamePresets.Get(index, name, true, pattern);
        QAction* item = menu->addAction(LiteralCaption(name));
        item->setCheckable(true);
        item->setChecked(pattern == m_settings.FileNamePattern);
        item->setData(index);
        group->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, index] { RunGuarded(this, [this, index] { SelectFileNamePreset(index); }); });
    }
}

void TFQuillon::SelectFileNamePreset(int index)
{
    QString name;
    QString pattern;
    if (!m_fileNamePresets.Get(index, name, false, pattern)) {
        CurrentPrompt()->Beep();
        return;
    }
    const bool currentIsPreset = m_fileNamePresets.Patterns().contains(m_settings.FileNamePattern);
    if (!currentIsPreset && !CurrentPrompt()->Question(this, Lang("FileNamePresetNotSaved")))
        return;
    m_settings.FileNamePattern = pattern;
}
