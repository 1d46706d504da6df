// Playlists as a player reads them: the test reads the M3U lines itself (no
// packaged reader fits), resolves each path against the playlist's folder and
// has ffprobe open the file it names.
#include "ExportTestSupport.h"

#include "support/FileSizeLimit.h"

#include "export/DataModuleExport.h"
#include "export/ExportFile.h"
#include "export/Playlist.h"
#include "export/ExportPaths.h"
#include "platform/NativePath.h"
#include "support/Mp3Builder.h"
#include "support/NativeFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <gtest/gtest.h>

namespace {

struct TPlaylistEntry {
    QString Info; // the "#EXTINF:" line's text after the colon, or empty
    QString Path; // as written
    QString File; // resolved
};

struct TPlaylist {
    bool Extended = false;
    std::vector<TPlaylistEntry> Entries;
};

TPlaylist ReadPlaylist(const QString& path)
{
    const QByteArray bytes = ReadAll(path);
    TPlaylist playlist;
    EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n")) << "every line ends in CR LF";
    QString info;
    const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (line == QLatin1String("#EXTM3U")) {
            playlist.Extended = true;
        } else if (line.startsWith(QLatin1String("#EXTINF:"))) {
            info = line.mid(8);
        } else {
            const QString file = QFileInfo(line).isAbsolute()
                                     ? line
                                     : QDir::cleanPath(QFileInfo(path).absolutePath() + QLatin1Char('/') + line);
            playlist.Entries.push_back({info, line, file});
            info.clear();
        }
    }
    return playlist;
}

// ffprobe opens the file as MP3 audio.
bool PlayerOpens(const QString& file)
{
    const TProgramRun probe = RunProgram(
        QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                                    QStringLiteral("stream=codec_name"), QStringLiteral("-of"),
                                    QStringLiteral("csv=p=0"), file});
    return probe.ExitCode == 0 && probe.Out.trimmed() == "mp3";
}

class PlaylistExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadEnglish();
        m_music = m_root.filePath(QStringLiteral("music")) + QLatin1Char('/');
        const QString sub = m_music + QStringLiteral("Sub Dir/");
        QDir().mkpath(sub);
        Add(m_music, QStringLiteral("one.mp3"), {{QStringLiteral("TPE1"), QStringLiteral("Ann")},
                                                 {QStringLiteral("TIT2"), QStringLiteral("Song")}},
            2500);
        Add(m_music, QStringLiteral("two #2.mp3"), {{QStringLiteral("TIT2"), QStringLiteral("Only\ntitle")}}, 3500);
        Add(sub, QStringLiteral("Drei ä.mp3"), {}, 0);
        Add(sub, QStringLiteral("four.mp3"), {{QStringLiteral("TPE1"), QStringLiteral("Bob")}}, 61499);
        m_files[1]->Edited = 1;
        m_files[3]->Edited = 1;
    }

    static QByteArray Audio() { return Mp3Builder::CbrFrames(MpegFormat{}, 40); }

    void Add(const QString& folder, const QString& name, const TFrameTexts& frames, qint64 length)
    {
        ASSERT_TRUE(Mp3Builder::WriteFile(folder + name, Audio()));
        m_files.push_back(MakeEntry(folder, name, frames, length));
    }

    TExportResult Export(const QString& output, bool addInfos, bool selectedOnly, bool relativeLinks = false)
    {
        TDataModuleExport module;
        module.Files = &m_files;
        module.OutputFile = output;
        module.RelativeLinks = relativeLinks;
        return module.ExportPlaylist(m_music, addInfos, selectedOnly);
    }

    TNativeTemporaryDir m_root;
    QString m_music;
    TEintragdatenList m_files;
    TExportPrompt m_prompt;
};

}

TEST_F(PlaylistExportTest, LinesOfTheExtendedPlaylist)
{
    const QString list = m_music + QStringLiteral("list.m3u");
    ASSERT_EQ(Export(list, true, false), erDone);
    const TPlaylist playlist = ReadPlaylist(list);
    EXPECT_TRUE(playlist.Extended);
    ASSERT_EQ(playlist.Entries.size(), 4u);
    // Lengths round half to even.
    const QStringList expected{QStringLiteral("2,Ann - Song|one.mp3"), QStringLiteral("4,? - Only title|two #2.mp3"),
                               QString::fromUtf8("0,Drei ä|Sub Dir/Drei ä.mp3"),
                               QStringLiteral("61,Bob - ?|Sub Dir/four.mp3")};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(playlist.Entries[i].Info + QLatin1Char('|') + playlist.Entries[i].Path, expected[i]);
        EXPECT_TRUE(PlayerOpens(playlist.Entries[i].File)) << playlist.Entries[i].File.toStdString();
    }
}

