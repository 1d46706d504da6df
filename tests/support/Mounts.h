#pragma once

#include <QString>
#include <QStringList>

// File systems that tests mount to see what other file systems do, each
// mounted while it lives. Where it cannot be mounted here, Why() says why
// (for GTEST_SKIP); on the project's machines (root, /dev/fuse, loop devices)
// they always can.

// A command's exit status (what it prints is not shown); -1 when it could
// not run or did not end within a minute.
int RunCommand(const QString& program, const QStringList& arguments);

// A second view of a folder through FUSE (bindfs): another device and other
// inode numbers for the same entries, and what the kernel learnt of an entry
// is kept for a second.
class TBindView {
public:
    TBindView(const QString& real, const QString& view);
    ~TBindView();
    TBindView(const TBindView&) = delete;
    TBindView& operator=(const TBindView&) = delete;
    bool Mounted() const { return m_why.isEmpty(); }
    const QString& Why() const { return m_why; }

private:
    QString m_view;
    QString m_why;
};

// An exFAT file system on a loop device, as on sticks and cards, mounted
// through FUSE at folder (made): no no-replace rename, no hard links, no
// symbolic links, names that ignore case.
class TExFatStick {
public:
    // The image is made beside folder.
    explicit TExFatStick(const QString& folder, int megabytes = 32);
    ~TExFatStick();
    TExFatStick(const TExFatStick&) = delete;
    TExFatStick& operator=(const TExFatStick&) = delete;
    bool Mounted() const { return m_why.isEmpty(); }
    const QString& Why() const { return m_why; }
    const QString& Path() const { return m_folder; }

private:
    QString m_folder;
    QString m_device;
    bool m_mounted = false;
    QString m_why;
};
