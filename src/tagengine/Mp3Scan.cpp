#include "tagengine/Mp3Scan.h"

#include "tagengine/FileBodySource.h"
#include "platform/FileLayer.h"
#include "platform/NativePath.h"
#include "tagengine/ID3v1Block.h"
#include "tagengine/ID3v2Parser.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/MpegHeader.h"
#include "tagengine/TrailingTags.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>

namespace {

constexpr qint64 WindowChunk = 4096;
constexpr qint64 ID3v2HeaderSize = 10;
constexpr uchar FooterFlag = 0x10;
// Positions examined for an audio frame after the start or after a tag.
constexpr qint64 MaxSyncSteps = 40960;
// After a tag whose size cannot be trusted the audio is searched further,
// and only a header followed by a matching second header counts.
constexpr qint64 MaxRecoverySteps = 16 * 1024 * 1024;
// Tags are held in memory whole; a larger one is not read.
constexpr qint64 MaxLoadedTagSize = 256 * 1024 * 1024;
// Bodies from this size on stay in the file until they are needed.
constexpr qint64 DeferredBodySize = 16 * 1024;

} // namespace

// A read-ahead buffer over the file for the forward scan.
class TID3v2Scan::TWindow {
public:
    TWindow(TFileHandle& file, qint64 fileSize) : m_file(file), m_fileSize(fileSize) {}

    // At least `need` bytes from offset, or null when the file ends before
    // them or a read failed (Failed()).
    const uchar* At(qint64 offset, qint64 need)
    {
        if (offset < 0 || need < 0 || offset + need > m_fileSize)
            return nullptr;
        if (offset < m_start || offset + need > m_start + m_buffer.size()) {
            const qint64 length = std::min(std::max(need, WindowChunk), m_fileSize - offset);
            m_buffer.resize(length);
            if (!m_file.ReadAt(m_buffer.data(), length, offset)) {
                m_buffer.clear();
                m_failed = true;
                return nullptr;
            }
            m_start = offset;
        }
        return reinterpret_cast<const uchar*>(m_buffer.constData()) + (offset - m_start);
    }

    // The bytes [offset, offset + count) that are already buffered, copied.
    QByteArray Buffered(qint64 offset, qint64 count) const
    {
        if (offset < m_start || offset >= m_start + m_buffer.size())
            return {};
        return m_buffer.mid(offset - m_start, std::min(count, m_start + m_buffer.size() - offset));
    }

    bool Failed() const { return m_failed; }

private:
    TFileHandle& m_file;
    qint64 m_fileSize;
    QByteArray m_buffer;
    qint64 m_start = 0;
    bool m_failed = false;
};

TID3v2Scan::TID3v2Scan(TID3v2Reader& reader, TFrameParsing parsing) : m_reader(reader), m_parsing(parsing) {}

bool TID3v2Scan::FailWithErrno(const QString& what)
{
    const int error = errno;
    return m_reader.Fail(what + QStringLiteral(": ") + SystemErrorText(error), TagErrorOfErrno(error));
}

bool TID3v2Scan::Run()
{
    m_reader.ResetResults();
    if (m_reader.FileName.isEmpty())
        return m_reader.Fail(QStringLiteral("No file name given."));
    m_path = NativeFromPath(m_reader.FileName);
    TFileLayer& layer = *m_reader.m_fileLayer;
    // Non-blocking, so that a FIFO named like an MP3 file cannot hold the
    // open; it is refused below as not a regular file.
    TFileHandle file(layer, layer.Open(m_path, O_RDONLY | O_NONBLOCK));
    if (!file.IsOpen())
        return FailWithErrno(QStringLiteral("The file could not be opened"));
    struct stat st {};
    if (layer.FStat(file.Fd(), st) != 0)
        return FailWithErrno(QStringLiteral("The file could not be examined"));
    if (!S_ISREG(st.st_mode))
        return m_reader.Fail(QStringLiteral("This is not a regular file."));
    m_reader.m_fileInfo = FileInformationFromStat(st, m_reader.FileName);
    m_size = m_reader.m_fileInfo.Size;
    if (m_size == 0)
        return m_reader.Fail(QStringLiteral("The file is empty."), TTagError::FileEmpty);
    const bool scanned = ScanFile(file);
    if (m_failed && m_reader.m_lastError.isEmpty())
        m_reader.m_lastError = QStringLiteral("The file could not be read.");
    if (m_failed && m_reader.m_lastErrorKind == TTagError::None)
        m_reader.m_lastErrorKind = TTagError::Other;
    return scanned && !m_failed;
}

