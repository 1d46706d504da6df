#include "tagengine/ID3v2Reader.h"

#include "platform/FileLayer.h"
#include "tagengine/FileRewrite.h"
#include "tagengine/ID3v1Block.h"
#include "tagengine/ID3v2Writer.h"
#include "tagengine/Mp3Scan.h"
#include "tagengine/TagUndo.h"

TID3v2Reader::TID3v2Reader() : m_undoList(std::make_unique<TUndoList>()), m_fileLayer(SystemFileLayer()) {}

TID3v2Reader::~TID3v2Reader() = default;

void TID3v2Reader::SetFileLayer(std::shared_ptr<TFileLayer> layer)
{
    m_fileLayer = layer ? std::move(layer) : SystemFileLayer();
}

void TID3v2Reader::ResetResults()
{
    m_frames.clear();
    m_mpegInfo.Clear();
    m_id3v1.Clear();
    m_oldID3v2.clear();
    m_oldID3v1.clear();
    m_fileInfo = TFileInformation();
    m_hasID3v2 = m_hasID3v1 = false;
    m_versionUnsupported = m_partlyRead = m_mpegFound = false;
    m_tagDamage = TTagDamage::None;
    m_id3v1FieldsInTag = 0;
    m_length = 0;
    m_major = m_revision = 0;
    m_id3v2Offset = m_id3v2TotalSize = 0;
    m_id3v2Appended = false;
    m_id3v2TrailingBytes = 0;
    m_audioStart = 0;
    m_otherTrailingSize = 0;
    m_lastError.clear();
    m_lastErrorKind = TTagError::None;
}

void TID3v2Reader::MarkPartlyRead(TTagDamage why)
{
    m_partlyRead = true;
    if (m_tagDamage == TTagDamage::None)
        m_tagDamage = why;
}

bool TID3v2Reader::Fail(const QString& error, TTagError kind)
{
    m_lastError = error;
    m_lastErrorKind = kind;
    return false;
}

bool TID3v2Reader::ReadTags()
{
    return TID3v2Scan(*this, ReadID3v2 ? TFrameParsing::Keep : TFrameParsing::HeaderOnly).Run();
}

TID3FrameList TID3v2Reader::TakeFrames()
{
    TID3FrameList frames = std::move(m_frames);
    m_frames.clear();
    return frames;
}

TID3Frame* TID3v2Reader::FindFrame(const QString& id) const
{
    return ::FindFrame(m_frames, id);
}

void TID3v2Reader::CopyID3v1ToFrames(TID3FrameList& frames, const TID3v1Infos& id3v1, bool overwriteWithEmpty, int mask)
{
    ::CopyID3v1ToFrames(frames, id3v1, overwriteWithEmpty, mask);
}

TTagRegions TID3v2Reader::ScannedRegions() const
{
    TTagRegions regions;
    regions.File = m_fileInfo;
    regions.HasID3v2 = m_hasID3v2;
    regions.ID3v2Offset = m_id3v2Offset;
    regions.ID3v2Size = m_id3v2TotalSize;
    regions.HasID3v1 = m_hasID3v1;
    return regions;
}

bool TID3v2Reader::ScanForWrite(bool requireWholeTag)
{
    if (!TID3v2Scan(*this, TFrameParsing::Check).Run())
        return false;
    if (!requireWholeTag || !m_hasID3v2 || !(m_versionUnsupported || m_partlyRead))
        return true;
    const TTagError kind = m_versionUnsupported ? TTagError::VersionUnsupported : TTagError::TagDamaged;
    switch (m_tagDamage) {
    case TTagDamage::Header:
        return Fail(QStringLiteral("The ID3v2 tag at the start of the file has a header that cannot be read, so it "
                                   "is not replaced."),
                    kind);
    case TTagDamage::FurtherTag:
        return Fail(QStringLiteral("A second ID3v2 tag stands between the first one and the audio; the file is not "
                                   "changed, so that no old tag stays behind the new one."),
                    kind);
    default:
        return Fail(QStringLiteral("The ID3v2 tag of the file cannot be read completely, so it is not replaced."),
                    kind);
    }
}

std::optional<QByteArray> TID3v2Reader::BuildNewID3v2(TID3FrameList copy)
{
    if (WriteID3Version == wivID3v2_3)
        ConvertID3v24To23(copy);
    else
        DeleteFirstFrame(copy, QStringLiteral("TSIZ"));
    TID3v2TagOptions options;
    options.Major = WriteID3Version == wivID3v2_3 ? 3 : 4;
    options.Unsynchronisation = UseUnsynchronisation;
    options.Padding.HadTag = m_hasID3v2;
    options.Padding.OldTotalSize = m_id3v2TotalSize;
    options.Padding.MinSize = MinID3v2Size;
    options.Padding.MinPadding = MinID3v2Padding;
    options.Padding.MaxPadding = MaxID3v2Padding;
    QString error;
    auto tag = BuildID3v2Tag(copy, options, error);
    if (!tag)
        Fail(error);
    return tag;
}

int TID3v2Reader::ID3v1FieldsToKeep(const TID3FrameList& frames) const
{
    // Frames that were made from the ID3v1 block were shown: what is missing
    // now was cleared.
    const bool shownFromID3v1 = !ReadID3v2 || (!m_hasID3v2 && CopyID3v2IfEmptyFromID3v1);
    if (!m_hasID3v1 || shownFromID3v1)
        return 0;
    return ID3v1Field::All & ~m_id3v1FieldsInTag & ~ID3v1FieldsOf(frames);
}

