#pragma once

#include "tagengine/FileInformation.h"
#include "tagengine/ID3Frame.h"
#include "tagengine/ID3v1Infos.h"
#include "tagengine/MP3Info.h"
#include "tagengine/TagError.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class TUndoList;
class TUndoFile;
class TFileLayer;
class TPathMoves;
struct TTagRegions;
struct TRewriteJob;

// Version of the ID3v2 tag that WriteTags produces.
enum TID3Version { wivID3v2_3, wivID3v2_4 };

// Reads and writes the tags of one MP3 file at a time: the ID3v2 tag at the
// start (or appended with a footer), the first MPEG audio header with its
// Xing or VBRI header, and the ID3v1 block at the end. Every failure is a false
// result; LastError() tells why.
class TID3v2Reader {
public:
    TID3v2Reader();
    ~TID3v2Reader();
    TID3v2Reader(const TID3v2Reader&) = delete;
    TID3v2Reader& operator=(const TID3v2Reader&) = delete;

    // Options.
    QString FileName; // a path text (platform/NativePath.h): it may carry the bytes of a name that is not UTF-8
    bool ReadID3v2 = true;                 // parse the frames; else frames come from ID3v1
    bool CopyID3v2IfEmptyFromID3v1 = true; // no ID3v2 tag: frames from the ID3v1 block
    TID3Version WriteID3Version = wivID3v2_4;
    bool UseUnsynchronisation = false;
    int MinID3v2Size = 792;                // smallest tag written, bytes
    int MinID3v2Padding = 512;             // padding of a grown tag
    int MaxID3v2Padding = 2048;            // largest padding kept
    bool WriteID3v2 = true;
    bool WriteID3v1 = true;
    bool IgnoreWriteProtect = false;       // write files without write permission
    bool NeverChangeDate = true;           // keep access and modification times

    // Scans FileName. True when the file exists, is not empty and the scan
    // met no error; the results below hold what could be read either way.
    bool ReadTags();
    // Writes frames (v2.4 form; the list is not changed, and may be this
    // reader's own) as the options say. The ID3v1 block is rebuilt from the
    // frames, except for fields whose frame neither the file's tag nor the
    // frames carry: those keep their old ID3v1 value (nobody saw them).
    // True when the file now carries the new tags; on false it is unchanged.
    bool WriteTags(const TID3FrameList& frames);
    // Puts back the tags that the newest successful write of fileName
    // replaced, when the file still carries the tags that write produced.
    bool UndoWriteTags(const QString& fileName);

    // Fills frames from an ID3v1 record. Mask bits: 1 title, 2 artist,
    // 4 album, 8 comment, 16 genre, 32 track, 64 year. An empty value deletes
    // the frame when overwriteWithEmpty is set and is ignored otherwise.
    static void CopyID3v1ToFrames(TID3FrameList& frames, const TID3v1Infos& id3v1, bool overwriteWithEmpty,
                                  int mask);

    // Read results of the last scan.
    const TID3FrameList& Frames() const { return m_frames; }
    // Hands the frames over (the reader's list is empty afterwards).
    TID3FrameList TakeFrames();
    int GetFrameCount() const { return static_cast<int>(m_frames.size()); }
    TID3Frame* GetFrame(int index) const { return m_frames.at(static_cast<size_t>(index)).get(); }
    TID3Frame* FindFrame(const QString& id) const;
    void ClearFrames() { m_frames.clear(); }

