#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// Where a large frame body can be fetched again when it was not kept in
// memory (pictures). Load() answers nothing when the file changed since it was
// read, so an old body is never mixed into a newer tag.
class TFrameBodySource {
public:
    virtual ~TFrameBodySource() = default;
    virtual std::optional<QByteArray> Load() const = 0;
};

// One ID3v2 frame in its v2.4 form: the body is already free of
// unsynchronisation and compression.
class TID3Frame {
public:
    TID3Frame() = default;
    explicit TID3Frame(const QString& id) : FrameID(id) {}

    quint8 TagAlterPreservation = 0;
    quint8 FileAlterPreservation = 0;
    quint8 ReadOnly = 0;
    quint8 Grouping = 0;
    quint8 Compression = 0;
    quint8 Encryption = 0;
    quint8 Unsynchronisation = 0;
    quint8 DataLengthIndicator = 0;
    quint8 GroupId = 0;
    QString FrameID;
    // Identity of the input control that shows this frame; 0 = none. Never
    // copied by AssignFrame.
    quint32 UniqueNumber = 0;

    // The decoded body. A deferred body is loaded on first use; when that
    // fails the body is empty and BodyAvailable() is false.
    const QByteArray& Body() const;
    void SetBody(QByteArray body);
    // Gives the frame a body built from values (text, comment, URL). Such a
    // body is stored plainly, so the flags that say how a read body was
    // stored (encryption, compression, data length, unsynchronisation,
    // grouping with its id) are cleared; the preservation and read-only
    // flags stay.
    void SetPlainBody(QByteArray body);
    qsizetype BodySize() const;
    bool BodyAvailable() const;
    bool IsDeferred() const { return m_source != nullptr; }
    void SetDeferredBody(std::shared_ptr<const TFrameBodySource> source, qsizetype size);

    // Resets flags, group id, unique number and body; the frame ID stays.
    void Clear();
    // Copies the flags, group id and ID, and the body when withData is set;
    // the unique number is never copied.
    void AssignFrame(const TID3Frame& source, bool withData);

private:
    mutable QByteArray m_body;
    mutable std::shared_ptr<const TFrameBodySource> m_source;
    mutable qsizetype m_deferredSize = 0;
    mutable bool m_loadFailed = false;
};

using TID3FramePtr = std::unique_ptr<TID3Frame>;
using TID3FrameList = std::vector<TID3FramePtr>;

// Frame-list operations shared by the reader, the entries and the inputs.
TID3Frame* FindFrame(const TID3FrameList& list, const QString& id);
bool IsSameFrame(const TID3Frame& a, const TID3Frame& b);
TID3Frame* FindEqualFrame(const TID3FrameList& list, const TID3Frame* frame);
// The one way frames are added, replaced and deleted: the target is the frame
// carrying uniqueNumber when that is non-zero, else the frame equal to `frame`,
// else the first frame with `id`. A null frame deletes the target.
void SetFrame(TID3FrameList& list, const QString& id, const TID3Frame* frame, quint32 uniqueNumber);
// Deep copy of a frame list (unique numbers included).
TID3FrameList CloneFrames(const TID3FrameList& list);
// Fetches every body still left in the file, before the file changes or
// moves; false when one could not be loaded any more.
bool LoadDeferredBodies(const TID3FrameList& list);
// Removes and frees the first frame with `id`; true when one was removed.
bool DeleteFirstFrame(TID3FrameList& list, const QString& id);
