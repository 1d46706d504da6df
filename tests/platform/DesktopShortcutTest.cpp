// Program shortcuts: desktop entries that desktop-file-validate accepts, whose
// Exec line gives back the exact program path (read by the Desktop Entry
// rules here, and launched by GLib's own reader), written whole and replaced
// in one step.

#include "platform/DesktopShortcut.h"

#include "support/RunProgram.h"
#include "support/ScopedEnv.h"

#include <QDir>
#include <QElapsedTimer>
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

// The value of a key of the file's group, still escaped.
QString RawValue(const QString& text, const QString& key)
{
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    return {};
}

// The string escapes of a value undone.
QString Unescaped(const QString& value)
{
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        QChar c = value.at(i);
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            c = next == QLatin1Char('s')   ? QChar(' ')
                : next == QLatin1Char('n') ? QChar('\n')
                : next == QLatin1Char('t') ? QChar('\t')
                : next == QLatin1Char('r') ? QChar('\r')
                                           : next;
        }
        text += c;
    }
    return text;
}

// The arguments of an Exec value by the Desktop Entry rules: string escapes,
// then quoting, then "%%" as a literal percent sign (other field codes are
// left in place).
QStringList ExecArguments(const QString& value)
{
    const QString line = Unescaped(value);
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < line.size() && QStringLiteral("\"`$\\").contains(line.at(i + 1)))
                current += line.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char(' ')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            inArgument = true;
            if (c == QLatin1Char('"'))
                quoted = true;
            else
                current += c;
        }
    }
    if (inArgument)
        arguments << current;
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

// A shell script at path that writes the path it was started by into out.
bool WriteRecordingProgram(const QString& path, const QString& out)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\nprintf '%s' \"$0\" > '" + out.toUtf8() + "'\n");
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

class DesktopShortcutTest : public ::testing::Test {
protected:
    QString Folder(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QTemporaryDir m_dir;
};

}

TEST_F(DesktopShortcutTest, ExecLineKeepsAnyProgramPath)
{
    // Nothing to quote stays as it is; a percent sign is no field code.
    EXPECT_EQ(QuoteExecArgument(QStringLiteral("/opt/q/quillon")), QStringLiteral("/opt/q/quillon"));
    EXPECT_EQ(QuoteExecArgument(QStringLiteral("/opt/100%/q")), QStringLiteral("/opt/100%%/q"));
    EXPECT_EQ(EscapeDesktopString(QStringLiteral("a\\b\nc")), QStringLiteral("a\\\\b\\nc"));

    const QStringList paths = {
        QStringLiteral("/opt/My Programs/quillon"),
        QStringLiteral("/home/o'neil/\"q\" $HOME/100% done/quillon"),
        QStringLiteral("/x/back\\slash/`tick`/a;b&c|d*e?f#g(h)~i<j>k\tl/quillon"),
        QStringLiteral("/x/line\nbreak/ü日本/quillon"),
    };
    for (const QString& path : paths) {
        const QString entry = QString::fromUtf8(DesktopEntryText(QStringLiteral("Quillon 3"), path, QStringLiteral("/x")));
        EXPECT_EQ(ExecArguments(RawValue(entry, QStringLiteral("Exec"))), QStringList({path, QStringLiteral("%F")}))
            << path.toStdString();
    }
}

