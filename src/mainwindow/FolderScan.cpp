#include "mainwindow/FolderScan.h"

#include "mainwindow/EventPump.h"

#include "platform/DirStream.h"
#include "platform/FileTimes.h"
#include "platform/NativePath.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace {

bool HasMp3Extension(const char* name)
{
    const size_t length = std::strlen(name);
    if (length < 4)
        return false;
    const char* ext = name + length - 4;
    return ext[0] == '.' && (ext[1] | 0x20) == 'm' && (ext[2] | 0x20) == 'p' && ext[3] == '3';
}

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}

TFolderScanner::TFolderScanner(TEventPump& pump, TAbortCheck aborted, TFoundHandler found)
    : m_pump(pump), m_aborted(std::move(aborted)), m_found(std::move(found))
{
}

bool TFolderScanner::ReadLevel(TLevel& level)
{
    const TDirStream dir = OpenDirStream(level.Native);
    if (!dir) {
        m_unreadable.push_back({level.Folder, errno});
        return !m_aborted();
    }
    const int fd = dirfd(dir.get());
    while (const dirent* e = readdir(dir.get())) {
        m_pump.Step();
        if (m_aborted())
            return false;
        const char* name = e->d_name;
        if (IsDotOrDotDot(name))
            continue;
        const bool maybeFolder = IncludeSubfolders && e->d_type != DT_REG;
        const bool maybeFile = e->d_type != DT_DIR && HasMp3Extension(name);
        if (!maybeFolder && !maybeFile)
            continue;
        struct stat st;
        if (fstatat(fd, name, &st, 0) != 0)
            continue; // vanished, or a broken link
        TItem item;
        if (S_ISDIR(st.st_mode) && IncludeSubfolders) {
            item.IsFolder = true;
            item.Id = {static_cast<quint64>(st.st_dev), static_cast<quint64>(st.st_ino)};
        } else if (S_ISREG(st.st_mode) && HasMp3Extension(name)) {
            item.Size = static_cast<qint64>(st.st_size);
            item.LastWriteNs = ModificationNs(st);
        } else {
            continue;
        }
        const QByteArray native = QByteArray::fromRawData(name, static_cast<qsizetype>(std::strlen(name)));
        item.Name = QFile::decodeName(native);
        if (item.IsFolder || !IsPlainNativeName(native))
            item.Native = QByteArray(name);
        level.Items.push_back(std::move(item));
    }
    return true;
}

bool TFolderScanner::Scan(const QString& folder)
{
    if (folder.isEmpty())
        return true;
    TLevel top;
    top.Native = NativeFromPath(folder);
    top.Plain = !HasEscapedBytes(folder);
    top.Folder = top.Plain ? folder : ShownPath(folder);
    struct stat root;
    if (stat(top.Native.constData(), &root) == 0)
        m_visited.insert({static_cast<quint64>(root.st_dev), static_cast<quint64>(root.st_ino)});

    std::vector<TLevel> stack;
    stack.push_back(std::move(top));
    if (!ReadLevel(stack.back()))
        return false;
    while (!stack.empty()) {
        TLevel& level = stack.back();
        if (level.Next >= level.Items.size()) {
            stack.pop_back();
            continue;
        }
        TItem& item = level.Items[level.Next++];
        if (!item.IsFolder) {
            auto entry = std::make_unique<TEintragdaten>();
            entry->Folder = level.Folder;
            entry->FileName = std::move(item.Name);
            if (!level.Plain)
                entry->NativeFolder = level.Native;
            entry->NativeName = std::move(item.Native);
            entry->Size = item.Size;
            entry->LastWriteNs = item.LastWriteNs;
            m_found(std::move(entry));
        } else if (m_visited.insert(item.Id).second) {
            TLevel sub;
            sub.Folder = level.Folder + item.Name + QLatin1Char('/');
            sub.Native = level.Native + item.Native + '/';
            sub.Plain = level.Plain && IsPlainNativeName(item.Native);
            stack.push_back(std::move(sub)); // `level` is invalid from here on
            if (!ReadLevel(stack.back()))
                return false;
        }
        if (m_aborted())
            return false;
    }
    return true;
}
