#pragma once

#include "platform/HiddenNames.h"
#include "platform/RunRecord.h"

#include <QByteArray>
#include <QList>

#include <optional>

class TFileLayer;

// The steps of the file operations that the record of their run announces
// before they are taken, shared by a running operation and by the recovery
// of one that ended.

// The record of one item of a run: its lines are written before what they
// announce. An item that records nothing (inside a folder being built,
// which goes as a whole) writes nothing and always succeeds.
class TItemLog {
public:
    virtual ~TItemLog() = default;
    // False (errno set) when the record cannot be written: then what the line
    // announces must not be done.
    virtual bool Write(TRecordVerb verb, const QList<QByteArray>& names,
                       const std::optional<TExaminedFile>& identity = std::nullopt, bool durable = false) = 0;
};

// An item of a run's record, numbered at its first line and settled when it
// goes out of scope, unless it is kept open for recovery (or the run is
// killed first).
class TRecordItem : public TItemLog {
public:
    // Not recording, nothing is written: what is copied into a folder being
    // built goes with that folder.
    explicit TRecordItem(TRunRecord& record, bool recording = true) : m_record(record), m_recording(recording) {}
    ~TRecordItem() override;
    TRecordItem(const TRecordItem&) = delete;
    TRecordItem& operator=(const TRecordItem&) = delete;

    bool Write(TRecordVerb verb, const QList<QByteArray>& names,
               const std::optional<TExaminedFile>& identity = std::nullopt, bool durable = false) override;
    // What the item left is for recovery to settle.
    void Keep() { m_kept = true; }

private:
    TRunRecord& m_record;
    bool m_recording;
    int m_number = 0;
    bool m_kept = false;
};

// An entry of an open folder, with the folder's path for the record and
// for reports.
struct TAt {
    int DirFd = -1;
    QByteArray Folder;
    QByteArray Name;
    QByteArray Path() const;
};

// A rename that never replaces. Where it has to go in steps (a file system
// without a no-replace rename), the item's record announces them first, so
// that recovery can settle a rename stopped half way.
int RenameAnnounced(TFileLayer& layer, TItemLog& log, const TAt& from, const TAt& to);

// Makes something under a new hidden name of kind for name in folder:
// announce(hidden) writes the line that names it, then make(hidden) creates
// it without replacing anything; a name found taken is tried again with
// other letters. Returns what make returned (-1 with errno on failure).
template <typename TAnnounce, typename TMake>
int MakeHiddenAnnounced(const QByteArray& name, THiddenKind kind, QByteArray& hidden, TAnnounce announce, TMake make)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        hidden = HiddenName(name, kind);
        if (!announce(hidden))
            return -1;
        const int result = make(hidden);
        if (result >= 0 || errno != EEXIST)
            return result;
    }
    errno = EEXIST;
    return -1;
}

// How removing a file that was examined ended.
enum class TRemoval {
    Removed,
    Changed, // it is not the file examined: it stays under its name
    Failed,  // errno tells why; leftAt names where the file is left
};

// Removes at while it still is the file examined (with statusTimeToo also
// by its status-change time): it goes to a hidden name first (announced),
// is checked there once more, and only then removed, so that a new version
// another program renames over the name meanwhile is never removed; that
// takes its name again.
TRemoval RemoveExamined(TFileLayer& layer, TItemLog& log, const TAt& at, const TExaminedFile& examined,
                        bool statusTimeToo, QByteArray* leftAt = nullptr);

// Whether the folder open at fromFd is into.DirFd seen through another
// mount: an entry of a name never seen, made in into (announced) and looked
// up through fromFd, which no cache can answer for. Where into cannot be
// written to, nothing can be replaced in it either: then it counts as
// another folder. -1 with errno when it cannot be told.
int ProbeOneFolder(TFileLayer& layer, TRecordItem& item, int fromFd, const TAt& into, bool& one);
