#pragma once

#include "tagengine/FileInformation.h"
#include "tagengine/ID3Frame.h"

#include <QByteArray>

#include <memory>

class TFileLayer;

// A frame body left in the file (a picture, say) and loaded when it is
// needed. It loads only while the file is untouched since it was read (same
// file, size, last-write and status-change time), so a body never comes from
// a newer version of the file than the rest of the tag.
class TFileBodySource : public TFrameBodySource {
public:
    TFileBodySource(std::shared_ptr<TFileLayer> layer, QByteArray path, const TFileInformation& state,
                    qint64 offset, qint64 size);
    std::optional<QByteArray> Load() const override;

private:
    std::shared_ptr<TFileLayer> m_layer;
    QByteArray m_path;
    TFileInformation m_state;
    qint64 m_offset;
    qint64 m_size;
};
