#include "ReadWriteFixture.h"

#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3v2Reader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <fcntl.h>

QString ReadWriteTest::Put(const QString& name, const QByteArray& bytes) const
{
    const QString path = PathOf(name);
    EXPECT_TRUE(Mp3Builder::WriteFile(path, bytes)) << path.toStdString();
    return path;
}

bool ReadWriteTest::Scan(TID3v2Reader& reader, const QString& name, const QByteArray& bytes) const
{
    reader.FileName = Put(name, bytes);
    return reader.ReadTags();
}

QByteArray ReadWriteTest::Digest(const QString& path)
{
    return QCryptographicHash::hash(Read(path), QCryptographicHash::Sha256).toHex();
}

QStringList ReadWriteTest::Entries() const
{
    return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray StandardAudio(int frames)
{
    return Mp3Builder::CbrFrames(MpegFormat(), frames);
}

TID3FramePtr TextFrame(const char* id, const QString& text)
{
    auto frame = std::make_unique<TID3Frame>(QString::fromLatin1(id));
    SetTextFrame(*frame, QString(), {text});
    return frame;
}

TID3FrameList TextFrames(std::initializer_list<std::pair<const char*, QString>> frames)
{
    TID3FrameList list;
    for (const auto& [id, text] : frames)
        list.push_back(TextFrame(id, text));
    return list;
}

QString FirstText(const TID3FrameList& frames, const char* id)
{
    const TID3Frame* frame = FindFrame(frames, QString::fromLatin1(id));
    return frame ? GetFirstText(frame->Body()) : QStringLiteral("<none>");
}

TID3FramePtr RawFrame(const char* id, const QByteArray& body)
{
    auto frame = std::make_unique<TID3Frame>(QString::fromLatin1(id));
    frame->SetBody(body);
    return frame;
}

QStringList Ids(const TID3FrameList& frames)
{
    QStringList ids;
    for (const auto& frame : frames)
        ids << frame->FrameID;
    return ids;
}

QStringList TextLines(const TID3Frame& frame, QString* description)
{
    QString d;
    QStringList lines;
    GetTextFrame(frame, d, lines);
    if (description)
        *description = d;
    return lines;
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int v : values)
        bytes.append(char(v));
    return bytes;
}

struct stat StatOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

void SetTimes(const QString& path, qint64 accessNs, qint64 writeNs)
{
    const struct timespec times[2] = {{accessNs / 1000000000, accessNs % 1000000000},
                                      {writeNs / 1000000000, writeNs % 1000000000}};
    EXPECT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0) << path.toStdString();
}
