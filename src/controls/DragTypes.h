#pragma once

#include <QtGlobal>

// The kinds of drop a drag source allows or a drop target takes.
enum TDragType { dtCopy = 0, dtMove = 1, dtLink = 2 };
// A set of TDragType, one bit each.
using TDragTypes = unsigned;
constexpr TDragTypes DragTypeBit(TDragType type)
{
    return 1u << type;
}

// The effect of a drop, as bits: what a source allows, what a target would
// do, plus the scroll bit a target adds while the pointer rests near its edge.
constexpr quint32 DropEffectNone = 0;
constexpr quint32 DropEffectCopy = 1;
constexpr quint32 DropEffectMove = 2;
constexpr quint32 DropEffectLink = 4;
constexpr quint32 DropEffectScroll = 0x80000000u;

// The end of a drag started here.
enum TDragOutcome { doCopied = 0, doMoved = 1, doLinked = 2, doCancelled = 3, doOutOfMemory = 4, doFailed = 5 };
