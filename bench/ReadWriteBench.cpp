// Reading and writing speed of the tag reader over a folder of generated MP3
// files, against a plain pass that reads the same regions, and the memory the
// read entries take.
//
//   bench_readwrite [folder]   (default: a temporary folder, removed after)

#include "BenchSupport.h"
#include "support/ID3v2Builder.h"
#include "support/Mp3Builder.h"
#include "tagengine/Eintragdaten.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/TagUndo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using bench::StatusKb;
using bench::Text;

constexpr int FileCount = 5000;
constexpr int AudioFrames = 40;
constexpr int PictureSize = 100 * 1024;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Tags by file number: v2.3, v2.4, ID3v1 only, none; every tenth file with
// a picture (in its ID3v2 tag, or a v2.4 tag of its own for the others).
QByteArray MakeFile(int index, const QByteArray& audio, const QByteArray& picture)
{
    const int kind = index % 4;
    const bool withPicture = index % 10 == 0;
    const QString number = QString::number(index);
    Mp3FileParts parts;
    parts.Audio = audio;
    if (kind <= 1 || withPicture) {
        const quint8 major = kind == 0 ? 3 : 4;
        ID3v2Builder tag(major);
        tag.Frame("TIT2", Text(QStringLiteral("Title of song ") + number))
            .Frame("TPE1", Text(QStringLiteral("Artist ") + QString::number(index % 97)))
            .Frame("TALB", Text(QStringLiteral("Album ") + QString::number(index % 31)))
            .Frame("TRCK", Text(QString::number(index % 20 + 1)))
            .Frame("TCON", Text(QStringLiteral("Rock")))
            .Frame(major == 3 ? "TYER" : "TDRC", Text(QStringLiteral("2004")))
            .Frame("COMM", ID3v2Builder::CommentBody(0, "eng", QString(), QStringLiteral("Comment ") + number));
        if (withPicture)
            tag.Frame("APIC", QByteArray("\0image/jpeg\0\3\0", 14) + picture);
        parts.LeadingTag = tag.Padding(400).Build();
    }
    if (kind == 2 || kind == 0)
        parts.ID3v1 = Mp3Builder::ID3v1({"Title " + number.toLatin1(), "Artist", "Album", "2004", "", 1, 17});
    return Mp3Builder::File(parts);
}

QStringList MakeFolder(const QString& folder)
{
    const QByteArray audio = Mp3Builder::CbrFrames(MpegFormat(), AudioFrames);
    QByteArray picture(PictureSize, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char((i * 131) % 251);
    QStringList paths;
    for (int i = 0; i < FileCount; ++i) {
        const QString path = folder + QStringLiteral("/song%1.mp3").arg(i, 5, 10, QLatin1Char('0'));
        Mp3Builder::WriteFile(path, MakeFile(i, audio, picture));
        paths << path;
    }
    return paths;
}

ino_t InodeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

void CopyIntoEntry(TID3v2Reader& reader, const QString& path, TEintragdaten& entry)
{
    const QFileInfo info(path);
    entry.Folder = info.path() + QLatin1Char('/');
    entry.FileName = info.fileName();
    if (!reader.ReadTags()) {
        entry.Clear(false);
        entry.ReadFailed = 1;
        return;
    }
    entry.Size = reader.FileSize();
    entry.Attributes = reader.Attributes();
    entry.LastWriteNs = reader.LastWriteNs();
    entry.HasID3v1 = reader.HasID3v1();
    entry.HasID3v2 = reader.HasID3v2();
    entry.VersionUnsupported = reader.VersionUnsupported();
    entry.ID3v2Major = reader.Major();
    entry.ID3v2Revision = reader.Revision();
    entry.Length = reader.Length();
    entry.MPEGInfo = reader.MPEGInfo();
    entry.Frames = reader.TakeFrames();
    entry.ID3v1 = reader.ID3v1();
}

// What a minimal reader has to do per file: the first bytes, the ID3v2 tag,
// 4 KiB where the audio starts, the last 128 bytes.
long RawPass(const QStringList& paths)
{
    long checksum = 0;
    std::vector<char> buffer(4096);
    for (const QString& path : paths) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        unsigned char header[10];
        qint64 audioStart = 0;
        if (::pread(fd, header, 10, 0) == 10 && std::memcmp(header, "ID3", 3) == 0) {
            const qint64 size = (qint64(header[6]) << 21) | (header[7] << 14) | (header[8] << 7) | header[9];
            std::vector<char> tag(size_t(size + 10));
            checksum += ::pread(fd, tag.data(), tag.size(), 0);
            audioStart = size + 10;
        }
        checksum += ::pread(fd, buffer.data(), buffer.size(), audioStart);
        const off_t end = ::lseek(fd, 0, SEEK_END);
        checksum += ::pread(fd, buffer.data(), 128, end - 128);
        ::close(fd);
    }
    return checksum;
}

// Writes the files with pictures over and over until the reader holds
// UndoRecords undo records, and measures what the records take in memory;
// then undoes one file's writes and checks that it is back byte for byte.
constexpr int UndoRecords = 20000;