bool TID3v2Scan::ScanFile(TFileHandle& file)
{
    QByteArray lastBlock;
    if (m_size >= ID3v1BlockSize) {
        bool ok = false;
        lastBlock = file.ReadAt(m_size - ID3v1BlockSize, ID3v1BlockSize, &ok);
        if (!ok)
            return m_reader.Fail(QStringLiteral("The end of the file could not be read."));
    }
    const bool endsWithID3v1 = !lastBlock.isEmpty() && IsID3v1Block(reinterpret_cast<const uchar*>(lastBlock.constData()));

    TWindow window(file, m_size);
    ForwardScan(file, window, endsWithID3v1 ? m_size - ID3v1BlockSize : m_size);
    if (window.Failed())
        m_failed = true;
    ScanTail(file, endsWithID3v1 ? lastBlock : QByteArray());
    ComputeLength();
    FramesFromID3v1();
    return true;
}

void TID3v2Scan::ForwardScan(TFileHandle& file, TWindow& window, qint64 syncLimit)
{
    qint64 position = 0;
    qint64 steps = 0;
    bool recovering = false;
    while (steps < (recovering ? MaxRecoverySteps : MaxSyncSteps) && !window.Failed()) {
        if (position + 4 > syncLimit)
            break;
        // Every "ID3" before the audio is a tag: the first is read, anything
        // else marks the tag as not read whole, so that a write can never
        // leave an old tag behind the new one.
        const uchar* magic = window.At(position, 3);
        if (magic && std::memcmp(magic, "ID3", 3) == 0) {
            const uchar* header = window.At(position, ID3v2HeaderSize);
            const TTagStep step = header && !m_reader.m_hasID3v2 && IsID3v2HeaderOrFooter(header, true)
                                      ? TakeLeadingTag(file, window, position)
                                      : SkipUnreadableTag(header, position);
            recovering = recovering || step.SizeUntrusted;
            position = step.Next;
            steps = 0;
            continue;
        }
        const uchar* bytes = window.At(position, 4);
        if (!bytes)
            break;
        if (HasFrameSync(bytes) && TakeAudioHeader(window, position, syncLimit))
            return;
        ++position;
        ++steps;
    }
}

TID3v2Scan::TTagStep TID3v2Scan::TakeLeadingTag(TFileHandle& file, TWindow& window, qint64 offset)
{
    const uchar* header = window.At(offset, ID3v2HeaderSize);
    qint64 total = ID3v2SizeField(header) + ID3v2HeaderSize;
    const bool footerClaimed = (header[5] & FooterFlag) != 0;
    m_reader.m_hasID3v2 = true;
    m_reader.m_id3v2Offset = offset;
    m_reader.m_major = header[3];
    m_reader.m_revision = header[4];
    // A footer counts only where it really stands: bytes taken for a footer
    // that is not there would be audio, lost with the tag at the next write.
    if (footerClaimed) {
        const uchar* footer = window.At(offset + total, ID3v2HeaderSize);
        if (footer && IsID3v2HeaderOrFooter(footer, false))
            total += ID3v2HeaderSize;
    }
    m_reader.m_id3v2TotalSize = total;

    const qint64 available = std::min(total, m_size - offset);
    if (available < total) {
        // The declared size runs past the end of the file: what is there is
        // read, and the audio is looked for right after the header.
        m_reader.MarkPartlyRead(TID3v2Reader::TTagDamage::Frames);
        if (LoadTag(file, offset, available, window.Buffered(offset, available)))
            ParseTag(offset);
        m_scannedEnd = offset + ID3v2HeaderSize;
        return {m_scannedEnd, true};
    }
    if (LoadTag(file, offset, total, window.Buffered(offset, total)))
        ParseTag(offset);
    m_scannedEnd = offset + total;
    return {m_scannedEnd, false};
}

