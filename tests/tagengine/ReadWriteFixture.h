#pragma once

#include "support/ID3v2Builder.h"
#include "support/Mp3Builder.h"
#include "tagengine/ID3Frame.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

class TID3v2Reader;

// A temporary folder per test with helpers to put generated MP3 files in it.
class ReadWriteTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    // Writes bytes as a file of the folder and answers its path.
    QString Put(const QString& name, const QByteArray& bytes) const;
    // Puts the bytes as a file of the folder and has the reader scan it.
    bool Scan(TID3v2Reader& reader, const QString& name, const QByteArray& bytes) const;
    static QByteArray Read(const QString& path) { return Mp3Builder::ReadFile(path); }
    static QByteArray Digest(const QString& path);
    // Names in the folder (to find left-over temporary files).
    QStringList Entries() const;

private:
    QTemporaryDir m_dir;
};

// 100 frames of 128 kbit/s MPEG 1 layer III joint stereo.
QByteArray StandardAudio(int frames = 100);
// A Latin-1 text frame body made by the builder.
inline QByteArray Text(const char* text) { return ID3v2Builder::TextBody(0, {QString::fromLatin1(text)}); }
// A v2.4 text frame made by the program's own codec.
TID3FramePtr TextFrame(const char* id, const QString& text);
// A frame list of text frames, in order: id, text, id, text ...
TID3FrameList TextFrames(std::initializer_list<std::pair<const char*, QString>> frames);
QString FirstText(const TID3FrameList& frames, const char* id);
// A frame spec for the tag builder with the ID and body; change sets the rest.
template <typename Change = void (*)(ID3v2FrameSpec&)>
ID3v2FrameSpec Spec(const char* id, const QByteArray& body, Change change = [](ID3v2FrameSpec&) {})
{
    ID3v2FrameSpec spec;
    spec.Id = id;
    spec.Body = body;
    change(spec);
    return spec;
}
// A frame holding the body as it is.
TID3FramePtr RawFrame(const char* id, const QByteArray& body);
// The IDs of the frames, in order.
QStringList Ids(const TID3FrameList& frames);
// The strings of a text frame (and its description) as the codec reads them.
QStringList TextLines(const TID3Frame& frame, QString* description = nullptr);
QByteArray Bytes(std::initializer_list<int> values);
// The file's status, and its access and write times set (nanoseconds since 1970).
struct stat StatOf(const QString& path);
void SetTimes(const QString& path, qint64 accessNs, qint64 writeNs);
inline qint64 Ns(const struct timespec& time) { return qint64(time.tv_sec) * 1000000000 + time.tv_nsec; }