bool UndoRecordsBench(const TEintragdatenList& entries)
{
    std::vector<TEintragdaten*> pictured;
    for (const auto& entry : entries)
        if (entry->HasID3v2 && FindFrame(entry->Frames, QStringLiteral("APIC")))
            pictured.push_back(entry.get());
    if (pictured.empty())
        return false;
    const QString sample = pictured.front()->FullPath();
    const QByteArray before = Mp3Builder::ReadFile(sample);

    TID3v2Reader reader;
    const long memoryBefore = StatusKb("VmRSS");
    int failures = 0;
    const auto start = Clock::now();
    for (int i = 0; i < UndoRecords; ++i) {
        TEintragdaten& entry = *pictured[size_t(i) % pictured.size()];
        reader.FileName = entry.FullPath();
        reader.WriteID3Version = entry.ID3v2Major == 3 ? wivID3v2_3 : wivID3v2_4;
        TID3Frame frame(QStringLiteral("TIT2"));
        SetTextFrame(frame, QString(), {QStringLiteral("Take %1").arg(i % 10)});
        entry.SetFrame(QStringLiteral("TIT2"), &frame, 0);
        failures += reader.WriteTags(entry.Frames) ? 0 : 1;
    }
    const double seconds = Seconds(start);
    const long memoryAfter = StatusKb("VmRSS");

    int undone = 0;
    while (reader.UndoWriteTags(sample))
        ++undone;
    const bool exact = Mp3Builder::ReadFile(sample) == before;
    std::printf("Undo records:        %8.1f MB more resident memory for %d records of %d files with 100 KB "
                "pictures (%.1f MB of old tags held in memory; %.0f writes/s, %d failed)\n",
                (memoryAfter - memoryBefore) / 1024.0, reader.UndoList().Count() + undone, int(pictured.size()),
                reader.UndoList().MemoryBytes() / (1024.0 * 1024.0), UndoRecords / seconds, failures);
    std::printf("Undo of one file:    %8d writes undone, %s\n", undone,
                exact ? "back byte for byte" : "NOT back as it was");
    return failures == 0 && exact;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    QDir().mkpath(folder);

    auto start = Clock::now();
    const QStringList paths = MakeFolder(folder);
    std::printf("Generated %d files in %.2f s\n", int(paths.size()), Seconds(start));

    // Warm the cache, then time each pass.
    RawPass(paths);
    start = Clock::now();
    const long checksum = RawPass(paths);
    const double rawSeconds = Seconds(start);

    const long memoryBefore = StatusKb("VmRSS");
    TID3v2Reader reader;
    TEintragdatenList entries;
    entries.reserve(size_t(paths.size()));
    start = Clock::now();
    for (const QString& path : paths) {
        reader.FileName = path;
        auto entry = std::make_unique<TEintragdaten>();
        CopyIntoEntry(reader, path, *entry);
        entries.push_back(std::move(entry));
    }
    const double readSeconds = Seconds(start);
    const long memoryAfter = StatusKb("VmRSS");
    const long peakAfterRead = StatusKb("VmHWM");
    int failed = 0;
    for (const auto& entry : entries)
        failed += entry->ReadFailed;

    // Same-length title changes in every file with an ID3v2 tag.
    int written = 0;
    int writeFailures = 0;
    int copied = 0;
    start = Clock::now();
    for (const auto& entry : entries) {
        if (!entry->HasID3v2)
            continue;
        const ino_t inode = InodeOf(entry->FullPath());
        reader.FileName = entry->FullPath();
        reader.WriteID3Version = entry->ID3v2Major == 3 ? wivID3v2_3 : wivID3v2_4;
        QString title = GetFrameAsText(*FindFrame(entry->Frames, QStringLiteral("TIT2")));
        title[0] = title[0] == QLatin1Char('T') ? QLatin1Char('t') : QLatin1Char('T');
        TID3Frame frame(QStringLiteral("TIT2"));
        SetTextFrame(frame, QString(), {title});
        entry->SetFrame(QStringLiteral("TIT2"), &frame, 0);
        if (reader.WriteTags(entry->Frames))
            ++written;
        else
            ++writeFailures;
        copied += InodeOf(entry->FullPath()) != inode;
    }
    const double writeSeconds = Seconds(start);

    const double rawRate = paths.size() / rawSeconds;
    const double readRate = paths.size() / readSeconds;
    std::printf("Raw pass:            %8.0f files/s  (%.3f s, checksum %ld)\n", rawRate, rawSeconds, checksum);
    std::printf("ReadTags + entries:  %8.0f files/s  (%.3f s, %d failed)\n", readRate, readSeconds, failed);
    std::printf("ReadTags / raw:      %8.2f\n", readRate / rawRate);
    std::printf("In-place title:      %8.0f files/s  (%d files, %.3f s, %d failed, %d not in place)\n",
                written / writeSeconds, written, writeSeconds, writeFailures, copied);
    std::printf("Entries held:        %8.1f MB more resident memory for %d entries\n",
                (memoryAfter - memoryBefore) / 1024.0, int(entries.size()));
    std::printf("Peak memory (VmHWM): %8.1f MB with the entries held\n", peakAfterRead / 1024.0);
    std::printf("Peak memory (VmHWM): %8.1f MB after the writes (%d undo records with the old tags)\n",
                StatusKb("VmHWM") / 1024.0, reader.UndoList().Count());
    const bool undoOk = UndoRecordsBench(entries);
    return failed == 0 && writeFailures == 0 && copied == 0 && undoOk ? 0 : 1;
}