TEST_F(PlaylistExportTest, RelativeAndAbsolutePathsAndSelectedFiles)
{
    // Elsewhere the paths are absolute, unless relative links are asked for.
    const QString elsewhere = m_root.filePath(QStringLiteral("lists/all.m3u"));
    QDir().mkpath(m_root.filePath(QStringLiteral("lists")));
    ASSERT_EQ(Export(elsewhere, false, false), erDone);
    TPlaylist playlist = ReadPlaylist(elsewhere);
    EXPECT_FALSE(playlist.Extended);
    ASSERT_EQ(playlist.Entries.size(), 4u);
    EXPECT_EQ(playlist.Entries[3].Path, m_music + QStringLiteral("Sub Dir/four.mp3"));

    ASSERT_EQ(Export(elsewhere, true, true, true), erDone); // the overwrite question answered Yes
    EXPECT_EQ(m_prompt.Asked.size(), 1);
    playlist = ReadPlaylist(elsewhere);
    ASSERT_EQ(playlist.Entries.size(), 2u);
    EXPECT_EQ(playlist.Entries[0].Path, QStringLiteral("../music/two #2.mp3"));
    EXPECT_EQ(playlist.Entries[1].Path, QStringLiteral("../music/Sub Dir/four.mp3"));
    EXPECT_TRUE(PlayerOpens(playlist.Entries[1].File));

    for (auto& entry : m_files)
        entry->Edited = 0;
    ASSERT_EQ(Export(elsewhere, true, true), erDone);
    EXPECT_EQ(ReadAll(elsewhere), QByteArray("#EXTM3U\r\n"));
    ASSERT_EQ(Export(elsewhere, false, true), erDone);
    EXPECT_EQ(ReadAll(elsewhere), QByteArray());
}

TEST_F(PlaylistExportTest, OverwritingFailuresAndUnlistableNames)
{
    const QString list = m_music + QStringLiteral("list.m3u");
    QFile old(list);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old\r\n");
    old.close();

    m_prompt.OnAsk = [](const QString&, TPromptButtons) { return pbNo; };
    EXPECT_EQ(Export(list, true, false), erCancelled);
    EXPECT_EQ(ReadAll(list), QByteArray("old\r\n"));

    // A write that fails half way keeps the old playlist.
    m_prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
    const TExportFileWriter previous = SetExportFileWriter([](QSaveFile& file, const QByteArray& bytes) {
        file.write(bytes.left(bytes.size() / 2));
        return false;
    });
    EXPECT_EQ(Export(list, true, false), erError);
    SetExportFileWriter(previous);
    EXPECT_EQ(ReadAll(list), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(m_music).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("list")).size(), 1)
        << "no temporary file left behind";
    // So does a disk that fills up while the last of it is written: the
    // export fails instead of leaving an empty or cut playlist.
    {
        const TScopedFileSizeLimit limit(8);
        ASSERT_TRUE(limit.IsSet());
        EXPECT_EQ(Export(list, true, false), erError);
    }
    EXPECT_EQ(ReadAll(list), QByteArray("old\r\n"));

    // A name holding a line break (LF, or CR alone) would be read as two
    // entries: left out and reported.
    Add(m_music, QStringLiteral("bad\nname.mp3"), {}, 1000);
    Add(m_music, QStringLiteral("bad\rreturn.mp3"), {}, 1000);
    EXPECT_EQ(Export(list, true, false), erDone);
    const TPlaylist playlist = ReadPlaylist(list);
    EXPECT_EQ(playlist.Entries.size(), 4u);
    for (const TPlaylistEntry& entry : playlist.Entries)
        EXPECT_TRUE(PlayerOpens(entry.File)) << entry.File.toStdString();
    ASSERT_EQ(m_prompt.Informations.size(), 1);
    EXPECT_TRUE(m_prompt.Informations.at(0).contains(QStringLiteral("bad name.mp3")));
    EXPECT_TRUE(m_prompt.Informations.at(0).contains(QStringLiteral("bad return.mp3")));
}

TEST_F(PlaylistExportTest, NamesThatAreNotUtf8AreListedAndLinkedByTheirBytes)
{
    // A Latin-1 byte, as in collections copied from older systems, and an
    // overlong NUL. The playlist line and the page link carry the very bytes.
    const QByteArray native = QFile::encodeName(m_music) + "Caf\xE9\xE0\x80\x80.mp3";
    ASSERT_TRUE(WriteNativeFile(native, Audio()));
    auto entry = MakeEntry(QString(), QString(), {}, 1000);
    entry->SetNativePath(native);
    m_files.push_back(std::move(entry));

    const QString list = m_music + QStringLiteral("list.m3u");
    ASSERT_EQ(Export(list, false, false), erDone);
    const QList<QByteArray> lines = ReadAll(list).split('\n');
    ASSERT_EQ(lines.size(), 6); // five entries and the empty rest after the last line break
    EXPECT_EQ(lines.at(4), QByteArray("Caf\xE9\xE0\x80\x80.mp3\r"));
    EXPECT_EQ(ReadNativeFile(QFile::encodeName(m_music) + lines.at(4).chopped(1)), Audio());

    EXPECT_EQ(MakeLink(PathFromNative(native)),
              QString::fromLatin1(QFile::encodeName(m_music).toPercentEncoding("/")) +
                  QStringLiteral("Caf%E9%E0%80%80.mp3"));
}
