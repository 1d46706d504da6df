#pragma once

#include "tagengine/ID3Frame.h"
#include "tagengine/ID3v1Infos.h"
#include "tagengine/MP3Info.h"
#include "tagengine/TagError.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class TQLNUndoList;

// What the search box looks for: a frame or column ID (empty = the file name,
// then every frame) and the text, already lower-cased.
class TMP3SearchConfig {
public:
    QString FieldID;
    QString Text;
};

// One file of the file list.
class TEintragdaten {
public:
    TEintragdaten() = default;

    quint8 ReadFailed = 0;
    TTagError ReadError = TTagError::None; // why the read failed (with ReadFailed)
    quint8 VersionUnsupported = 0;
    // The ID3v2 tag could not be read whole (see TID3v2Reader::PartlyRead):
    // its frames are incomplete and it is not replaced by a save.
    quint8 PartlyRead = 0;
    quint8 Changed = 0;
    quint8 Edited = 0;
    quint8 Selected = 0;
    QString Folder;        // ends with "/"; as shown (see platform/NativePath.h)
    QString FileName;      // name with extension, as shown
    // The bytes of folder and name on disk where the shown text does not give
    // them back (names that are not valid UTF-8); empty for every other name.
    QByteArray NativeFolder; // ends with "/"
    QByteArray NativeName;
    qint64 Size = 0;
    quint32 Attributes = 0;
    qint64 LastWriteNs = 0; // last modification, nanoseconds since the epoch (UTC)
    quint8 HasID3v1 = 0;
    quint8 HasID3v2 = 0;
    quint8 ID3v2Major = 0;
    quint8 ID3v2Revision = 0;
    qint64 Length = 0;     // milliseconds
    TMP3Info MPEGInfo;
    TID3FrameList Frames;
    TID3v1Infos ID3v1;

    // The path as shown.
    QString FullPath() const { return Folder + FileName; }
    // The path in the file system's encoding: every system call on the
    // entry's file takes this.
    QByteArray NativePath() const;
    // The path text that names exactly this file (FullPath() for valid
    // names): what the program keeps, compares and hands to the tag reader,
    // the undo journal and the renames as the entry's path.
    QString PathKey() const;
    // The file name as a path text (FileName for valid names): what a
    // command that changes a name works on, so that bytes it does not touch
    // stay as they are.
    QString NameKey() const;
    // The path of another name in the entry's folder, in the file system's
    // encoding; name is a path text.
    QByteArray NativeSibling(const QString& name) const;
    // The file name is not valid UTF-8 (the list marks it).
    bool HasRawName() const { return !NativeName.isEmpty(); }
    // Takes a new path (after a rename or a move), given in the file
    // system's encoding.
    void SetNativePath(const QByteArray& path);

    // Zeroes the state, file data and tags; the names go only with withName.
    void Clear(bool withName);
    // Marks the entry changed and sets the frame (see ::SetFrame).
    void SetFrame(const QString& id, const TID3Frame* frame, quint32 uniqueNumber);
    // Renames the file inside its folder without ever replacing another file.
    // newName is a path text: typed names and names from tags are plain text,
    // a name that is not valid UTF-8 (an undo) carries its escaped bytes.
    // On success the new name is kept and, with an undo list, journalled.
    // Frame bodies still left in the file are loaded first. (The main window
    // renames only through TFQuillon::RenameEntry, which keeps its lookup.)
    bool RenameFile(const QString& newName, TQLNUndoList* undoList);
    bool MatchesSearch(const TMP3SearchConfig& config) const;
    bool MatchesSearchFields(const QString& fieldId, const QString& text) const;
};

bool MatchesSearchText(const QString& fieldId, const QString& text, const TEintragdaten& entry);

using TEintragdatenPtr = std::unique_ptr<TEintragdaten>;
// The owning list of the loaded folder's entries.
using TEintragdatenList = std::vector<TEintragdatenPtr>;
