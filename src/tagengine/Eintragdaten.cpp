#include "tagengine/Eintragdaten.h"

#include "platform/FileRename.h"
#include "platform/NativePath.h"
#include "tagengine/DisplayTexts.h"
#include "tagengine/UndoJournal.h"

#include <QFile>

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
        NativeFolder.clear();
        NativeName.clear();
    }
}

QByteArray TEintragdaten::NativePath() const
{
    if (NativeFolder.isEmpty() && NativeName.isEmpty())
        return QFile::encodeName(FullPath());
    return (NativeFolder.isEmpty() ? QFile::encodeName(Folder) : NativeFolder)
           + (NativeName.isEmpty() ? QFile::encodeName(FileName) : NativeName);
}

QString TEintragdaten::PathKey() const
{
    if (NativeFolder.isEmpty() && NativeName.isEmpty())
        return FullPath();
    return PathFromNative(NativePath());
}

QString TEintragdaten::NameKey() const
{
    return NativeName.isEmpty() ? FileName : PathFromNative(NativeName);
}

QByteArray TEintragdaten::NativeSibling(const QString& name) const
{
    return (NativeFolder.isEmpty() ? QFile::encodeName(Folder) : NativeFolder) + NativeFromPath(name);
}

void TEintragdaten::SetNativePath(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = path.left(slash + 1);
    const QByteArray name = path.mid(slash + 1);
    const bool plainFolder = IsPlainNativeName(folder);
    const bool plainName = IsPlainNativeName(name);
    Folder = QFile::decodeName(folder);
    FileName = QFile::decodeName(name);
    NativeFolder = plainFolder ? QByteArray() : folder;
    NativeName = plainName ? QByteArray() : name;
}

void TEintragdaten::SetFrame(const QString& id, const TID3Frame* frame, quint32 uniqueNumber)
{
    Changed = 1;
    ::SetFrame(Frames, id, frame, uniqueNumber);
}

bool TEintragdaten::RenameFile(const QString& newName, TQLNUndoList* undoList)
{
    const QString oldPath = PathKey();
    const QByteArray newPath = NativeSibling(newName);
    // Bodies left in the file are found by its path: fetch them while the
    // path still names the file.
    LoadDeferredBodies(Frames);
    if (!RenameNoReplace(NativePath(), newPath))
        return false;
    SetNativePath(newPath);
    if (undoList)
        undoList->AddRename(PathKey(), oldPath);
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
