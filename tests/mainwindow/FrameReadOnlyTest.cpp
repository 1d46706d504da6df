// The read-only mark of a field, written into the frame status and read back.

#include "InputPanelTestSupport.h"

#include <QAction>
#include <QFile>

namespace {

// The status byte of the first frame with the ID in the file's tag, or -1.
int StatusByte(const QString& path, const char* id)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = file.read(4096);
    const qsizetype at = head.indexOf(id, 10);
    return at < 0 ? -1 : quint8(head.at(at + 8));
}

class FrameReadOnlyTest : public ::testing::Test, public TFilesWindowFixture {};

}

TEST_F(FrameReadOnlyTest, TheMarkIsWrittenReadBackAndKeptForOtherPrograms)
{
    ASSERT_TRUE(WriteMp3WithFrames(Path("a.mp3"), {{"TIT2", Text("Alpha")}}));
    ID3v2FrameSpec artist;
    artist.Id = "TPE1";
    artist.Body = Text("Marked elsewhere");
    artist.ReadOnly = true;
    const QByteArray tag = ID3v2Builder(3).Frame(artist).Frame("TIT2", Text("Beta")).Padding(64).Build();
    ASSERT_TRUE(Mp3Builder::WriteFile(Path("b.mp3"), Mp3Builder::File({tag, Mp3Builder::CbrFrames(MpegFormat{}, 8), {}, {}})));

    auto window = OpenActive();
    QAction* readOnly = window->Action(QStringLiteral("ActFrameReadOnly"));

    // The title of a.mp3 is marked and written when the selection moves on.
    SelectListRows(*window, {0});
    TextControlOf(InputOf(*window, QStringLiteral("TIT2")))->setFocus();
    ASSERT_TRUE(readOnly->isEnabled());
    readOnly->trigger();
    SelectListRows(*window, {1});
    const int readOnlyBit = window->Settings().ID3v2Version == 3 ? 0x20 : 0x10;
    EXPECT_EQ(StatusByte(Path("a.mp3"), "TIT2"), readOnlyBit);

    // b.mp3: another title; its artist keeps the mark another program set.
    TypeInto(InputOf(*window, QStringLiteral("TIT2")), QStringLiteral("Gamma"));
    SelectListRows(*window, {0});
    EXPECT_EQ(FrameText(ReadFramesOf(Path("b.mp3")), QStringLiteral("TIT2")), QStringLiteral("Gamma"));
    EXPECT_EQ(StatusByte(Path("b.mp3"), "TPE1"), readOnlyBit);
    EXPECT_EQ(StatusByte(Path("b.mp3"), "TIT2"), 0);

    // Shown again, the field of a.mp3 is marked; the command takes it off.
    TextControlOf(InputOf(*window, QStringLiteral("TIT2")))->setFocus();
    window->UpdateActions();
    EXPECT_TRUE(readOnly->isChecked());
    readOnly->trigger();
    SelectListRows(*window, {1});
    EXPECT_EQ(StatusByte(Path("a.mp3"), "TIT2"), 0);
}
