#pragma once

#include <QByteArray>
#include <QList>

#include <optional>
#include <set>
#include <vector>

#include <sys/stat.h>

class TFileLayer;

// The folder of the records of runs: "Orvane/Quillon/runs" in the user's
// state folder ($XDG_STATE_HOME, else ~/.local/state), beside nothing of the
// user's. Tests point XDG_STATE_HOME at a folder of their own.
QByteArray RunRecordFolder();

// A file as it was examined: recovery removes a file only while it still is
// that file.
struct TExaminedFile {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    struct timespec Modified {};
    struct timespec StatusChanged {};
    mode_t Type = 0; // S_IFREG, S_IFDIR, ...

    static TExaminedFile Of(const struct stat& st);
    // The same file with the same size and modification time, and with
    // statusTimeToo the same status-change time (which renames change, so it
    // counts only for a name nobody here renamed since). A file system mounted
    // anew (a stick plugged in again) numbers its files anew: on another
    // device, kind, size and times decide.
    bool Matches(const struct stat& st, bool statusTimeToo = false) const;
    // The very file: the same device and inode.
    bool SameFile(const struct stat& st) const { return Device == st.st_dev && Inode == st.st_ino; }
};

// What an item of a run is about to do. The names each verb holds, in order
// (F folder, N a name the user sees, H a hidden name in F; folders are whole
// paths):
enum class TRecordVerb {
    Copy,   // F H N: a copy (file, link or folder being built) under H, to take N
    Source, // F N, identity: a moved file, to go once its copy has taken its name
    Aside,  // F N H, identity of N: the file N, answered Replace, set aside as H
    Stage,  // F N F2 H N2, identity: the moved file F/N staged as F2/H, to take N2
    Commit, // (identity of a copy): the item's arrival is about to take its name
    Tree,   // relative path, identity: an entry of a folder moved by copying,
            // to go once the folder's copy has taken its name
    Remove, // F N H, identity: the moved file F/N set aside as H before it goes
    Rename, // F N F2 N2, identity: F/N renamed to F2/N2 in steps (a reservation,
            // placeholder or second link under N2 first)
    Case,   // F N H N2, identity: F/N renamed to N2 through H (a change of case)
    Probe,  // F H: an entry made in F and looked up through another folder
    Merge,  // F N, identity: a folder merged into another, to go once empty
    Undo,   // the item is being taken back
    Done,   // the item is settled
};

// One line of a run's record.
struct TRecordLine {
    int Item = 0;
    TRecordVerb Verb = TRecordVerb::Done;
    QList<QByteArray> Names;
    std::optional<TExaminedFile> Identity;
};

QByteArray EncodeRecordLine(const TRecordLine& line);
// The whole lines of a record; a line cut short by a kill, or not understood
// (not as many names as its verb has), is skipped.
std::vector<TRecordLine> DecodeRecordLines(const QByteArray& content);

// The record of one run, in which each line is written before what it
// announces, and which the run holds locked while it lives: a record whose
// lock can be taken belongs to a run that ended, in whatever process id space
// it ran. A run without hidden names costs nothing: the record is made at its
// first line. It goes when its run ends, unless an item of it is not settled
// (then recovery finishes it).
class TRunRecord {
public:
    explicit TRunRecord(TFileLayer& layer);
    // The record of a run that ended, open and locked, to be appended to by
    // its recovery.
    TRunRecord(TFileLayer& layer, int fd, QByteArray path, qint64 size, std::set<int> open);
    ~TRunRecord();
    TRunRecord(const TRunRecord&) = delete;
    TRunRecord& operator=(const TRunRecord&) = delete;

    // A new item, open until a Done line settles it.
    int NewItem();
    // Writes lines. Durable: synced before anything is done, for lines that
    // name where a user's file goes, so that a machine that goes down leaves
    // no file of the user's hidden where no record names it. False (errno
    // set) when the record cannot be written: then nothing may be done.
    bool Write(const QList<TRecordLine>& lines, bool durable = false);
    bool Write(const TRecordLine& line, bool durable = false) { return Write(QList<TRecordLine>{line}, durable); }
    bool Settled(int item) { return Write(TRecordLine{item, TRecordVerb::Done, {}, {}}); }
    const QByteArray& Path() const { return m_path; }

private:
    bool Create();

    TFileLayer& m_layer;
    int m_fd = -1;
    qint64 m_size = 0;
    QByteArray m_path;
    int m_lastItem = 0;
    std::set<int> m_open;
    bool m_folderSynced = false;
};
