#pragma once

#include <QtGlobal>

// File attribute bits as the file list shows them ("*ATT"). On Linux,
// read-only comes from the write permission and hidden from a leading ".".
namespace FileAttr {
constexpr quint32 ReadOnly = 0x01;
constexpr quint32 Hidden = 0x02;
constexpr quint32 System = 0x04;
constexpr quint32 Archive = 0x20;
}
