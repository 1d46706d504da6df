#include "platform/FileLayer.h"
#include "platform/RunRecord.h"

#include "support/ScopedEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

QStringList Records()
{
    return QDir(QFile::decodeName(RunRecordFolder())).entryList(QDir::Files);
}

}

// Lines keep every byte of the names they hold; a line cut short by a kill,
// and one that does not hold what its verb needs, are skipped.
TEST(RunRecord, LinesKeepEveryByteAndSkipWhatIsNotWhole)
{
    struct stat st {};
    ASSERT_EQ(::lstat("/", &st), 0);
    const TRecordLine line{7, TRecordVerb::Aside, {"/a folder/with %@ signs", "Caf\xe9 \n\t.mp3", ".x.y"},
                           TExaminedFile::Of(st)};
    const QByteArray text = EncodeRecordLine(line);
    EXPECT_EQ(text.count('\n'), 1);
    const QByteArray cut = EncodeRecordLine({8, TRecordVerb::Done, {}, {}}).chopped(1);
    const QByteArray tooFew = "9 aside /folder name\n";
    const std::vector<TRecordLine> lines = DecodeRecordLines("garbage\n" + text + tooFew + cut);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Item, 7);
    EXPECT_EQ(lines[0].Verb, TRecordVerb::Aside);
    EXPECT_EQ(lines[0].Names, line.Names);
    ASSERT_TRUE(lines[0].Identity.has_value());
    EXPECT_TRUE(lines[0].Identity->SameFile(st));
    EXPECT_TRUE(lines[0].Identity->Matches(st, true));
}

// A record is made at a run's first line, locked while its run lives (no
// other open of it can lock it, in this process either), and goes when the
// run ends with every item settled; an item left open keeps it.
TEST(RunRecord, MadeAtTheFirstLineLockedWhileItsRunLivesAndGoneOnceSettled)
{
    QTemporaryDir state;
    const TScopedEnv own("XDG_STATE_HOME", state.path());
    TFileLayer& layer = *SystemFileLayer();
    {
        TRunRecord record(layer);
        const int item = record.NewItem();
        EXPECT_TRUE(Records().isEmpty());
        ASSERT_TRUE(record.Write({item, TRecordVerb::Probe, {"relative", ".x.probe"}, {}}, true));
        ASSERT_EQ(Records().size(), 1);
        const int other = ::open(record.Path().constData(), O_RDWR);
        EXPECT_EQ(layer.LockFile(other), -1);
        EXPECT_EQ(errno, EAGAIN);
        ::close(other);
        QFile file(QFile::decodeName(record.Path()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const std::vector<TRecordLine> lines = DecodeRecordLines(file.readAll());
        ASSERT_EQ(lines.size(), 1u);
        // A folder named relative to the working folder is kept whole.
        EXPECT_EQ(lines[0].Names[0], QDir::currentPath().toUtf8() + "/relative");
        EXPECT_TRUE(record.Settled(item));
    }
    EXPECT_TRUE(Records().isEmpty());
    {
        TRunRecord record(layer);
        ASSERT_TRUE(record.Write({record.NewItem(), TRecordVerb::Undo, {}, {}}));
    }
    ASSERT_EQ(Records().size(), 1);
    const int left = ::open((RunRecordFolder() + "/" + QFile::encodeName(Records()[0])).constData(), O_RDWR);
    EXPECT_EQ(layer.LockFile(left), 0); // its run ended
    ::close(left);
}
