#pragma once

#include <QByteArray>
#include <QRect>

#include <optional>

// The stored place of the main window: the 44-byte layout of a Windows
// WINDOWPLACEMENT record (length, flags, show command, minimised and
// maximised positions, normal rectangle; 32-bit little-endian fields).
struct TWindowPlacement {
    static constexpr int Size = 44;
    static constexpr quint32 ShowNormal = 1;
    static constexpr quint32 ShowMinimized = 2;
    static constexpr quint32 ShowMaximized = 3;

    QRect Normal; // the window's geometry when neither minimised nor maximised
    quint32 ShowCmd = ShowNormal;

    QByteArray Encode() const;
    // Nothing unless bytes are exactly Size long with a normal rectangle of
    // positive size.
    static std::optional<TWindowPlacement> Decode(const QByteArray& bytes);
};
