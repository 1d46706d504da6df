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

bool TID3v2Reader::ScanForWrite()
{
    if (!TID3v2Scan(*this, TFrameParsing::Check).Run())
        return false;
    if (m_hasID3v2 && (m_versionUnsupported || m_partlyRead))
        return Fail(QStringLiteral("The ID3v2 tag of the file cannot be read completely, so it is not replaced."),
                    m_versionUnsupported ? TTagError::VersionUnsupported : TTagError::TagDamaged);
    return true;
}

std::optional<QByteArray> TID3v2Reader::BuildNewID3v2(const TID3FrameList& frames)
{
    TID3FrameList copy = CloneFrames(frames);
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

bool TID3v2Reader::WriteTags(const TID3FrameList& frames)
{
    m_lastError.clear();
    m_lastErrorKind = TTagError::None;
    if (FileName.isEmpty())
        return Fail(QStringLiteral("No file name given."));
    // Bodies left in the file are fetched before the file changes, so that
    // the caller's frames stay complete after the write.
    LoadDeferredBodies(frames);
    if (!ScanForWrite())
        return false;

    TRewriteJob job;
    job.FileName = FileName;
    job.Old = ScannedRegions();
    job.IgnoreWriteProtect = IgnoreWriteProtect;
    if (NeverChangeDate)
        job.TimesToKeep = m_fileInfo;
    if (WriteID3v1 && !frames.empty())
        job.NewID3v1 = BuildID3v1Block(frames);
    if (WriteID3v2 && !frames.empty()) {
        job.NewID3v2 = BuildNewID3v2(frames);
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
        record->AddPart(m_oldID3v2, TFilePart::ID3v2);
        TFilePart* part = record->FindPart(TFilePart::ID3v2);
        part->Appended = m_id3v2Appended;
        part->Offset = m_id3v2Offset;
        part->TrailingBytes = m_id3v2TrailingBytes;
    }
    if (m_hasID3v1)
        record->AddPart(m_oldID3v1, TFilePart::ID3v1);

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
    if (!ScanForWrite())
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
        job.NewID3v1 = oldBlock->Data;
    if (oldTag) {
        job.NewID3v2 = oldTag->Data;
        const qint64 tagsEnd = m_fileInfo.Size - (m_hasID3v1 ? ID3v1BlockSize : 0);
        job.NewID3v2At = oldTag->Appended ? tagsEnd - oldTag->TrailingBytes : oldTag->Offset;
    }
    TFileRewrite rewrite(*m_fileLayer);
    if (!rewrite.Run(job))
        return Fail(rewrite.Error(), rewrite.ErrorKind());
    m_undoList->Remove(record);
    return true;
}
