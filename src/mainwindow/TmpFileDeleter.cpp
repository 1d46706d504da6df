#include "mainwindow/TmpFileDeleter.h"

#include <QDir>
#include <QFile>

#include <cstdlib>

#include <unistd.h>

TTmpFileDeleter::~TTmpFileDeleter()
{
    if (AutoDelete)
        DeleteFiles();
    if (m_folder.isEmpty())
        return;
    // Only what the program put there, and the folder only once empty.
    QDir folder(m_folder);
    for (const QString& name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
        folder.rmdir(name);
    QDir().rmdir(m_folder);
}

void TTmpFileDeleter::Add(const QString& path)
{
    if (!m_files.contains(path))
        m_files << path;
}

void TTmpFileDeleter::DeleteFiles()
{
    for (const QString& path : std::as_const(m_files))
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            QFile::remove(path);
}

QString TTmpFileDeleter::PrivateFolder()
{
    if (!m_folder.isEmpty() && QFileInfo(m_folder).isDir())
        return m_folder;
    // mkdtemp makes the folder exclusively, mode 0700, with a random name.
    QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/quillon-XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        return {};
    m_folder = QFile::decodeName(pattern);
    return m_folder;
}
