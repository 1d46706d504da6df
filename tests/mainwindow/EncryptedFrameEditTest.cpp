// Frames that other programs stored encrypted, compressed or grouped are
// plain frames once the user types a new value, in one file and in several.

#include "InputPanelTestSupport.h"

#include "support/MutagenReader.h"

namespace {

// An ID3v2.4 file whose artist was stored encrypted (method 1) and
// compressed, with a group byte, and whose title is plain.
bool WriteMp3WithEncryptedArtist(const QString& path, const QString& title)
{
    ID3v2FrameSpec artist;
    artist.Id = "TPE1";
    artist.Body = QByteArray("\x8a\x13\xf0 cipher text", 15);
    artist.GroupId = 5;
    artist.EncryptionMethod = 1;
    artist.Compressed = true;
    const QByteArray tag = ID3v2Builder(4).Frame("TIT2", Text(title)).Frame(artist).Padding(64).Build();
    return Mp3Builder::WriteFile(path, Mp3Builder::File({tag, Mp3Builder::CbrFrames(MpegFormat{}, 8), {}, {}}));
}

class EncryptedFrameEditTest : public ::testing::Test, public TFilesWindowFixture {
protected:
    // Both readers see a plain artist as typed, and the title as it was.
    void ExpectArtist(const QString& name, const QString& title, const QString& artist)
    {
        const TMutagenRead mutagen = ReadWithMutagen(Path(name));
        ASSERT_TRUE(mutagen.Ok && mutagen.Error.isEmpty()) << mutagen.Error.toStdString();
        EXPECT_EQ(MutagenTexts(mutagen, "TPE1") + MutagenTexts(mutagen, "TIT2"), QStringList({artist, title}))
            << name.toStdString();
    }
};

}

TEST_F(EncryptedFrameEditTest, ATypedValueReplacesAnEncryptedFrameInOneAndInSeveralFiles)
{
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3"})
        ASSERT_TRUE(WriteMp3WithEncryptedArtist(Path(name), QString::fromLatin1(name)));
    ASSERT_TRUE(WriteMp3WithFrames(Path("4.mp3"), {{"TIT2", Text("4.mp3")}}));
    auto window = Open();

    // One file: its encrypted artist cannot be shown, the user types one.
    SelectListRows(*window, {0});
    TID3v2Frame* artist = InputOf(*window, "TPE1");
    ASSERT_NE(artist, nullptr);
    EXPECT_EQ(ShownText(artist), QString());
    TypeInto(artist, QStringLiteral("Solo Artist"));
    SelectListRows(*window, {3});
    ExpectArtist(QStringLiteral("1.mp3"), QStringLiteral("1.mp3"), QStringLiteral("Solo Artist"));

    // Two encrypted files and one plain one: the first file's flags reach none.
    SelectListRows(*window, {1, 2, 3});
    TypeInto(InputOf(*window, "TPE1"), QStringLiteral("Common Artist"));
    SelectListRows(*window, {0});
    for (const QString name : {"2.mp3", "3.mp3", "4.mp3"})
        ExpectArtist(name, name, QStringLiteral("Common Artist"));
}