TEST_F(DesktopShortcutTest, ShortcutsPassTheValidatorAndStartTheProgram)
{
    // desktop-file-validate is installed by scripts/test; GLib's launcher
    // comes with the system.
    const QString program = Folder(QStringLiteral("my \"odd\" $prog%dir/quillon"));
    ASSERT_TRUE(WriteRecordingProgram(program, Folder(QStringLiteral("unused"))));
    for (const QString& folder : {Folder(QStringLiteral("data/applications")), Folder(QStringLiteral("Desk top"))}) {
        ASSERT_TRUE(WriteDesktopShortcut(folder, QStringLiteral("Quillon 3"), program));
        const QString file = QDir(folder).filePath(QStringLiteral("Quillon 3.desktop"));
        const TProgramRun validate = RunProgram(QStringLiteral("desktop-file-validate"), {file});
        const QByteArray output = validate.Out + validate.Err;
        EXPECT_EQ(validate.ExitCode, 0) << output.toStdString();
        EXPECT_TRUE(output.isEmpty()) << output.toStdString();
        const QString text = ReadText(file);
        EXPECT_EQ(ExecArguments(RawValue(text, QStringLiteral("Exec"))), QStringList({program, QStringLiteral("%F")}));
        EXPECT_EQ(Unescaped(RawValue(text, QStringLiteral("Path"))), QFileInfo(program).path());
        EXPECT_TRUE(QFileInfo(file).permissions() & QFileDevice::ExeOwner);
        EXPECT_TRUE(QFileInfo(file).permissions() & QFileDevice::ExeOther);
        // Nothing but the shortcut is left in the folder.
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({QStringLiteral("Quillon 3.desktop")}));
    }

    // GLib reads the quoting on its own terms, which cannot name a program
    // whose path holds a percent sign; every other reserved character is
    // tried here.
    const QString out = Folder(QStringLiteral("started"));
    const QString launched = Folder(QStringLiteral("it's \"a\" $HOME\\dir/quillon"));
    ASSERT_TRUE(WriteRecordingProgram(launched, out));
    ASSERT_TRUE(WriteDesktopShortcut(Folder(QStringLiteral("launch")), QStringLiteral("Quillon 3"), launched));
    const TProgramRun launch = RunProgram(QStringLiteral("gio"),
                                          {QStringLiteral("launch"), Folder(QStringLiteral("launch/Quillon 3.desktop"))});
    ASSERT_EQ(launch.ExitCode, 0) << launch.Err.toStdString();
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(out) && waited.elapsed() < 10000)
        QThread::msleep(20);
    QThread::msleep(50);
    EXPECT_EQ(ReadText(out), launched);
}

TEST_F(DesktopShortcutTest, AnOlderShortcutIsReplacedAndFailuresLeaveNothing)
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

    // A folder that cannot be made (a file holds its name), and no folder.
    QFile blocker(Folder(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(WriteDesktopShortcut(Folder(QStringLiteral("blocked")), QStringLiteral("Quillon 3"), QStringLiteral("/q")));
    EXPECT_FALSE(WriteDesktopShortcut(Folder(QStringLiteral("blocked/sub")), QStringLiteral("Quillon 3"), QStringLiteral("/q")));
    EXPECT_FALSE(WriteDesktopShortcut(QString(), QStringLiteral("Quillon 3"), QStringLiteral("/q")));
    // A folder of that name where the shortcut goes: not replaced.
    const QString taken = Folder(QStringLiteral("taken"));
    QDir().mkpath(taken + QStringLiteral("/Quillon 3.desktop"));
    EXPECT_FALSE(WriteDesktopShortcut(taken, QStringLiteral("Quillon 3"), QStringLiteral("/q")));
    EXPECT_EQ(QDir(taken).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({QStringLiteral("Quillon 3.desktop")}));
}

TEST_F(DesktopShortcutTest, FoldersFollowTheUserSettings)
{
    const TScopedEnv data("XDG_DATA_HOME", Folder(QStringLiteral("data")));
    const TScopedEnv config("XDG_CONFIG_HOME", Folder(QStringLiteral("config")));
    QDir().mkpath(Folder(QStringLiteral("config")));
    QFile dirs(Folder(QStringLiteral("config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"" + Folder(QStringLiteral("My Desktop")).toUtf8() + "\"\n");
    dirs.close();
    EXPECT_EQ(ShortcutFolder(TShortcutPlace::Applications), Folder(QStringLiteral("data/applications")));
    EXPECT_EQ(ShortcutFolder(TShortcutPlace::Desktop), Folder(QStringLiteral("My Desktop")));
}
