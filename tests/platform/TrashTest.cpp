#include "platform/FileOps.h"
#include "platform/Trash.h"

#include "support/ScopedEnv.h"
#include "support/TrashCli.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray B(const QString& path)
{
    return QFile::encodeName(path);
}

void Touch(const QString& path, const QByteArray& data = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

// XDG_DATA_HOME in a folder of the test's own for its lifetime.
struct TDataHome {
    QTemporaryDir Dir;
    TScopedEnv Env{"XDG_DATA_HOME", Dir.path()};
    QString Path() const { return Dir.path(); }
};

bool OnOtherFileSystem(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    return ::stat(B(a).constData(), &sa) == 0 && ::stat(B(b).constData(), &sb) == 0 && sa.st_dev != sb.st_dev;
}

}

TEST(Trash, TrashCliListsTheOriginalPathsOfEveryName)
{
    TDataHome home;
    QTemporaryDir local;
    // /dev/shm lies on a file system of its own here: its top folder gets a
    // ".Trash-<uid>".
    ASSERT_TRUE(OnOtherFileSystem("/dev/shm", local.path())) << "no second file system at /dev/shm";
    QTemporaryDir other(QStringLiteral("/dev/shm/quillon-trash-XXXXXX"));
    ASSERT_TRUE(other.isValid());
    // The last name is too long for its ".trashinfo" beside it: the cut
    // falls on the last byte of a 4-byte character, which goes whole.
    const QString clefs = QStringLiteral("\U0001D11E").repeated(62);
    const QStringList names{"a%41 b.mp3", "ä ö ü.mp3", "Ελληνικά 日本.mp3", "Album 1", "ab" + clefs + ".mp3"};
    QStringList originals;
    for (const QString& folder : {local.path(), other.path()}) {
        for (const QString& name : names) {
            if (name.startsWith("Album"))
                Touch(folder + "/" + name + "/01 Track.mp3");
            else
                Touch(folder + "/" + name);
            originals << folder + "/" + name;
        }
        // Two files of one name from different folders.
        Touch(folder + "/sub/a%41 b.mp3", "second");
        originals << folder + "/sub/a%41 b.mp3";
    }

    TTrash trash;
    QList<QByteArray> trashed;
    for (const QString& original : originals) {
        QByteArray where;
        int error = -1;
        ASSERT_TRUE(trash.Put(B(original), &where, &error)) << original.toStdString() << " errno " << error;
        EXPECT_FALSE(QFileInfo::exists(original));
        EXPECT_TRUE(QFileInfo::exists(QFile::decodeName(where)));
        trashed << where;
    }
    const qsizetype perFolder = names.size() + 1;
    EXPECT_TRUE(trashed[0].startsWith(B(home.Path() + "/Trash/files/")));
    EXPECT_TRUE(trashed[perFolder].startsWith("/dev/shm/.Trash-"));
    EXPECT_NE(trashed[0], trashed[perFolder - 1]);
    EXPECT_EQ(QSet<QByteArray>(trashed.begin(), trashed.end()).size(), trashed.size());
    const QByteArray cutName = B("ab" + clefs.left(2 * 59) + ".mp3");
    EXPECT_EQ(PathName(trashed[4]), cutName);
    // The shared trash of /dev/shm may hold that name already (another run
    // put it there): a number tells the two apart, and the cut still falls
    // between whole characters.
    const QString shared = QString::fromUtf8(PathName(trashed[perFolder + 4]));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^ab(\U0001D11E)+(\\.[0-9]+)?\\.mp3$")).match(shared).hasMatch())
        << shared.toStdString();

    // Percent-encoded, "/" kept: a name holding "%41" is not read as "A".
    QFile info(home.Path() + "/Trash/info/a%41 b.mp3.trashinfo");
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("Path=" + B(local.path()).toPercentEncoding("/") + "/a%2541%20b.mp3\n"));

    TProgramRun list;
    const QSet<QString> listed = ListedByTrashCli(&list);
    EXPECT_EQ(list.ExitCode, 0) << "trash-list (package trash-cli): " << list.Err.toStdString();
    for (const QString& original : originals)
        EXPECT_TRUE(listed.contains(original)) << original.toStdString();

    // Only what this test put into the shared trash of /dev/shm goes again.
    for (const QByteArray& where : trashed) {
        if (!where.startsWith("/dev/shm/"))
            continue;
        QProcess::execute("rm", {"-rf", QFile::decodeName(where)});
        const QByteArray bin = PathFolder(PathFolder(where));
        QFile::remove(QFile::decodeName(bin + "/info/" + PathName(where) + ".trashinfo"));
    }
}

