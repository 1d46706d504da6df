#pragma once

#include "platform/FileLayer.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

// A file layer whose writes, renames, syncs and permissions can be made to
// fail, and which lets another program change the file at a given moment.
class FaultyLayer : public TFileLayer {
public:
    // Called once: before write number ChangeAtWrite (from 1), or when the
    // file is opened for writing.
    std::function<void()> Change;
    int ChangeAtWrite = 0;
    bool ChangeAtOpenForWriting = false;
    qint64 FailAfterBytes = -1; // writes fail (disk full) once this many bytes were written
    bool FailOnce = false;      // after the first failure writes work again
    bool FailRename = false;
    bool FailSync = false;
    bool WriteProtected = false;
    bool ReadOnlyDisk = false;     // as a file system mounted read-only answers
    bool NeedsChmodToOpen = false; // opening for writing fails until write permission is added
    int Failures = 0;
    std::vector<mode_t> ChmodModes;

    ssize_t PWrite(int fd, const void* buffer, size_t count, off_t offset) override
    {
        if (++m_writes == ChangeAtWrite)
            std::exchange(Change, nullptr)();
        if (FailAfterBytes >= 0 && !(FailOnce && Failures > 0)) {
            const qint64 room = FailAfterBytes - m_written;
            if (room <= 0) {
                ++Failures;
                return Fail(ENOSPC);
            }
            count = size_t(std::min<qint64>(qint64(count), room));
        }
        const ssize_t done = TFileLayer::PWrite(fd, buffer, count, offset);
        if (done > 0)
            m_written += done;
        return done;
    }
    int Rename(const QByteArray& from, const QByteArray& to) override
    {
        return FailRename ? Fail(EXDEV) : TFileLayer::Rename(from, to);
    }
    int FSync(int fd) override { return FailSync ? Fail(EIO) : TFileLayer::FSync(fd); }
    bool MayWrite(const QByteArray& path, const struct stat& st) override
    {
        if (ReadOnlyDisk) {
            errno = EROFS;
            return false;
        }
        return !WriteProtected && TFileLayer::MayWrite(path, st);
    }
    int Open(const QByteArray& path, int flags, mode_t mode) override
    {
        const bool readWrite = (flags & O_ACCMODE) == O_RDWR;
        if (ChangeAtOpenForWriting && Change && readWrite)
            std::exchange(Change, nullptr)();
        if (ReadOnlyDisk && (flags & O_ACCMODE) != O_RDONLY)
            return Fail(EROFS);
        if (NeedsChmodToOpen && readWrite && !m_chmodded)
            return Fail(EACCES);
        return TFileLayer::Open(path, flags, mode);
    }
    int Chmod(const QByteArray& path, mode_t mode) override
    {
        m_chmodded = (mode & S_IWUSR) != 0;
        ChmodModes.push_back(mode);
        return TFileLayer::Chmod(path, mode);
    }

private:
    static int Fail(int error)
    {
        errno = error;
        return -1;
    }

    int m_writes = 0;
    qint64 m_written = 0;
    bool m_chmodded = false;
};
