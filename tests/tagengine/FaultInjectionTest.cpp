#include "ReadWriteFixture.h"

#include "platform/FileLayer.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/TagUndo.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// A file layer whose writes, renames, syncs and permissions can be made to
// fail.
class FaultyLayer : public TFileLayer {
public:
    qint64 FailAfterBytes = -1; // writes fail once this many bytes were written
    bool FailOnce = false;      // after the first failure writes work again
    bool FailRename = false;
    bool FailSync = false;
    bool WriteProtected = false;
    bool NeedsChmodToOpen = false; // opening for writing fails until write permission is added
    int Failures = 0;

    ssize_t PWrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        if (FailAfterBytes >= 0 && !(FailOnce && Failures > 0)) {
            const qint64 room = FailAfterBytes - m_written;
            if (room <= 0) {
                ++Failures;
                errno = ENOSPC;
                return -1;
            }
            count = size_t(std::min<qint64>(qint64(count), room));
        }
        const ssize_t done = TFileLayer::PWrite(fd, buffer, count, offset);
        if (done > 0)
            m_written += done;
        return done;
    }
    int Rename(const QByteArray& from, const QByteArray& to) override
    {
        if (FailRename) {
            errno = EXDEV;
            return -1;
        }
        return TFileLayer::Rename(from, to);
    }
    int FSync(int fd) override
    {
        if (FailSync) {
            errno = EIO;
            return -1;
        }
        return TFileLayer::FSync(fd);
    }
    bool MayWrite(const QByteArray& path, const struct stat& st) override
    {
        return !WriteProtected && TFileLayer::MayWrite(path, st);
    }
    int Open(const QByteArray& path, int flags, mode_t mode) override
    {
        if (NeedsChmodToOpen && (flags & O_ACCMODE) == O_RDWR && !m_chmodded) {
            errno = EACCES;
            return -1;
        }
        return TFileLayer::Open(path, flags, mode);
    }
    int Chmod(const QByteArray& path, mode_t mode) override
    {
        m_chmodded = (mode & S_IWUSR) != 0;
        ChmodModes.push_back(mode);
        return TFileLayer::Chmod(path, mode);
    }
    std::vector<mode_t> ChmodModes;

private:
    qint64 m_written = 0;
    bool m_chmodded = false;
};

} // namespace

class FaultInjectionTest : public ReadWriteTest {
protected:
    void SetUp() override
    {
        m_tag = ID3v2Builder(3).Frame("TIT2", Text("Original title")).Padding(600).Build();
        m_path = Put("song.mp3", m_tag + StandardAudio(50) + Mp3Builder::ID3v1({"Original", "", "", "", "", 1, 2}));
        m_digest = Digest(m_path);
    }

    // Tries a write with the layer; the file must stay as it was.
    void ExpectUnchangedAfterFailure(const std::shared_ptr<FaultyLayer>& layer, const TID3FrameList& frames,
                                     const std::string& what)
    {
        TID3v2Reader reader;
        reader.FileName = m_path;
        reader.SetFileLayer(layer);
        EXPECT_FALSE(reader.WriteTags(frames)) << what;
        EXPECT_FALSE(reader.LastError().isEmpty()) << what;
        EXPECT_EQ(Digest(m_path), m_digest) << what;
        EXPECT_EQ(Entries(), QStringList({"song.mp3"})) << what;
        EXPECT_EQ(reader.UndoList().Count(), 0) << what;
    }

    QByteArray m_tag;
    QString m_path;
    QByteArray m_digest;
};

TEST_F(FaultInjectionTest, CopyFailingAfterAnyByteLeavesTheOriginal)
{
    // A longer title makes the tag grow to the minimum size of 792 bytes:
    // the file goes through a new file.
    const TID3FrameList frames = TextFrames({{"TIT2", QString(700, QLatin1Char('t'))}});
    const qint64 total = 792 + StandardAudio(50).size() + 128;
    std::vector<qint64> failurePoints = {791, 792, total - 128, total - 1};
    for (qint64 after = 0; after < total; after += 211)
        failurePoints.push_back(after);
    for (const qint64 after : failurePoints) {
        auto layer = std::make_shared<FaultyLayer>();
        layer->FailAfterBytes = after;
        ExpectUnchangedAfterFailure(layer, frames, "after " + std::to_string(after));
    }
    auto layer = std::make_shared<FaultyLayer>();
    layer->FailAfterBytes = total;
    TID3v2Reader reader;
    reader.FileName = m_path;
    reader.SetFileLayer(layer);
    EXPECT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    EXPECT_EQ(Read(m_path).size(), total);
}

TEST_F(FaultInjectionTest, InPlaceWriteFailingAfterAnyBytePutsTheOldBytesBack)
{
    const TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("Changed title!")}});
    for (qint64 after = 0; after < m_tag.size() + 128; after += after < 16 ? 1 : 23) {
        auto layer = std::make_shared<FaultyLayer>();
        layer->FailAfterBytes = after;
        layer->FailOnce = true;
        ExpectUnchangedAfterFailure(layer, frames, "after " + std::to_string(after));
        EXPECT_EQ(layer->Failures, 1);
    }
    // The same write without faults is in place indeed.
    TID3v2Reader reader;
    reader.FileName = m_path;
    ASSERT_TRUE(reader.WriteTags(frames));
    EXPECT_EQ(Read(m_path).size(), m_tag.size() + StandardAudio(50).size() + 128);
}

TEST_F(FaultInjectionTest, FailedRenameOrSyncLeavesTheOriginal)
{
    const TID3FrameList grown = TextFrames({{"TIT2", QString(700, QLatin1Char('t'))}});
    const TID3FrameList same = TextFrames({{"TIT2", QStringLiteral("Changed title!")}});
    auto rename = std::make_shared<FaultyLayer>();
    rename->FailRename = true;
    ExpectUnchangedAfterFailure(rename, grown, "rename");
    auto sync = std::make_shared<FaultyLayer>();
    sync->FailSync = true;
    ExpectUnchangedAfterFailure(sync, grown, "sync, new file");
    ExpectUnchangedAfterFailure(sync, same, "sync, in place");
}

TEST_F(FaultInjectionTest, WriteProtectedFilesNeedTheOption)
{
    const TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("Changed title!")}});
    auto layer = std::make_shared<FaultyLayer>();
    layer->WriteProtected = true;
    ExpectUnchangedAfterFailure(layer, frames, "protected, in place");
    ExpectUnchangedAfterFailure(layer, TextFrames({{"TIT2", QString(700, QLatin1Char('t'))}}), "protected, copy");

    TID3v2Reader reader;
    reader.FileName = m_path;
    reader.SetFileLayer(layer);
    reader.IgnoreWriteProtect = true;
    EXPECT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
}

TEST_F(FaultInjectionTest, IgnoringWriteProtectionRestoresTheMode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(m_path).constData(), 0444), 0);
    auto layer = std::make_shared<FaultyLayer>();
    layer->NeedsChmodToOpen = true;
    TID3v2Reader reader;
    reader.FileName = m_path;
    reader.SetFileLayer(layer);
    const TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("Changed title!")}});
    EXPECT_FALSE(reader.WriteTags(frames));
    EXPECT_EQ(Digest(m_path), m_digest);

    reader.IgnoreWriteProtect = true;
    ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    ASSERT_EQ(layer->ChmodModes.size(), 2u);
    EXPECT_EQ(layer->ChmodModes[0], mode_t(0644));
    EXPECT_EQ(layer->ChmodModes[1], mode_t(0444));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(m_path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_NE(Digest(m_path), m_digest);
}