bool TID3v2Reader::WriteTags(const TID3FrameList& callerFrames)
{
    m_lastError.clear();
    m_lastErrorKind = TTagError::None;
    if (FileName.isEmpty())
        return Fail(QStringLiteral("No file name given."));
    // Bodies left in the file are fetched before the file changes, so that
    // the caller's frames stay complete after the write.
    LoadDeferredBodies(callerFrames);
    // The caller may pass this reader's own frames, which the scan empties.
    TID3FrameList frames = CloneFrames(callerFrames);
    if (!ScanForWrite(true))
        return false;

    TRewriteJob job;
    job.FileName = FileName;
    job.Old = ScannedRegions();
    job.IgnoreWriteProtect = IgnoreWriteProtect;
    if (NeverChangeDate)
        job.TimesToKeep = m_fileInfo;
    if (WriteID3v1 && !frames.empty())
        job.NewID3v1 = BuildID3v1Block(frames, m_oldID3v1, ID3v1FieldsToKeep(frames));
    if (WriteID3v2 && !frames.empty()) {
        job.NewID3v2 = BuildNewID3v2(std::move(frames));
        if (!job.NewID3v2)
            return false;
        // An appended tag is not written back at the end: the new tag goes
        // to the start, where every reader looks for it.
        job.NewID3v2At = m_hasID3v2 && !m_id3v2Appended ? m_id3v2Offset : 0;
    }

    TFileRewrite rewrite(*m_fileLayer);
    if (!rewrite.Run(job))
        return Fail(rewrite.Error(), rewrite.ErrorKind());
    RecordUndo(job, rewrite.NewSize());
    return true;
}

void TID3v2Reader::RecordUndo(const TRewriteJob& job, qint64 newSize)
{
    TUndoFile* record = m_undoList->AddFile(FileName, m_fileInfo);
    if (m_hasID3v2) {
        TFilePart* part = m_undoList->AddPart(*record, m_oldID3v2, TFilePart::ID3v2);
        part->Appended = m_id3v2Appended;
        part->Offset = m_id3v2Offset;
        part->TrailingBytes = m_id3v2TrailingBytes;
    }
    if (m_hasID3v1)
        m_undoList->AddPart(*record, m_oldID3v1, TFilePart::ID3v1);

    TWrittenTags& written = record->Written;
    written.HasID3v2 = job.NewID3v2.has_value();
    if (job.NewID3v2) {
        // A written tag goes at the old tag's offset or at 0, with the
        // same bytes before it as before the write.
        written.ID3v2Offset = job.NewID3v2At;
        written.ID3v2Size = job.NewID3v2->size();
        written.ID3v2Digest = TUndoList::Digest(*job.NewID3v2);
    }
    written.ID3v1 = job.NewID3v1;
    written.FileSize = newSize;
}

bool TID3v2Reader::CarriesWrittenTags(const TUndoFile& record) const
{
    const TWrittenTags& written = record.Written;
    if (m_fileInfo.Size != written.FileSize || m_hasID3v2 != written.HasID3v2
        || m_hasID3v1 != written.ID3v1.has_value())
        return false;
    if (written.HasID3v2
        && (m_id3v2Appended || m_id3v2Offset != written.ID3v2Offset || m_id3v2TotalSize != written.ID3v2Size
            || TUndoList::Digest(m_oldID3v2) != written.ID3v2Digest))
        return false;
    return !written.ID3v1 || m_oldID3v1 == *written.ID3v1;
}

bool TID3v2Reader::UndoWriteTags(const QString& fileName)
{
    m_lastError.clear();
    m_lastErrorKind = TTagError::None;
    TUndoFile* record = m_undoList->FindNewest(fileName);
    if (!record)
        return Fail(QStringLiteral("No tags of this file were saved."));
    FileName = fileName;
    // The written tag is replaced only when it is still there byte for byte,
    // whatever else the file holds.
    if (!ScanForWrite(false))
        return false;
    if (!CarriesWrittenTags(*record))
        return Fail(QStringLiteral("The file was changed since its tags were written; its old tags are not put back."));

    const TFilePart* oldTag = record->FindPart(TFilePart::ID3v2);
    const TFilePart* oldBlock = record->FindPart(TFilePart::ID3v1);
    TRewriteJob job;
    job.FileName = fileName;
    job.Old = ScannedRegions();
    job.IgnoreWriteProtect = IgnoreWriteProtect;
    job.TimesToKeep = record->FileInformation;
    if (oldBlock)
        job.NewID3v1 = oldBlock->Data();
    if (oldTag)
        job.NewID3v2 = oldTag->Data();
    if ((oldBlock && !job.NewID3v1) || (oldTag && !job.NewID3v2))
        return Fail(QStringLiteral("The saved tags of the file could not be read back."));
    if (oldTag) {
        const qint64 tagsEnd = m_fileInfo.Size - (m_hasID3v1 ? ID3v1BlockSize : 0);
        job.NewID3v2At = oldTag->Appended ? tagsEnd - oldTag->TrailingBytes : oldTag->Offset;
    }
    TFileRewrite rewrite(*m_fileLayer);
    if (!rewrite.Run(job))
        return Fail(rewrite.Error(), rewrite.ErrorKind());
    m_undoList->Remove(record);
    return true;
}

void TID3v2Reader::MoveUndoPaths(const TPathMoves& moves)
{
    m_undoList->MovePaths(moves);
}

void TID3v2Reader::ForgetUndo(const QString& fileName)
{
    while (const TUndoFile* record = m_undoList->FindNewest(fileName))
        m_undoList->Remove(record);
}
