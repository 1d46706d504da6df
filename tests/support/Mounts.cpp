#include "Mounts.h"

#include <QDir>
#include <QFile>
#include <QProcess>

int RunCommand(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

TBindView::TBindView(const QString& real, const QString& view) : m_view(view)
{
    QDir().mkpath(view);
    if (RunCommand(QStringLiteral("bindfs"), {real, view}) != 0)
        m_why = QStringLiteral("bindfs cannot mount a second view of a folder here (not installed, or FUSE not "
                               "allowed)");
}

TBindView::~TBindView()
{
    if (Mounted())
        RunCommand(QStringLiteral("fusermount"), {QStringLiteral("-u"), QStringLiteral("-z"), m_view});
}

TExFatStick::TExFatStick(const QString& folder, int megabytes) : m_folder(folder)
{
    const QString image = folder + QStringLiteral(".img");
    QDir().mkpath(folder);
    QFile file(image);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(qint64(megabytes) * 1024 * 1024)) {
        m_why = QStringLiteral("cannot make the image file ") + image;
        return;
    }
    file.close();
    if (RunCommand(QStringLiteral("mkfs.exfat"), {image}) != 0) {
        m_why = QStringLiteral("mkfs.exfat cannot make an exFAT image here (exfatprogs not installed)");
        return;
    }
    QProcess losetup;
    losetup.start(QStringLiteral("losetup"), {QStringLiteral("-f"), QStringLiteral("--show"), image});
    if (!losetup.waitForFinished() || losetup.exitCode() != 0) {
        m_why = QStringLiteral("no loop device for the image here (needs root and /dev/loop*)");
        return;
    }
    m_device = QString::fromUtf8(losetup.readAllStandardOutput()).trimmed();
    m_mounted = RunCommand(QStringLiteral("mount.exfat-fuse"), {m_device, folder}) == 0;
    if (!m_mounted)
        m_why = QStringLiteral("mount.exfat-fuse cannot mount the image here (exfat-fuse not installed, or FUSE "
                               "not allowed)");
}

TExFatStick::~TExFatStick()
{
    if (m_mounted)
        RunCommand(QStringLiteral("fusermount"), {QStringLiteral("-u"), QStringLiteral("-z"), m_folder});
    if (!m_device.isEmpty())
        RunCommand(QStringLiteral("losetup"), {QStringLiteral("-d"), m_device});
}
