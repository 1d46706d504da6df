// Program shortcuts: desktop entries that GLib's launcher starts with the
// exact program path and working folder, written whole and replaced in one
// step.

#include "platform/DesktopShortcut.h"

#include "support/RunProgram.h"

#include <QDir>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A shell script at path that writes the path it was started by and its
// working folder into out, which appears only once it is complete.
bool WriteRecordingProgram(const QString& path, const QString& out)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray target = out.toUtf8();
    file.write("#!/bin/sh\nprintf '%s\\n%s' \"$0\" \"$(pwd)\" > '" + target + ".part' && mv '" + target + ".part' '" +
               target + "'\n");
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

class DesktopShortcutTest : public ::testing::Test {
protected:
    QString Folder(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QTemporaryDir m_dir;
};

}

// desktop-file-validate reads the shortcuts the settings dialog makes.
TEST_F(DesktopShortcutTest, GLibStartsTheProgramByItsExactPathInItsFolder)
{
    // GLib reads the quoting on its own terms, which cannot name a program
    // whose path holds a percent sign; every other reserved character is
    // tried here.
    const QString out = Folder(QStringLiteral("started"));
    const QString program =
        Folder(QStringLiteral("it's \"a\" $HOME\\dir `t` a;b&c|d*e?f#g(h)~i<j>k\tl\nbreak \u00fc\u65e5/quillon"));
    const QString folder = Folder(QStringLiteral("Desk top"));
    ASSERT_TRUE(WriteRecordingProgram(program, out));
    ASSERT_TRUE(WriteDesktopShortcut(folder, QStringLiteral("Quillon 3"), program));
    const QString file = QDir(folder).filePath(QStringLiteral("Quillon 3.desktop"));
    EXPECT_TRUE(QFileInfo(file).permissions() & QFileDevice::ExeOther);
    // Nothing but the shortcut is left in the folder.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("Quillon 3.desktop")}));
    const TProgramRun launch = RunProgram(QStringLiteral("gio"), {QStringLiteral("launch"), file});
    ASSERT_EQ(launch.ExitCode, 0) << launch.Err.toStdString();
    const QDeadlineTimer deadline(60000);
    while (!QFileInfo::exists(out) && !deadline.hasExpired())
        QThread::msleep(20);
    EXPECT_EQ(ReadText(out), program + QLatin1Char('\n') + QFileInfo(program).path());

    // A percent sign is doubled, with and without quotes, so that it is no
    // field code ("%F" would take the dropped files).
    EXPECT_TRUE(DesktopEntryText(QStringLiteral("Q"), QStringLiteral("/opt/50%Fun/quillon"), QString())
                    .contains("\nExec=/opt/50%%Fun/quillon %F\n"));
    EXPECT_TRUE(DesktopEntryText(QStringLiteral("Q"), QStringLiteral("/opt/my 50%Fun/quillon"), QString())
                    .contains("\nExec=\"/opt/my 50%%Fun/quillon\" %F\n"));
}

TEST_F(DesktopShortcutTest, AnOlderShortcutIsReplacedAndAFolderOfItsNameIsNot)
{
    const QString folder = Folder(QStringLiteral("apps"));
    QDir().mkpath(folder);
    const QString file = QDir(folder).filePath(QStringLiteral("Quillon 3.desktop"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    ASSERT_TRUE(WriteDesktopShortcut(folder, QStringLiteral("Quillon 3"), QStringLiteral("/opt/q/quillon")));
    EXPECT_TRUE(ReadText(file).startsWith(QStringLiteral("[Desktop Entry]\n")));
    EXPECT_FALSE(ReadText(file).contains(QStringLiteral("xxx")));

    const QString taken = Folder(QStringLiteral("taken"));
    QDir().mkpath(taken + QStringLiteral("/Quillon 3.desktop"));
    EXPECT_FALSE(WriteDesktopShortcut(taken, QStringLiteral("Quillon 3"), QStringLiteral("/q")));
    EXPECT_EQ(QDir(taken).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("Quillon 3.desktop")}));
}
