#pragma once

#include "tagengine/ID3Frame.h"
#include "tagengine/ID3v1Infos.h"
#include "tagengine/MP3Info.h"
#include "tagengine/TagError.h"

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
    QString Folder;        // ends with "/"
    QString FileName;      // name with extension
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

    QString FullPath() const { return Folder + FileName; }

    // Zeroes the state, file data and tags; the names go only with withName.
    void Clear(bool withName);
    // Marks the entry changed and sets the frame (see ::SetFrame).
    void SetFrame(const QString& id, const TID3Frame* frame, quint32 uniqueNumber);
    // Renames the file inside its folder without ever replacing another file.
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
