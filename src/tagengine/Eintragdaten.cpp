#include "tagengine/Eintragdaten.h"

#include "platform/FileRename.h"
#include "tagengine/DisplayTexts.h"
#include "tagengine/UndoJournal.h"

void TEintragdaten::Clear(bool withName)
{
    ReadFailed = VersionUnsupported = PartlyRead = Changed = Edited = Selected = 0;
    ReadError = TTagError::None;
    Size = 0;
    Attributes = 0;
    LastWriteNs = 0;
    HasID3v1 = HasID3v2 = ID3v2Major = ID3v2Revision = 0;
    Length = 0;
    MPEGInfo.Clear();
    Frames.clear();
    ID3v1.Clear();
    if (withName) {
        Folder.clear();
        FileName.clear();
    }
}

void TEintragdaten::SetFrame(const QString& id, const TID3Frame* frame, quint32 uniqueNumber)
{
    Changed = 1;
    ::SetFrame(Frames, id, frame, uniqueNumber);
}

bool TEintragdaten::RenameFile(const QString& newName, TQLNUndoList* undoList)
{
    const QString oldPath = Folder + FileName;
    const QString newPath = Folder + newName;
    // Bodies left in the file are found by its path: fetch them while the
    // path still names the file.
    LoadDeferredBodies(Frames);
    if (!RenameNoReplace(oldPath, newPath))
        return false;
    const QString oldName = FileName;
    FileName = newName;
    if (undoList)
        undoList->AddRename(newPath, Folder + oldName);
    return true;
}

bool MatchesSearchText(const QString& fieldId, const QString& text, const TEintragdaten& entry)
{
    const bool searchable = fieldId.startsWith(QLatin1Char('T')) || fieldId.startsWith(QLatin1Char('*'))
                            || fieldId == QLatin1String("COMM");
    if (!searchable)
        return false;
    return GetColumnText(entry, fieldId).toLower().contains(text);
}

bool TEintragdaten::MatchesSearchFields(const QString& fieldId, const QString& text) const
{
    if (!fieldId.isEmpty())
        return MatchesSearchText(fieldId, text, *this);
    if (MatchesSearchText(QStringLiteral("*FIN"), text, *this))
        return true;
    for (const auto& f : Frames)
        if (MatchesSearchText(f->FrameID, text, *this))
            return true;
    return false;
}

bool TEintragdaten::MatchesSearch(const TMP3SearchConfig& config) const
{
    return MatchesSearchFields(config.FieldID, config.Text);
}
