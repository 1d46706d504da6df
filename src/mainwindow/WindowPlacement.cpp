#include "mainwindow/WindowPlacement.h"

#include <QtEndian>

#include <algorithm>

namespace {

void Put(QByteArray& bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

qint32 Get(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

}

QByteArray TWindowPlacement::Encode() const
{
    QByteArray bytes(Size, '\0');
    Put(bytes, 0, Size);
    Put(bytes, 4, 0); // flags
    Put(bytes, 8, static_cast<qint32>(ShowCmd));
    for (int offset = 12; offset < 28; offset += 4)
        Put(bytes, offset, -1); // minimised and maximised positions: default
    Put(bytes, 28, Normal.left());
    Put(bytes, 32, Normal.top());
    Put(bytes, 36, Normal.left() + Normal.width());
    Put(bytes, 40, Normal.top() + Normal.height());
    return bytes;
}

std::optional<TWindowPlacement> TWindowPlacement::Decode(const QByteArray& bytes)
{
    if (bytes.size() != Size)
        return std::nullopt;
    const qint64 left = Get(bytes, 28);
    const qint64 top = Get(bytes, 32);
    const qint64 width = static_cast<qint64>(Get(bytes, 36)) - left;
    const qint64 height = static_cast<qint64>(Get(bytes, 40)) - top;
    if (width <= 0 || height <= 0 || width > 100000 || height > 100000)
        return std::nullopt;
    TWindowPlacement placement;
    placement.ShowCmd = static_cast<quint32>(Get(bytes, 8));
    placement.Normal = QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width),
                             static_cast<int>(height));
    return placement;
}

QRect FitToScreens(const QRect& window, const QList<QRect>& areas)
{
    if (areas.isEmpty())
        return window;
    const auto overlap = [&window](const QRect& area) {
        const QRect common = area.intersected(window);
        return static_cast<qint64>(common.width()) * common.height();
    };
    const auto best = std::max_element(areas.begin(), areas.end(),
                                       [&](const QRect& a, const QRect& b) { return overlap(a) < overlap(b); });
    const bool onScreen = overlap(*best) > 0;
    const QRect& area = onScreen ? *best : areas.first();
    QRect fitted(window.topLeft(), window.size().boundedTo(area.size()));
    if (!onScreen)
        fitted.moveCenter(area.center());
    fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), area.top(), area.bottom() - fitted.height() + 1));
    return fitted;
}
