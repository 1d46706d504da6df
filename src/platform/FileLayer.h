#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include <sys/stat.h>
#include <sys/types.h>

// The system calls of the tag reader, the tag writer and the file operations,
// behind one seam so that tests can make any of them fail. Paths are in the
// file system's encoding (bytes). Every call answers like the system call it
// stands for: -1 and errno on failure.
class TFileLayer {
public:
    virtual ~TFileLayer() = default;

    virtual int Open(const QByteArray& path, int flags, mode_t mode = 0);
    virtual int Close(int fd);
    virtual ssize_t PRead(int fd, void* buffer, size_t count, off_t offset);
    virtual ssize_t PWrite(int fd, const void* buffer, size_t count, off_t offset);
    virtual int FStat(int fd, struct stat& st);
    virtual int FSync(int fd);
    virtual int FTruncate(int fd, off_t length);
    virtual int FChmod(int fd, mode_t mode);
    virtual int Chmod(const QByteArray& path, mode_t mode);
    virtual int FChown(int fd, uid_t owner, gid_t group);
    virtual int FUtimens(int fd, const struct timespec times[2]);
    virtual int Rename(const QByteArray& from, const QByteArray& to);
    // A rename that never replaces what holds the new name (renameat2 with
    // RENAME_NOREPLACE; for files on file systems without it, link + unlink).
    // EEXIST when the name is taken.
    virtual int RenameNoReplace(const QByteArray& from, const QByteArray& to);
    virtual int Unlink(const QByteArray& path);
    virtual int Stat(const QByteArray& path, struct stat& st);
    virtual int LStat(const QByteArray& path, struct stat& st);
    virtual int Mkdir(const QByteArray& path, mode_t mode);
    // Whether the process may write the file: the write permission for this
    // user and, as root too, at least one write bit in the mode. When not,
    // errno tells why (EACCES, or EROFS for a file system mounted read-only).
    virtual bool MayWrite(const QByteArray& path, const struct stat& st);
    // The file a path finally names (symbolic links followed); empty when
    // it cannot be resolved.
    virtual QByteArray RealPath(const QByteArray& path);

    // Calls relative to an open folder (dirFd, or AT_FDCWD for the working
    // folder), so that a walk through a tree resolves no path twice: name is
    // one entry of that folder.
    virtual int OpenAt(int dirFd, const QByteArray& name, int flags, mode_t mode = 0);
    // fstatat; flags AT_SYMLINK_NOFOLLOW gives a link itself.
    virtual int FStatAt(int dirFd, const QByteArray& name, struct stat& st, int flags);
    virtual int MkdirAt(int dirFd, const QByteArray& name, mode_t mode);
    // unlinkat; flags AT_REMOVEDIR removes an empty folder (never a link).
    virtual int UnlinkAt(int dirFd, const QByteArray& name, int flags);
    // Called before RenameNoReplaceAt takes the new name in steps that a
    // kill can stop half way (a reservation or placeholder under the new
    // name, or the file linked there before its old name goes), with what
    // the old name holds; false (errno set) stops it before anything changed.
    using TStepsNote = std::function<bool(const struct stat& from)>;
    // RenameNoReplace between entries of two open folders.
    virtual int RenameNoReplaceAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to,
                                  const TStepsNote& beforeSteps = {});
    // The calls RenameNoReplaceAt is made of, so that a test can stand in for
    // a file system that lacks some of them: renameat2 with
    // RENAME_NOREPLACE, linkat (never following links) and renameat (which
    // replaces what holds the new name).
    virtual int RenameAt2NoReplace(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to);
    virtual int LinkAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to);
    virtual int RenameAt(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to);
    virtual int SymlinkAt(const QByteArray& target, int dirFd, const QByteArray& name);
    // The target of a symbolic link.
    virtual int ReadLinkAt(int dirFd, const QByteArray& name, QByteArray& target);
    // The names in the open folder dirFd (which stays open), without "." and
    // "..", in no particular order.
    virtual int ReadDirAt(int dirFd, std::vector<QByteArray>& names);
    // utimensat and fchownat; flags AT_SYMLINK_NOFOLLOW for a link itself,
    // AT_EMPTY_PATH with an empty name for dirFd itself.
    virtual int UtimensAt(int dirFd, const QByteArray& name, const struct timespec times[2], int flags);
    virtual int FChownAt(int dirFd, const QByteArray& name, uid_t owner, gid_t group, int flags);
    // A write lock on the whole open file, held by its open file description
    // until that is closed, without waiting; EAGAIN while another holds one.
    // Seen by every process on the machine, whatever its process id space.
    virtual int LockFile(int fd);

private:
    // The ways RenameNoReplaceAt takes a new name where renameat2 cannot.
    int RenameOverFolderPlaceholder(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to);
    int RenameOverReservation(int fromDirFd, const QByteArray& from, int toDirFd, const QByteArray& to);
};

// The layer of real system calls, shared.
std::shared_ptr<TFileLayer> SystemFileLayer();

// Exactly count bytes at offset of an open descriptor; false on an error or
// an early end (errno EIO).
bool ReadExactlyAt(TFileLayer& layer, int fd, void* buffer, qint64 count, qint64 offset);
// All count bytes at offset; false on an error (errno EIO when nothing could
// be written).
bool WriteExactlyAt(TFileLayer& layer, int fd, const void* buffer, qint64 count, qint64 offset);

// An open descriptor closed when it goes out of scope.
class TFileHandle {
public:
    TFileHandle(TFileLayer& layer, int fd) : m_layer(&layer), m_fd(fd) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    int Fd() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    // Closes now; false when close reported an error.
    bool Close();

    // Exactly count bytes at offset; false on an error or an early end.
    bool ReadAt(void* buffer, qint64 count, qint64 offset);
    QByteArray ReadAt(qint64 offset, qint64 count, bool* ok);
    bool WriteAt(const void* buffer, qint64 count, qint64 offset);
    bool WriteAt(const QByteArray& data, qint64 offset) { return WriteAt(data.constData(), data.size(), offset); }

private:
    TFileLayer* m_layer;
    int m_fd;
};

// Text of errno for error messages.
QString SystemErrorText(int error);
