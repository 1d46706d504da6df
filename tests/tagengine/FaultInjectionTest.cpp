#include "FaultyLayer.h"
#include "ReadWriteFixture.h"

#include "tagengine/ID3v2Reader.h"
#include "tagengine/TagUndo.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool operator<(const timespec& a, const timespec& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

// Some kernels stamp file times from a clock that ticks every few
// milliseconds: waits until a file touched now gets a later change time than
// the file at path has, so that a change made then shows in its times.
void AwaitNextFileTimeTick(const QString& path)
{
    const QTemporaryDir probeDir;
    const QByteArray probe = QFile::encodeName(probeDir.filePath(QStringLiteral("probe")));
    const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    const struct stat changed = StatOf(path);
    struct stat now {};
    do {
        ASSERT_EQ(::futimens(fd, nullptr), 0);
        ASSERT_EQ(::fstat(fd, &now), 0);
    } while (!(changed.st_ctim < now.st_ctim));
    ::close(fd);
}

}

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

TEST_F(FaultInjectionTest, CopyFailingAfterAnyByteOrAtItsSyncOrRenameLeavesTheOriginal)
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
    auto sync = std::make_shared<FaultyLayer>();
    sync->FailSync = true;
    ExpectUnchangedAfterFailure(sync, frames, "sync");
    auto rename = std::make_shared<FaultyLayer>();
    rename->FailRename = true;
    ExpectUnchangedAfterFailure(rename, frames, "rename");

    auto layer = std::make_shared<FaultyLayer>();
    layer->FailAfterBytes = total;
    TID3v2Reader reader;
    reader.FileName = m_path;
    reader.SetFileLayer(layer);
    EXPECT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    EXPECT_EQ(Read(m_path).size(), total);
}

TEST_F(FaultInjectionTest, InPlaceWriteFailingAfterAnyByteOrAtItsSyncPutsTheOldBytesBack)
{
    const TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("Changed title!")}});
    for (qint64 after = 0; after < m_tag.size() + 128; after += after < 16 ? 1 : 23) {
        auto layer = std::make_shared<FaultyLayer>();
        layer->FailAfterBytes = after;
        layer->FailOnce = true;
        ExpectUnchangedAfterFailure(layer, frames, "after " + std::to_string(after));
        EXPECT_EQ(layer->Failures, 1);
    }
    auto sync = std::make_shared<FaultyLayer>();
    sync->FailSync = true;
    ExpectUnchangedAfterFailure(sync, frames, "sync");
    // The same write without faults is in place indeed.
    TID3v2Reader reader;
    reader.FileName = m_path;
    ASSERT_TRUE(reader.WriteTags(frames));
    EXPECT_EQ(Read(m_path).size(), m_tag.size() + StandardAudio(50).size() + 128);
}

// With the option a write-protected file is made writable for the write and
// gets its mode back.
TEST_F(FaultInjectionTest, WriteProtectedFilesNeedTheOptionAndKeepTheirMode)
{
    const TID3FrameList frames = TextFrames({{"TIT2", QStringLiteral("Changed title!")}});
    auto layer = std::make_shared<FaultyLayer>();
    layer->WriteProtected = true;
    ExpectUnchangedAfterFailure(layer, frames, "protected, in place");
    ExpectUnchangedAfterFailure(layer, TextFrames({{"TIT2", QString(700, QLatin1Char('t'))}}), "protected, copy");

    ASSERT_EQ(::chmod(QFile::encodeName(m_path).constData(), 0444), 0);
    layer->NeedsChmodToOpen = true;
    TID3v2Reader reader;
    reader.FileName = m_path;
    reader.SetFileLayer(layer);
    reader.IgnoreWriteProtect = true;
    ASSERT_TRUE(reader.WriteTags(frames)) << reader.LastError().toStdString();
    EXPECT_EQ(layer->ChmodModes, (std::vector<mode_t>{0644, 0444}));
    EXPECT_EQ(StatOf(m_path).st_mode & 07777, 0444u);
    EXPECT_NE(Digest(m_path), m_digest);
}

// Another program changes the file while it is rewritten: while the new file
// is being made, or between the check and the opening for writing. The write
// is refused and the file stays as the other program left it.
TEST_F(FaultInjectionTest, FileChangedByAnotherProgramMeanwhileIsNotWrittenOver)
{
    const QByteArray name = QFile::encodeName(m_path);
    const QByteArray original = Read(m_path);
    const auto keepingTimes = [&](const std::function<void()>& change) {
        struct stat st {};
        ASSERT_EQ(::stat(name.constData(), &st), 0);
        change();
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"size", [&] { Put("song.mp3", original + "more"); }},
        {"content, same size and write time",
         [&] { keepingTimes([&] { Put("song.mp3", QByteArray(original).replace(m_tag.size() + 100, 4, "gain")); }); }},
        {"write time", [&] {
             const struct timespec times[2] = {{UTIME_OMIT, UTIME_OMIT}, {1000000000, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
         }},
        {"replaced", [&] {
             const QString other = Put("other.mp3", QByteArray(original).replace(m_tag.size() + 100, 4, "them"));
             ASSERT_EQ(::rename(QFile::encodeName(other).constData(), name.constData()), 0);
         }},
    };
    for (const bool inPlace : {false, true}) {
        for (const auto& [what, change] : changes) {
            SCOPED_TRACE(testing::Message() << what << (inPlace ? ", before opening for writing" : ", during the copy"));
            Put("song.mp3", original);
            QByteArray changed;
            auto layer = std::make_shared<FaultyLayer>();
            layer->Change = [&] {
                AwaitNextFileTimeTick(m_path);
                change();
                changed = Digest(m_path);
            };
            layer->ChangeAtOpenForWriting = inPlace;
            // The second write copies the audio, which was read just before.
            layer->ChangeAtWrite = inPlace ? 0 : 2;
            TID3v2Reader reader;
            reader.FileName = m_path;
            reader.SetFileLayer(layer);
            const QString title = inPlace ? QStringLiteral("Changed title!") : QString(700, QLatin1Char('t'));
            EXPECT_FALSE(reader.WriteTags(TextFrames({{"TIT2", title}})));
            ASSERT_FALSE(changed.isEmpty()) << "the other program came too late";
            EXPECT_FALSE(reader.LastError().isEmpty());
            EXPECT_EQ(Digest(m_path), changed);
            EXPECT_EQ(Entries(), QStringList({"song.mp3"}));
            EXPECT_EQ(reader.UndoList().Count(), 0);
        }
    }
}
