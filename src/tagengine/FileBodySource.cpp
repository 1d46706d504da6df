#include "tagengine/FileBodySource.h"

#include "platform/FileLayer.h"

#include <QFile>

#include <fcntl.h>

TFileBodySource::TFileBodySource(std::shared_ptr<TFileLayer> layer, QByteArray path, const TFileInformation& state,
                                 qint64 offset, qint64 size)
    : m_layer(std::move(layer)), m_path(std::move(path)), m_state(state), m_offset(offset), m_size(size)
{
}

std::optional<QByteArray> TFileBodySource::Load() const
{
    TFileHandle file(*m_layer, m_layer->Open(m_path, O_RDONLY | O_NONBLOCK));
    if (!file.IsOpen())
        return std::nullopt;
    struct stat st {};
    if (m_layer->FStat(file.Fd(), st) != 0)
        return std::nullopt;
    if (!FileInformationFromStat(st, QFile::decodeName(m_path)).Untouched(m_state))
        return std::nullopt;
    if (m_offset < 0 || m_size < 0 || m_offset + m_size > m_state.Size)
        return std::nullopt;
    bool ok = false;
    QByteArray body = file.ReadAt(m_offset, m_size, &ok);
    if (!ok)
        return std::nullopt;
    return body;
}
