#include "tagengine/FileInformation.h"

#include "tagengine/FileAttributes.h"

#include <QFileInfo>

namespace {

qint64 ToNs(const struct timespec& t)
{
    return static_cast<qint64>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

} // namespace

bool TFileInformation::SameState(const TFileInformation& other) const
{
    return Device == other.Device && Inode == other.Inode && Size == other.Size
           && LastWriteNs == other.LastWriteNs;
}

bool TFileInformation::Untouched(const TFileInformation& other) const
{
    return SameState(other) && StatusChangeNs == other.StatusChangeNs;
}

quint32 AttributesFromMode(unsigned mode, const QString& path)
{
    quint32 attributes = 0;
    if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attributes |= FileAttr::ReadOnly;
    if (QFileInfo(path).fileName().startsWith(QLatin1Char('.')))
        attributes |= FileAttr::Hidden;
    return attributes;
}

TFileInformation FileInformationFromStat(const struct stat& st, const QString& path)
{
    TFileInformation info;
    info.Attributes = AttributesFromMode(st.st_mode, path);
    info.LastAccessNs = ToNs(st.st_atim);
    info.LastWriteNs = ToNs(st.st_mtim);
    info.StatusChangeNs = ToNs(st.st_ctim);
    info.Size = static_cast<qint64>(st.st_size);
    info.Device = static_cast<quint64>(st.st_dev);
    info.Inode = static_cast<quint64>(st.st_ino);
    return info;
}

struct timespec NsToTimespec(qint64 ns)
{
    struct timespec t {};
    t.tv_sec = static_cast<time_t>(ns / 1000000000LL);
    t.tv_nsec = static_cast<long>(ns % 1000000000LL);
    if (t.tv_nsec < 0) {
        t.tv_nsec += 1000000000L;
        t.tv_sec -= 1;
    }
    return t;
}
