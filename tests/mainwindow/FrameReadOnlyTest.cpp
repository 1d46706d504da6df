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
    ID3v2Builder tag(3);
    tag.Frame(artist).Frame("TIT2", Text("Beta")).Padding(64);
    Mp3FileParts parts;
    parts.LeadingTag = tag.Build();
    parts.Audio = Mp3Builder::CbrFrames(MpegFormat{}, 8);
    ASSERT_TRUE(Mp3Builder::WriteFile(Path("b.mp3"), Mp3Builder::File(parts)));

    auto window = OpenActive();
    QAction* readOnly = window->Action(QStringLiteral("ActFrameReadOnly"));
    ASSERT_NE(readOnly, nullptr);
    EXPECT_TRUE(window->PopupMenu(QStringLiteral("PopFrameEdit"))->actions().contains(readOnly));
    window->LVFiles->setFocus();
    EXPECT_FALSE(readOnly->isEnabled()); // no field has the focus: not in the menu
    EXPECT_FALSE(readOnly->isVisible());

    // The title of a.mp3 is marked and written when the selection moves on.
    SelectListRows(*window, {0});
    TextControlOf(InputOf(*window, QStringLiteral("TIT2")))->setFocus();
    ASSERT_TRUE(readOnly->isEnabled());
    EXPECT_TRUE(readOnly->isVisible());
    EXPECT_FALSE(readOnly->isChecked());
    readOnly->trigger();
    EXPECT_TRUE(readOnly->isChecked());
    SelectListRows(*window, {1});
    EXPECT_TRUE(FindFrame(ReadFramesOf(Path("a.mp3")), QStringLiteral("TIT2"))->ReadOnly);
    const int readOnlyBit = window->Settings().ID3v2Version == 3 ? 0x20 : 0x10;
    EXPECT_EQ(StatusByte(Path("a.mp3"), "TIT2"), readOnlyBit);

    // b.mp3: another title; its artist keeps the mark another program set.
    TypeInto(InputOf(*window, QStringLiteral("TIT2")), QStringLiteral("Gamma"));
    SelectListRows(*window, {0});
    const TID3FrameList b = ReadFramesOf(Path("b.mp3"));
    EXPECT_EQ(FrameText(b, QStringLiteral("TIT2")), QStringLiteral("Gamma"));
    EXPECT_TRUE(FindFrame(b, QStringLiteral("TPE1"))->ReadOnly);
    EXPECT_EQ(StatusByte(Path("b.mp3"), "TPE1"), readOnlyBit);
    EXPECT_EQ(StatusByte(Path("b.mp3"), "TIT2"), 0);

    // Shown again, the field of a.mp3 is marked; the command takes it off.
    TextControlOf(InputOf(*window, QStringLiteral("TIT2")))->setFocus();
    window->UpdateActions();
    EXPECT_TRUE(readOnly->isChecked());
    readOnly->trigger();
    SelectListRows(*window, {1});
    EXPECT_FALSE(FindFrame(ReadFramesOf(Path("a.mp3")), QStringLiteral("TIT2"))->ReadOnly);
    EXPECT_EQ(StatusByte(Path("a.mp3"), "TIT2"), 0);
}