TEST(Trash, ASharedTrashIsUsedOnlyAsAStickyFolderWhoseUserPartIsTheUsers)
{
    TDataHome home;
    QTemporaryDir dir;
    const QString top = dir.filePath("top");
    const QByteArray uid = QByteArray::number(static_cast<qulonglong>(::geteuid()));
    // The folder top stands for the top folder of another file system; the
    // owners of some folders are not the user.
    class TOtherFileSystem : public TFileLayer {
    public:
        QByteArray Top;
        std::map<QByteArray, uid_t> Owners;
        int Stat(const QByteArray& path, struct stat& st) override { return Seen(path, TFileLayer::Stat(path, st), st); }
        int LStat(const QByteArray& path, struct stat& st) override
        {
            return Seen(path, TFileLayer::LStat(path, st), st);
        }

    private:
        int Seen(const QByteArray& path, int result, struct stat& st)
        {
            if (result == 0 && (path == Top || path.startsWith(Top + '/')))
                st.st_dev ^= 0x4000;
            if (result == 0 && Owners.count(path))
                st.st_uid = Owners[path];
            return result;
        }
    };
    const QString shared = top + "/.Trash";
    const QString own = top + "/.Trash-" + QString::fromLatin1(uid);
    const QString sticky = dir.filePath("sticky");
    struct TCase {
        const char* Name;
        std::function<void(TOtherFileSystem&)> Prepare;
        QString Bin; // empty: no usable trash
    };
    const std::vector<TCase> cases{
        {"a sticky .Trash", [&](TOtherFileSystem&) { ::chmod(B(shared).constData(), 01777); },
         shared + "/" + QString::fromLatin1(uid)},
        {".Trash without the sticky bit", [&](TOtherFileSystem&) { ::chmod(B(shared).constData(), 0777); }, own},
        {".Trash a link to a sticky folder",
         [&](TOtherFileSystem&) {
             QDir(shared).removeRecursively();
             QDir().mkpath(sticky);
             ::chmod(B(sticky).constData(), 01777);
             ::symlink(B(sticky).constData(), B(shared).constData());
         },
         own},
        {"the user's part of .Trash owned by another",
         [&](TOtherFileSystem& layer) {
             ::chmod(B(shared).constData(), 01777);
             QDir().mkpath(shared + "/" + QString::fromLatin1(uid));
             layer.Owners[B(shared) + "/" + uid] = ::geteuid() + 1;
         },
         own},
        {"no .Trash and .Trash-<uid> owned by another",
         [&](TOtherFileSystem& layer) {
             QDir(shared).removeRecursively();
             QDir().mkpath(own);
             layer.Owners[B(own)] = ::geteuid() + 1;
         },
         QString()},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        QProcess::execute("rm", {"-rf", top, sticky});
        QDir().mkpath(shared);
        Touch(top + "/song.mp3", "keep me");
        auto layer = std::make_shared<TOtherFileSystem>();
        layer->Top = B(top);
        test.Prepare(*layer);
        TTrash trash(layer);
        QByteArray where;
        int error = -1;
        const bool trashed = trash.Put(B(top + "/song.mp3"), &where, &error);
        EXPECT_EQ(trashed, !test.Bin.isEmpty()) << "errno " << error;
        if (trashed) {
            EXPECT_EQ(QFile::decodeName(where), test.Bin + "/files/song.mp3");
            EXPECT_TRUE(QFile::exists(test.Bin + "/info/song.mp3.trashinfo"));
        } else {
            EXPECT_EQ(error, 0);
            EXPECT_TRUE(QFile::exists(top + "/song.mp3"));
        }
        // Nothing of the user's was made in a shared folder not used.
        if (test.Bin != shared + "/" + QString::fromLatin1(uid)) {
            EXPECT_FALSE(QFileInfo::exists(sticky + "/" + QString::fromLatin1(uid)));
            EXPECT_FALSE(QFileInfo::exists(shared + "/" + QString::fromLatin1(uid) + "/files"));
        }
    }
}