TID3v2Scan::TTagStep TID3v2Scan::SkipUnreadableTag(const uchar* header, qint64 offset)
{
    if (m_reader.m_hasID3v2) {
        // A further tag before the audio; one that can be measured is
        // stepped over whole, so that its bytes are not taken for audio.
        m_reader.MarkPartlyRead(TID3v2Reader::TTagDamage::FurtherTag);
        if (header && IsID3v2HeaderOrFooter(header, true)) {
            const qint64 total = ID3v2SizeField(header) + ID3v2HeaderSize;
            if (total <= m_size - offset)
                return {offset + total, false};
        }
        return {offset + 3, true};
    }
    // A leading tag whose header cannot be read (cut short, version 0xFF, a
    // size that is not syncsafe): the file has a tag, none of it is read.
    m_reader.MarkPartlyRead(TID3v2Reader::TTagDamage::Header);
    m_reader.m_hasID3v2 = true;
    m_reader.m_id3v2Offset = offset;
    m_reader.m_id3v2TotalSize = std::min(ID3v2HeaderSize, m_size - offset);
    if (header) {
        m_reader.m_major = header[3];
        m_reader.m_revision = header[4];
    }
    m_reader.m_versionUnsupported = m_reader.m_major < 3 || m_reader.m_major > 4;
    m_scannedEnd = offset + m_reader.m_id3v2TotalSize;
    return {m_scannedEnd, true};
}

bool TID3v2Scan::LoadTag(TFileHandle& file, qint64 offset, qint64 available, const QByteArray& alreadyRead)
{
    m_reader.m_versionUnsupported = m_reader.m_major < 3 || m_reader.m_major > 4;
    if (available > MaxLoadedTagSize) {
        m_reader.MarkPartlyRead(TID3v2Reader::TTagDamage::Frames);
        return false;
    }
    QByteArray& tag = m_reader.m_oldID3v2;
    tag = alreadyRead;
    tag.resize(available);
    const qint64 done = alreadyRead.size();
    const bool ok = done == available || file.ReadAt(tag.data() + done, available - done, offset + done);
    if (!ok) {
        tag.clear();
        m_failed = true;
        m_reader.m_lastError = QStringLiteral("The ID3v2 tag could not be read.");
    }
    return ok;
}

void TID3v2Scan::ParseTag(qint64 offset)
{
    TID3FrameList frames;
    const bool headerOnly = m_parsing == TFrameParsing::HeaderOnly;
    const TID3v2ParseResult result = ParseID3v2Tag(m_reader.m_oldID3v2, headerOnly, frames);
    m_reader.m_major = result.Major;
    m_reader.m_revision = result.Revision;
    m_reader.m_versionUnsupported = result.VersionUnsupported;
    if (result.PartlyRead)
        m_reader.MarkPartlyRead(TID3v2Reader::TTagDamage::Frames);
    m_reader.m_id3v1FieldsInTag = ID3v1FieldsOf(frames);
    if (result.Failed) {
        m_failed = true;
        m_reader.m_lastError = result.Error;
        m_reader.m_lastErrorKind = TTagError::TagDamaged;
    }
    if (m_parsing != TFrameParsing::Keep)
        return;
    DeferLargeBodies(result, offset);
    m_reader.m_frames = std::move(frames);
}

void TID3v2Scan::DeferLargeBodies(const TID3v2ParseResult& result, qint64 tagOffset)
{
    for (const auto& [frame, bodyOffset] : result.BodyOffsets) {
        const qint64 size = frame->BodySize();
        if (size < DeferredBodySize)
            continue;
        auto source = std::make_shared<TFileBodySource>(m_reader.m_fileLayer, m_path, m_reader.m_fileInfo,
                                                        tagOffset + bodyOffset, size);
        const_cast<TID3Frame*>(frame)->SetDeferredBody(std::move(source), size);
    }
}

bool TID3v2Scan::TakeAudioHeader(TWindow& window, qint64 offset, qint64 syncLimit)
{
    TMP3Info info;
    if (!DecodeMpegHeader(window.At(offset, 4), info))
        return false;

    const TVbrHeader vbr = ReadVbrHeader(window, info, offset);

    // A sync inside other bytes is no frame: a real first frame is followed
    // by the next one where its length says, when the file goes on so far.
    const qint64 nextOffset = offset + MpegFrameLength(info);
    TMP3Info next;
    const bool followed = nextOffset + 4 <= syncLimit;
    if (followed) {
        const uchar* following = window.At(nextOffset, 4);
        if (!following || !DecodeMpegHeader(following, next) || next.Version != info.Version
            || next.Layer != info.Layer || next.SampleRate != info.SampleRate)
            return false;
    }
    m_reader.m_mpegFound = true;
    m_reader.m_mpegInfo = info;
    // An encoder may give the "Info" frame of a constant bit rate stream a
    // higher rate than the stream's, so that the header fits in it (low
    // rates, MPEG 2): the stream's rate is that of the first audio frame.
    if (vbr.Found && !vbr.IsVbr && followed && next.Bitrate != 0)
        m_reader.m_mpegInfo.Bitrate = next.Bitrate;
    m_reader.m_audioStart = offset;
    m_scannedEnd = offset;
    if (vbr.Found && vbr.IsVbr) {
        m_reader.m_mpegInfo.VBR = 1;
        m_vbrFrameCount = vbr.HasFrameCount();
        m_vbrFrames = vbr.FrameCount;
    }
    return true;
}

