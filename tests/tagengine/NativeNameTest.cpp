// The tag writer on a file whose folder and name are not valid UTF-8: the
// path text carries their bytes to every system call, and a write that fails
// leaves the file as it was.
#include "FaultyLayer.h"
#include "ReadWriteFixture.h"

#include "platform/NativePath.h"
#include "support/NativeFiles.h"
#include "tagengine/ID3v2Reader.h"

#include <QFile>

namespace {

class NativeNameTest : public ::testing::Test {
protected:
    NativeNameTest() : Folder(QFile::encodeName(m_dir.path()) + "/Dossier \xe9t\xe9/") { MakeNativeFolder(Folder); }

    TNativeTemporaryDir m_dir;
    const QByteArray Folder;
};

}

TEST_F(NativeNameTest, AFailedWriteLeavesTheFileAsItWas)
{
    const QByteArray path = Folder + "Caf\xe9.mp3";
    const QByteArray original = ID3v2Builder(4).Frame("TIT2", Text("Old")).Build() + StandardAudio(10);
    ASSERT_TRUE(WriteNativeFile(path, original));
    TID3v2Reader reader;
    reader.FileName = PathFromNative(path);
    auto layer = std::make_shared<FaultyLayer>();
    layer->FailRename = true; // a rewrite through a new file stops after the new file was written in full
    reader.SetFileLayer(layer);

    EXPECT_FALSE(reader.WriteTags(TextFrames({{"TIT2", QString(2000, QLatin1Char('x'))}})));
    EXPECT_EQ(ReadNativeFile(path), original);
    // The new file went with the failure.
    EXPECT_EQ(ListWithPython(Folder), QList<QByteArray>({"Caf\xe9.mp3"}));
}
