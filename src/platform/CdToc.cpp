#include "platform/CdToc.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int AddressOffset = 4; // inside an entry: zero, minute, second, frame

int EntryOffset(int entry)
{
    return TCdToc::HeaderSize + entry * TCdToc::EntrySize;
}

}

TCdMsf TCdToc::Address(int entry) const
{
    const int at = EntryOffset(entry) + AddressOffset;
    return {Bytes[at + 1], Bytes[at + 2], Bytes[at + 3]};
}

void TCdToc::SetAddress(int entry, TCdMsf address)
{
    const int at = EntryOffset(entry) + AddressOffset;
    Bytes[at] = 0;
    Bytes[at + 1] = address.M;
    Bytes[at + 2] = address.S;
    Bytes[at + 3] = address.F;
}

void TCdToc::SetEntry(int entry, quint8 trackNumber, quint8 adr, quint8 control, TCdMsf address)
{
    const int at = EntryOffset(entry);
    Bytes[at] = 0;
    Bytes[at + 1] = quint8((adr << 4) | (control & 0x0F));
    Bytes[at + 2] = trackNumber;
    Bytes[at + 3] = 0;
    SetAddress(entry, address);
}

void TCdToc::SetDataLength(int trackCount)
{
    const int length = HeadSize(trackCount) - 2;
    Bytes[0] = quint8(length >> 8);
    Bytes[1] = quint8(length);
}

QByteArray TCdToc::Head(int trackCount) const
{
    const int size = std::clamp(HeadSize(trackCount), HeaderSize, Size);
    return QByteArray(reinterpret_cast<const char*>(Bytes.data()), size);
}

TCdToc TCdToc::FromBytes(const QByteArray& bytes)
{
    TCdToc toc;
    std::memcpy(toc.Bytes.data(), bytes.constData(), std::min<size_t>(size_t(bytes.size()), Size));
    return toc;
}
