#pragma once

#include <QByteArray>
#include <QList>
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

// Where a window of this geometry opens, given the available areas of the
// screens (the primary screen's first): on the screen that holds the largest
// part of it, shrunk and moved only as far as needed to lie wholly on it. A
// window on none of them (its screen is gone) keeps as much of its size as
// fits and is centred on the primary screen. Without screens it stays.
QRect FitToScreens(const QRect& window, const QList<QRect>& areas);
