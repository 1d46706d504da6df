#pragma once

#include <QString>
#include <QStringList>

// Remembers the temporary files the program makes (the playlist for playing
// files, the help pages) and deletes them when it is destroyed, with the
// main window. They live in a private folder of the program's own: made
// with a random name and mode 0700, so that no other user can put a file of
// the name the program writes there, and removed at the end when it is
// empty.
class TTmpFileDeleter {
public:
    TTmpFileDeleter() = default;
    // DeleteFiles when AutoDelete is set, then removes the private folder
    // when nothing else is left in it.
    ~TTmpFileDeleter();
    TTmpFileDeleter(const TTmpFileDeleter&) = delete;
    TTmpFileDeleter& operator=(const TTmpFileDeleter&) = delete;

    bool AutoDelete = true;

    // Adds a full path; a path already listed (compared exactly) is not
    // added again.
    void Add(const QString& path);
    // Deletes every listed file that exists, in list order; failures are
    // skipped silently. The list stays.
    void DeleteFiles();
    const QStringList& Files() const { return m_files; }

    // The private folder (made on first use); empty when it cannot be made.
    QString PrivateFolder();

private:
    QStringList m_files;
    QString m_folder;
};
