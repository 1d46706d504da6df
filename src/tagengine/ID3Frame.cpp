#include "tagengine/ID3Frame.h"

#include "tagengine/FrameCodecs.h"

#include <algorithm>

const QByteArray& TID3Frame::Body() const
{
    if (m_source) {
        auto loaded = m_source->Load();
        m_source.reset();
        if (loaded && loaded->size() == m_deferredSize) {
            m_body = std::move(*loaded);
        } else {
            m_body.clear();
            m_loadFailed = true;
        }
    }
    return m_body;
}

void TID3Frame::SetBody(QByteArray body)
{
    m_source.reset();
    m_loadFailed = false;
    m_body = std::move(body);
}

void TID3Frame::SetPlainBody(QByteArray body)
{
    Grouping = Compression = Encryption = Unsynchronisation = DataLengthIndicator = 0;
    GroupId = 0;
    SetBody(std::move(body));
}

qsizetype TID3Frame::BodySize() const
{
    return m_source ? m_deferredSize : m_body.size();
}

bool TID3Frame::BodyAvailable() const
{
    Body();
    return !m_loadFailed;
}

void TID3Frame::SetDeferredBody(std::shared_ptr<const TFrameBodySource> source, qsizetype size)
{
    m_body.clear();
    m_loadFailed = false;
    m_source = std::move(source);
    m_deferredSize = size;
}

void TID3Frame::Clear()
{
    TagAlterPreservation = FileAlterPreservation = ReadOnly = 0;
    Grouping = Compression = Encryption = Unsynchronisation = DataLengthIndicator = 0;
    GroupId = 0;
    UniqueNumber = 0;
    SetBody({});
}

void TID3Frame::AssignFrame(const TID3Frame& source, bool withData)
{
    if (&source == this)
        return;
    TagAlterPreservation = source.TagAlterPreservation;
    FileAlterPreservation = source.FileAlterPreservation;
    ReadOnly = source.ReadOnly;
    Grouping = source.Grouping;
    Compression = source.Compression;
    Encryption = source.Encryption;
    Unsynchronisation = source.Unsynchronisation;
    DataLengthIndicator = source.DataLengthIndicator;
    GroupId = source.GroupId;
    FrameID = source.FrameID;
    if (withData) {
        if (source.m_source) {
            m_body.clear();
            m_loadFailed = false;
            m_source = source.m_source;
            m_deferredSize = source.m_deferredSize;
        } else {
            m_source.reset();
            m_body = source.m_body;
            m_loadFailed = source.m_loadFailed;
        }
    }
}

TID3Frame* FindFrame(const TID3FrameList& list, const QString& id)
{
    for (const auto& f : list)
        if (f->FrameID == id)
            return f.get();
    return nullptr;
}

bool IsSameFrame(const TID3Frame& a, const TID3Frame& b)
{
    if (a.FrameID != b.FrameID)
        return false;
    if (a.FrameID == QLatin1String("TXXX")) {
        QString da, db;
        QStringList la, lb;
        GetTextFrame(a, da, la);
        GetTextFrame(b, db, lb);
        return da == db;
    }
    if (a.FrameID == QLatin1String("WXXX")) {
        QString da, db, ua, ub;
        GetURLFrame(a, da, ua);
        GetURLFrame(b, db, ub);
        return da == db;
    }
    if (a.FrameID == QLatin1String("COMM")) {
        QString ta, la, da, tb, lb, db;
        GetCommentFrame(a, ta, la, da);
        GetCommentFrame(b, tb, lb, db);
        return da == db && la == lb;
    }
    return true;
}

TID3Frame* FindEqualFrame(const TID3FrameList& list, const TID3Frame* frame)
{
    if (!frame)
        return nullptr;
    for (const auto& f : list)
        if (IsSameFrame(*frame, *f))
            return f.get();
    return nullptr;
}

void SetFrame(TID3FrameList& list, const QString& id, const TID3Frame* frame, quint32 uniqueNumber)
{
    auto target = list.end();
    if (uniqueNumber != 0) {
        target = std::find_if(list.begin(), list.end(),
                              [&](const TID3FramePtr& f) { return f->UniqueNumber == uniqueNumber; });
    } else if (frame) {
        target = std::find_if(list.begin(), list.end(),
                              [&](const TID3FramePtr& f) { return IsSameFrame(*frame, *f); });
    } else {
        target = std::find_if(list.begin(), list.end(),
                              [&](const TID3FramePtr& f) { return f->FrameID == id; });
    }

    if (frame) {
        if (target == list.end()) {
            list.push_back(std::make_unique<TID3Frame>());
            target = std::prev(list.end());
        }
        (*target)->AssignFrame(*frame, true);
    } else if (target != list.end()) {
        list.erase(target);
    }
}

TID3FrameList CloneFrames(const TID3FrameList& list)
{
    TID3FrameList copy;
    copy.reserve(list.size());
    for (const auto& f : list) {
        auto c = std::make_unique<TID3Frame>();
        c->AssignFrame(*f, true);
        c->UniqueNumber = f->UniqueNumber;
        copy.push_back(std::move(c));
    }
    return copy;
}

bool LoadDeferredBodies(const TID3FrameList& list)
{
    bool complete = true;
    for (const auto& f : list)
        complete = f->BodyAvailable() && complete;
    return complete;
}

bool DeleteFirstFrame(TID3FrameList& list, const QString& id)
{
    auto it = std::find_if(list.begin(), list.end(), [&](const TID3FramePtr& f) { return f->FrameID == id; });
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}