TVbrHeader TID3v2Scan::ReadVbrHeader(TWindow& window, const TMP3Info& info, qint64 frameOffset)
{
    constexpr qint64 HeaderBytes = 18; // the most either decoder looks at
    const auto bytesAt = [&](qint64 offset, qint64& available) -> const uchar* {
        available = std::clamp<qint64>(m_size - offset, 0, HeaderBytes);
        return available > 0 ? window.At(offset, available) : nullptr;
    };
    qint64 available = 0;
    if (const uchar* xing = bytesAt(frameOffset + 4 + SideInformationLength(info), available)) {
        const TVbrHeader header = DecodeXingHeader(xing, available);
        if (header.Found)
            return header;
    }
    const uchar* vbri = bytesAt(frameOffset + 4 + VbriHeaderDistance, available);
    return vbri ? DecodeVbriHeader(vbri, available) : TVbrHeader();
}

void TID3v2Scan::ScanTail(TFileHandle& file, const QByteArray& lastBlock)
{
    const qint64 floor = m_scannedEnd;
    qint64 end = m_size;
    if (!lastBlock.isEmpty() && m_size - ID3v1BlockSize >= floor) {
        m_reader.m_hasID3v1 = true;
        m_reader.m_oldID3v1 = lastBlock;
        m_reader.m_id3v1 = DecodeID3v1Block(lastBlock);
        end -= ID3v1BlockSize;
    }
    const qint64 tagsEnd = end;
    for (;;) {
        if (!m_reader.m_hasID3v2) {
            const TTrailingBlock tag = FindAppendedID3v2(file, end, floor);
            if (tag.Found()) {
                m_reader.m_hasID3v2 = true;
                m_reader.m_id3v2Appended = true;
                m_reader.m_id3v2Offset = tag.Offset;
                m_reader.m_id3v2TotalSize = tag.Size;
                m_reader.m_id3v2TrailingBytes = tagsEnd - (tag.Offset + tag.Size);
                if (LoadTag(file, tag.Offset, tag.Size, QByteArray()))
                    ParseTag(tag.Offset);
                end = tag.Offset;
                continue;
            }
        }
        TTrailingBlock other = FindApeTag(file, end, floor);
        if (!other.Found())
            other = FindLyrics3(file, end, floor);
        if (!other.Found())
            break;
        m_reader.m_otherTrailingSize += other.Size;
        end = other.Offset;
    }
    m_audioEnd = end;
}

void TID3v2Scan::ComputeLength()
{
    if (!m_reader.m_mpegFound)
        return;
    TMP3Info& info = m_reader.m_mpegInfo;
    const qint64 audioBytes = std::max<qint64>(m_audioEnd - m_reader.m_audioStart, 0);
    if (info.VBR && m_vbrFrameCount) {
        m_reader.m_length = FramesToMilliseconds(info, m_vbrFrames);
        const qint64 bitrate =
            audioBytes >= 1 && m_reader.m_length > 0 ? (audioBytes * 8 + m_reader.m_length / 2) / m_reader.m_length : 0;
        info.Bitrate = quint16(std::min<qint64>(bitrate, 0xFFFF));
        return;
    }
    // A constant bit rate, or a Xing header without frame count: the
    // length follows from the first frame's bit rate.
    m_reader.m_length = info.Bitrate > 0 ? audioBytes * 8 / info.Bitrate : 0;
}

void TID3v2Scan::FramesFromID3v1()
{
    if (m_parsing == TFrameParsing::Check)
        return;
    const bool fromID3v1 = !m_reader.m_hasID3v2 && m_reader.m_hasID3v1 && m_reader.CopyID3v2IfEmptyFromID3v1;
    if (!fromID3v1 && m_reader.ReadID3v2)
        return;
    m_reader.m_frames.clear();
    if (m_reader.m_hasID3v1)
        CopyID3v1ToFrames(m_reader.m_frames, m_reader.m_id3v1, false, ID3v1Field::All);
}
