// Where an export may go: only onto a regular file or a new name, never
// over the template it is made from; and what an export killed half way
// leaves behind goes with the next export into that folder.
#include "ExportTestSupport.h"

#include "support/QtPrinters.h"

#include "export/DataModuleExport.h"
#include "export/ExportError.h"
#include "export/ExportFile.h"
#include "localisation/FileKindTexts.h"
#include "localisation/MultiLanguage.h"
#include "platform/UnfinishedFiles.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <csignal>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class ExportTargetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadEnglish();
        m_files.push_back(MakeEntry(m_dir.path() + QLatin1Char('/'), QStringLiteral("a.mp3"),
                                    {{QStringLiteral("TIT2"), QStringLiteral("Alpha")}}, 1000));
    }

    QString PathOf(const QString& name) const { return m_dir.filePath(name); }

    TDataModuleExport Module(const QString& output) const
    {
        TDataModuleExport module;
        module.Files = &m_files;
        module.OutputFile = output;
        return module;
    }

    // The text of the TExportError the call throws; empty when it throws none.
    template <typename Call> static QString ErrorOf(Call call)
    {
        try {
            call();
        } catch (const TExportError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }

    QTemporaryDir m_dir;
    TEintragdatenList m_files;
    TExportPrompt m_prompt;
};

struct stat StatOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

