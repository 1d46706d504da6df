#pragma once

// The folder tree of the main-window benchmarks: 20 artists with 10 albums of
// 100 songs each (20,000 files) with mixed tags, generated once into a
// folder, and helpers to list and pre-read its files.

#include "BenchSupport.h"
#include "SilentPrompt.h"
#include "support/ID3v2Builder.h"
#include "support/Mp3Builder.h"

#include "localisation/LanguageLoader.h"
#include "platform/Registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

namespace bench {

constexpr int Artists = 20;
constexpr int AlbumsPerArtist = 10;
constexpr int SongsPerAlbum = 100;
constexpr int FileCount = Artists * AlbumsPerArtist * SongsPerAlbum;
constexpr int PictureSize = 100 * 1024;

// Mixed tags: v2.3 and v2.4 with the common frames, every tenth file with a
// picture; every fourth file has an ID3v1 block only.
inline QByteArray MakeFile(int index, const QByteArray& audio, const QByteArray& picture)
{
    Mp3FileParts parts;
    parts.Audio = audio;
    const QString number = QString::number(index);
    if (index % 4 == 3) {
        parts.ID3v1 = Mp3Builder::ID3v1({"Title " + number.toLatin1(), "Artist", "Album", "2004", "", 1, 17});
        return Mp3Builder::File(parts);
    }
    const quint8 major = index % 2 ? 4 : 3;
    ID3v2Builder tag(major);
    tag.Frame("TIT2", Text(QStringLiteral("Song title ") + QString::number((index * 7919) % FileCount)))
        .Frame("TPE1", Text(QStringLiteral("Artist ") + QString::number(index % 97)))
        .Frame("TALB", Text(QStringLiteral("Album ") + QString::number(index % 31)))
        .Frame("TRCK", Text(QStringLiteral("%1/%2").arg(index % SongsPerAlbum + 1).arg(SongsPerAlbum)))
        .Frame("TCON", Text(QStringLiteral("Rock")))
        .Frame(major == 3 ? "TYER" : "TDRC", Text(QStringLiteral("2004")))
        .Frame("COMM", ID3v2Builder::CommentBody(0, "eng", QString(), QStringLiteral("Comment ") + number));
    if (index % 10 == 0)
        tag.Frame("APIC", QByteArray("\0image/jpeg\0\3\0", 14) + picture);
    parts.LeadingTag = tag.Padding(256).Build();
    return Mp3Builder::File(parts);
}

inline void MakeTree(const QString& root)
{
    const QByteArray audio = Mp3Builder::CbrFrames(MpegFormat(), 30);
    QByteArray picture(PictureSize, '\0');
    for (int i = 0; i < picture.size(); ++i)
        picture[i] = char((i * 131) % 251);
    int index = 0;
    for (int artist = 0; artist < Artists; ++artist) {
        for (int album = 0; album < AlbumsPerArtist; ++album) {
            const QString folder = QStringLiteral("%1/artist%2/album%3").arg(root).arg(artist, 2, 10, QLatin1Char('0'))
                                       .arg(album, 2, 10, QLatin1Char('0'));
            QDir().mkpath(folder);
            for (int song = 0; song < SongsPerAlbum; ++song, ++index)
                Mp3Builder::WriteFile(folder + QStringLiteral("/song%1.mp3").arg(index, 5, 10, QLatin1Char('0')),
                                      MakeFile(index, audio, picture));
        }
    }
}

inline QStringList AllFiles(const QString& root)
{
    QStringList paths;
    QDirIterator it(root, {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    return paths;
}

inline void WarmCache(const QStringList& paths)
{
    for (const QString& path : paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            file.readAll();
    }
}

// Generates the tree into root unless it is there already; its files.
inline QStringList MainWindowTree(const QString& root)
{
    if (AllFiles(root).size() < FileCount)
        MakeTree(root);
    return AllFiles(root);
}

// What a main-window benchmark needs once its application exists: answers
// to every prompt, settings in a temporary folder, the base language and the
// tree, in the folder the first argument names or else a temporary one.
class TWindowBenchSetup {
public:
    TWindowBenchSetup(int argc, char** argv)
        : Root(argc > 1 ? QString::fromLocal8Bit(argv[1]) : m_temporary.path())
    {
        TRegistry::SetStorageFolder(m_settings.path());
        LoadBaseLanguage();
        std::printf("Generating %d files in %s ...\n", FileCount, qPrintable(Root));
        Paths = MainWindowTree(Root);
    }
    ~TWindowBenchSetup() { TRegistry::SetStorageFolder(QString()); }
    TWindowBenchSetup(const TWindowBenchSetup&) = delete;
    TWindowBenchSetup& operator=(const TWindowBenchSetup&) = delete;

private:
    TSilentPrompt m_prompt;
    QTemporaryDir m_settings;
    QTemporaryDir m_temporary;

public:
    const QString Root;
    QStringList Paths;
};

// The offscreen platform unless the environment chose another; call before
// the application is made.
inline void UseOffscreenByDefault()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}
