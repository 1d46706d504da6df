#include "platform/DesktopShortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>

#include <unistd.h>

namespace {

// Characters that make an Exec argument need quotes.
const QString& ReservedExecCharacters()
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved;
}

// Characters that get a backslash inside a quoted Exec argument.
bool EscapedInQuotes(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\');
}

QString DoublePercent(const QString& text)
{
    QString result = text;
    return result.replace(QLatin1Char('%'), QStringLiteral("%%"));
}

bool NeedsQuotes(const QString& argument)
{
    if (argument.isEmpty())
        return true;
    for (const QChar c : argument)
        if (ReservedExecCharacters().contains(c))
            return true;
    return false;
}

bool WriteAll(QFile& file, const QByteArray& data)
{
    return file.write(data) == data.size() && file.flush() && ::fsync(file.handle()) == 0;
}

} // namespace

QString ShortcutFolder(TShortcutPlace place)
{
    if (place == TShortcutPlace::Applications)
        return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString QuoteExecArgument(const QString& argument)
{
    if (!NeedsQuotes(argument))
        return DoublePercent(argument);
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (EscapedInQuotes(c))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    return DoublePercent(quoted);
}

QString EscapeDesktopString(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            escaped += QStringLiteral("\\t");
        else
            escaped += c;
    }
    return escaped;
}

QByteArray DesktopEntryText(const QString& name, const QString& program, const QString& workingFolder)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n");
    text += QStringLiteral("Name=") + EscapeDesktopString(name) + QLatin1Char('\n');
    text += QStringLiteral("Exec=") + EscapeDesktopString(QuoteExecArgument(program)) + QStringLiteral(" %F\n");
    if (!workingFolder.isEmpty())
        text += QStringLiteral("Path=") + EscapeDesktopString(workingFolder) + QLatin1Char('\n');
    text += QStringLiteral("Terminal=false\n"
                           "Categories=AudioVideo;Audio;\n"
                           "MimeType=audio/mpeg;\n");
    return text.toUtf8();
}

bool WriteDesktopShortcut(const QString& folder, const QString& name, const QString& program)
{
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    const QString target = QDir(folder).filePath(name + QStringLiteral(".desktop"));
    QTemporaryFile file(QDir(folder).filePath(QStringLiteral(".") + name + QStringLiteral(".XXXXXX")));
    if (!file.open())
        return false;
    const QFileInfo programInfo(program);
    if (!WriteAll(file, DesktopEntryText(name, program, programInfo.absolutePath())))
        return false;
    const auto executable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                            QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                            QFileDevice::ExeOther;
    if (!file.setPermissions(executable))
        return false;
    file.close();
    // An older shortcut of the same name is replaced in one step.
    if (std::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        return false;
    file.setAutoRemove(false);
    return QFileInfo(target).isFile();
}
