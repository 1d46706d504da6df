#pragma once

#include "platform/CdromAccess.h"

#include <QHash>

#include <vector>

// CD drives for tests: recorded tables of contents by device path, installed
// in place of the system's drives while the object exists.
class TFakeCdrom : public TCdromAccess {
public:
    TFakeCdrom() : m_previous(SetCdromAccess(this)) {}
    ~TFakeCdrom() override { SetCdromAccess(m_previous); }
    TFakeCdrom(const TFakeCdrom&) = delete;
    TFakeCdrom& operator=(const TFakeCdrom&) = delete;

    std::vector<TCdromDriveInfo> DriveList;
    QHash<QString, TCdToc> Discs; // device path -> its disc; none = empty drive

    std::vector<TCdromDriveInfo> Drives() override { return DriveList; }
    bool ReadToc(const QString& devicePath, TCdToc& toc) override
    {
        if (!Discs.contains(devicePath))
            return false;
        toc = Discs.value(devicePath);
        return true;
    }

    // A table of tracks starting at these frame offsets, the lead-out at
    // leadOut frames, tracks numbered from first.
    static TCdToc TocOfFrames(const std::vector<int>& starts, int leadOut, quint8 first = 1)
    {
        std::vector<TRawTocEntry> entries;
        quint8 number = first;
        for (int frames : starts)
            entries.push_back({number++, 1, 0, Msf(frames)});
        entries.push_back({0xAA, 1, 0, Msf(leadOut)});
        return TocFromRawEntries(first, quint8(first + starts.size() - 1), entries);
    }

    static TCdMsf Msf(int frames)
    {
        return {quint8(frames / 75 / 60), quint8(frames / 75 % 60), quint8(frames % 75)};
    }

private:
    TCdromAccess* m_previous;
};