    const TMP3Info& MPEGInfo() const { return m_mpegInfo; }
    const TID3v1Infos& ID3v1() const { return m_id3v1; }
    const QByteArray& OldID3v2Bytes() const { return m_oldID3v2; }
    const QByteArray& OldID3v1Bytes() const { return m_oldID3v1; }
    qint64 FileSize() const { return m_fileInfo.Size; }
    bool HasID3v2() const { return m_hasID3v2; }
    bool HasID3v1() const { return m_hasID3v1; }
    bool VersionUnsupported() const { return m_versionUnsupported; }
    // The tag could not be read whole (damaged, truncated, too large, a
    // header that cannot be read, a further tag before the audio): its frames
    // are incomplete and WriteTags refuses to replace it.
    bool PartlyRead() const { return m_partlyRead; }
    bool MPEGFound() const { return m_mpegFound; }
    qint64 Length() const { return m_length; } // milliseconds
    quint8 Major() const { return m_major; }
    quint8 Revision() const { return m_revision; }
    const TFileInformation& FileInformation() const { return m_fileInfo; }
    quint32 Attributes() const { return m_fileInfo.Attributes; }
    qint64 LastAccessNs() const { return m_fileInfo.LastAccessNs; }
    qint64 LastWriteNs() const { return m_fileInfo.LastWriteNs; }
    qint64 ID3v2Offset() const { return m_id3v2Offset; }
    qint64 ID3v2TotalSize() const { return m_id3v2TotalSize; }
    // The tag was found at the end of the file through its footer.
    bool ID3v2Appended() const { return m_id3v2Appended; }
    // Offset of the first audio frame header (end of the leading tag).
    qint64 AudioStart() const { return m_audioStart; }
    // Bytes between the audio and the ID3v1 block that belong to other tags
    // (APE, Lyrics3); they are neither audio nor replaced by a write.
    qint64 OtherTrailingTagSize() const { return m_otherTrailingSize; }
    const QString& LastError() const { return m_lastError; }
    // The kind of the last failure (None after a success).
    TTagError LastErrorKind() const { return m_lastErrorKind; }

    const TUndoList& UndoList() const { return *m_undoList; }
    TUndoList& UndoList() { return *m_undoList; }
    // The saved old tags follow files that were moved or whose folder was
    // renamed.
    void MoveUndoPaths(const TPathMoves& moves);
    // Drops the saved old tags of a file that is gone.
    void ForgetUndo(const QString& fileName);

    // Test seam: the file layer used by reads and writes (default: the real
    // system calls).
    void SetFileLayer(std::shared_ptr<TFileLayer> layer);

private:
    friend class TID3v2Scan;

    // Why a tag counts as partly read; the first reason found is kept.
    enum class TTagDamage { None, Frames, Header, FurtherTag };

    void ResetResults();
    void MarkPartlyRead(TTagDamage why);
    bool Fail(const QString& error, TTagError kind = TTagError::Other);
    // Scans before a write; false when the file cannot be read or, with
    // requireWholeTag, when its tag is not understood completely (it must
    // not be replaced then).
    bool ScanForWrite(bool requireWholeTag);
    TTagRegions ScannedRegions() const;
    std::optional<QByteArray> BuildNewID3v2(TID3FrameList frames);
    // ID3v1 fields (mask bits of CopyID3v1ToFrames) whose old value stays.
    int ID3v1FieldsToKeep(const TID3FrameList& frames) const;
    void RecordUndo(const TRewriteJob& job, qint64 newSize);
    bool CarriesWrittenTags(const TUndoFile& record) const;

    TID3FrameList m_frames;
    TMP3Info m_mpegInfo;
    TID3v1Infos m_id3v1;
    QByteArray m_oldID3v2;
    QByteArray m_oldID3v1;
    TFileInformation m_fileInfo;
    bool m_hasID3v2 = false;
    bool m_hasID3v1 = false;
    bool m_versionUnsupported = false;
    bool m_partlyRead = false;
    TTagDamage m_tagDamage = TTagDamage::None;
    int m_id3v1FieldsInTag = 0; // ID3v1 fields whose frame the ID3v2 tag carries
    bool m_mpegFound = false;
    qint64 m_length = 0;
    quint8 m_major = 0;
    quint8 m_revision = 0;
    qint64 m_id3v2Offset = 0;
    qint64 m_id3v2TotalSize = 0;
    bool m_id3v2Appended = false;
    qint64 m_id3v2TrailingBytes = 0; // between an appended tag and the ID3v1 block
    qint64 m_audioStart = 0;
    qint64 m_otherTrailingSize = 0;
    QString m_lastError;
    TTagError m_lastErrorKind = TTagError::None;

    std::unique_ptr<TUndoList> m_undoList;
    std::shared_ptr<TFileLayer> m_fileLayer;
};