bool Link(const QString& target, const QString& link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

// A second view of a folder through bindfs (FUSE), unmounted at the end.
struct TBindMount {
    TBindMount(const QString& folder, const QString& view)
        : View(view), Mounted(RunProgram(QStringLiteral("bindfs"), {folder, view}, 60000).ExitCode == 0)
    {
    }
    ~TBindMount()
    {
        if (Mounted)
            RunProgram(QStringLiteral("fusermount"), {QStringLiteral("-u"), QStringLiteral("-z"), View}, 60000);
    }
    QString View;
    bool Mounted;
};

QStringList Names(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

}

TEST_F(ExportTargetTest, DevicesAndPipesAreNeverReplacedButLinksToFilesAreWrittenThrough)
{
    // A device of our own with the numbers of the null device: only root may
    // make one.
    const QString device = PathOf(QStringLiteral("null"));
    const bool haveDevice = ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const QString fifo = PathOf(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct TTarget {
        QString Path;
        QString Shown;
        TFileKind Kind;
    };
    std::vector<TTarget> targets{{fifo, fifo, TFileKind::Fifo}};
    ASSERT_TRUE(Link(fifo, PathOf(QStringLiteral("pipe-link.m3u"))));
    targets.push_back(
        {PathOf(QStringLiteral("pipe-link.m3u")), PathOf(QStringLiteral("pipe-link.m3u")), TFileKind::Fifo});
    if (haveDevice) {
        ASSERT_TRUE(Link(device, PathOf(QStringLiteral("null-link.htm"))));
        targets.push_back({device, device, TFileKind::CharDevice});
        targets.push_back(
            {PathOf(QStringLiteral("null-link.htm")), PathOf(QStringLiteral("null-link.htm")), TFileKind::CharDevice});
    }

    for (const TTarget& target : targets) {
        SCOPED_TRACE(target.Path.toStdString());
        const QString refusal = NotRegularFileText(target.Shown, target.Kind);
        TDataModuleExport page = Module(target.Path);
        EXPECT_EQ(ErrorOf([&] { page.ExportWithTemplate(m_dir.path(), QStringLiteral("<p>x</p>")); }), refusal);
        TDataModuleExport playlist = Module(target.Path);
        EXPECT_EQ(playlist.ExportPlaylist(m_dir.path(), true, false), erError);
        EXPECT_EQ(playlist.FailureReason, refusal);
        TDataModuleExport saved = Module(target.Path);
        EXPECT_EQ(saved.SaveDefaultTemplate({QStringLiteral("*FIN")}, {}, QString(), false), erError);
        EXPECT_EQ(saved.FailureReason, refusal);
        // The file writer itself refuses too, whoever calls it.
        EXPECT_EQ(ErrorOf([&] { WriteExportFile(target.Path, "x"); }), refusal);
    }
    EXPECT_TRUE(m_prompt.Asked.isEmpty()) << "refused before any question to overwrite";
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
    if (haveDevice) {
        const struct stat st = StatOf(device);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
        EXPECT_EQ(st.st_rdev, makedev(1, 3));
    }
    EXPECT_EQ(Names(m_dir.path()).size(), haveDevice ? 4 : 2) << "no temporary file left";

    // A link to a regular file elsewhere is written through: the link stays
    // and the file it leads to gets the export.
    QTemporaryDir elsewhere;
    const QString real = elsewhere.filePath(QStringLiteral("real.m3u"));
    ASSERT_TRUE(QFile(real).open(QIODevice::WriteOnly));
    const QString link = PathOf(QStringLiteral("list.m3u"));
    ASSERT_TRUE(Link(real, link));
    EXPECT_EQ(Module(link).ExportPlaylist(m_dir.path(), true, false), erDone);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(ReadAll(real).startsWith("#EXTM3U\r\n"));
    EXPECT_EQ(Names(elsewhere.path()), QStringList{QStringLiteral("real.m3u")});

    if (!haveDevice)
        GTEST_SKIP() << "no device node could be made here (mknod needs root); "
                        "pipes were checked";
}

TEST_F(ExportTargetTest, AnExportIsNeverWrittenOverItsOwnTemplate)
{
    const QString templ = PathOf(QStringLiteral("mine.htm"));
    const QByteArray templateText = "<p><#FILECOUNT> files</p>\r\n";
    {
        QFile file(templ);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(templateText);
    }
    ASSERT_TRUE(QDir().mkpath(PathOf(QStringLiteral("sub"))));
    ASSERT_TRUE(Link(templ, PathOf(QStringLiteral("link.htm"))));
    ASSERT_EQ(
        ::link(QFile::encodeName(templ).constData(), QFile::encodeName(PathOf(QStringLiteral("hard.htm"))).constData()),
        0);
    // The same file by its name, through a link, by a second name, and by a
    // path with a detour.
    const QStringList sameFile{templ, PathOf(QStringLiteral("link.htm")), PathOf(QStringLiteral("hard.htm")),
                               PathOf(QStringLiteral("sub/../mine.htm"))};
    for (const QString& output : sameFile) {
        SCOPED_TRACE(output.toStdString());
        TDataModuleExport module = Module(output);
        module.TemplateFile = templ;
        EXPECT_EQ(ErrorOf([&] { module.ExportWithTemplate(m_dir.path(), QString::fromUtf8(templateText)); }),
                  LangFmt(QStringLiteral("ErrorExportOntoTemplate"), {output, templ}));
    }
    EXPECT_TRUE(m_prompt.Asked.isEmpty()) << "refused before the question to overwrite";
    EXPECT_EQ(ReadAll(templ), templateText);

    // A group page too: the template of a page per group stands where the
    // first group's page would go.
    const QString groupTemplate = PathOf(QStringLiteral("out-Files/1.htm"));
    const QByteArray grouped = "<#begingroup groupby=\"TIT2\" loopinnewfile=\"true\"><#endgroup>"
                               "<#beginloopfile><#groupvalue><#endloopfile>";
    ASSERT_TRUE(QDir().mkpath(PathOf(QStringLiteral("out-Files"))));
    {
        QFile file(groupTemplate);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(grouped);
    }
    TDataModuleExport module = Module(PathOf(QStringLiteral("out.htm")));
    module.TemplateFile = groupTemplate;
    EXPECT_EQ(ErrorOf([&] { module.ExportWithTemplate(m_dir.path(), QString::fromUtf8(grouped)); }),
              LangFmt(QStringLiteral("ErrorExportOntoTemplate"), {groupTemplate, groupTemplate}));
    EXPECT_EQ(ReadAll(groupTemplate), grouped);

    // Another file is written as ever.
    TDataModuleExport other = Module(PathOf(QStringLiteral("other.htm")));
    other.TemplateFile = templ;
    EXPECT_EQ(other.ExportWithTemplate(m_dir.path(), QString::fromUtf8(templateText)), erDone);
    EXPECT_TRUE(ReadAll(PathOf(QStringLiteral("other.htm"))).contains("1 files"));
}

// Where the file system has no unnamed temporary files (FUSE mounts as
// sshfs or bindfs, some network file systems), a save file is written under
// a temporary name from the start.
TEST_F(ExportTargetTest, WhatAKilledExportLeftGoesWithTheNextExportThere)
{
    const QString view = PathOf(QStringLiteral("view"));
    ASSERT_TRUE(QDir().mkpath(PathOf(QStringLiteral("real"))));
    ASSERT_TRUE(QDir().mkpath(view));
    const TBindMount mount(PathOf(QStringLiteral("real")), view);
    if (!mount.Mounted)
        GTEST_SKIP() << "bindfs cannot mount a view of a folder here (not installed, or FUSE not allowed)";
    {
        QFile probe(view + QStringLiteral("/probe"));
        ASSERT_TRUE(probe.open(QIODevice::WriteOnly));
        if (!MarkUnfinished(probe.handle()))
            GTEST_SKIP() << "the file system of " << view.toStdString() << " keeps no extended attributes";
        probe.remove();
    }
    const QString old = view + QStringLiteral("/big.htm");
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old export");
    }
    // An export killed half way through its 8 MB, in a process of its own.
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        SetExportFileWriter([](QSaveFile& file, const QByteArray& bytes) {
            file.write(bytes.left(bytes.size() / 2));
            file.flush();
            ::raise(SIGKILL);
            return false;
        });
        try {
            WriteExportFile(old, QByteArray(8 * 1024 * 1024, 'x'));
        } catch (...) {
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const QStringList leftovers = Names(view).filter(QStringLiteral("big.htm."));
    ASSERT_EQ(leftovers.size(), 1);
    const QString leftover = view + QLatin1Char('/') + leftovers.at(0);
    EXPECT_EQ(QFileInfo(leftover).size(), 4 * 1024 * 1024);
    EXPECT_EQ(ReadAll(old), QByteArray("old export"));

    // What only looks like one stays: a user's file of such a name without
    // the mark; a marked file of such a name whose writer still runs; a
    // marked file that no longer has such a name.
    const auto makeFile = [&](const QString& name, bool mark, bool keepOpen) {
        const int fd =
            ::open(QFile::encodeName(view + QLatin1Char('/') + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        EXPECT_GE(fd, 0);
        if (mark) {
            EXPECT_TRUE(MarkUnfinished(fd));
        }
        if (!keepOpen)
            ::close(fd);
        return fd;
    };
    makeFile(QStringLiteral("notes.htm.AbCdEf"), false, false);
    const int running = makeFile(QStringLiteral("live.htm.QwErTy"), true, true);
    makeFile(QStringLiteral("renamed by the user.htm"), true, false);

    // The next export into the folder removes the leftover, and only it.
    const QString list = view + QStringLiteral("/list.m3u");
    EXPECT_EQ(Module(list).ExportPlaylist(m_dir.path(), true, false), erDone);
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_EQ(Names(view),
              QStringList({QStringLiteral("big.htm"), QStringLiteral("list.m3u"), QStringLiteral("live.htm.QwErTy"),
                           QStringLiteral("notes.htm.AbCdEf"), QStringLiteral("renamed by the user.htm")}));
    // Once its writer has ended, the other one goes too.
    ::close(running);
    EXPECT_EQ(RemoveUnfinishedFiles(view), QStringList{view + QStringLiteral("/live.htm.QwErTy")});
    // A finished export carries no mark.
    EXPECT_EQ(::getxattr(QFile::encodeName(list).constData(), "user.quillon.unfinished", nullptr, 0), -1);
}
