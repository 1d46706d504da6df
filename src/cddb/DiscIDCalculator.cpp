#include "cddb/DiscIDCalculator.h"

#include "platform/CdromAccess.h"

#include <stdexcept>

TDiscIDCalculator::TDiscIDCalculator(bool useNative)
{
    if (!useNative) {
        AspiLoaded = LoadAspi();
        if (AspiLoaded)
            Mode = 0;
    }
}

bool TDiscIDCalculator::LoadAspi()
{
    return false;
}

void TDiscIDCalculator::RefreshDrives()
{
    if (Mode == 0) {
        EnumAspiDrives();
        if (!Drives.empty())
            return;
        Mode = 1;
    }
    EnumNativeDrives();
}

void TDiscIDCalculator::EnumAspiDrives()
{
    Drives.clear(); // nothing more without an ASPI layer
}

void TDiscIDCalculator::EnumNativeDrives()
{
    Drives.clear();
    for (const TCdromDriveInfo& info : CurrentCdromAccess().Drives()) {
        auto drive = std::make_unique<TDrive>();
        drive->DevicePath = info.DevicePath;
        const QString product = (info.Vendor + QLatin1Char(' ') + info.Model).trimmed();
        drive->Name = product.isEmpty() ? info.DevicePath
                                        : info.DevicePath + QStringLiteral(" [") + product + QLatin1Char(']');
        Drives.push_back(std::move(drive));
    }
}

TDrive* TDiscIDCalculator::GetDrive(int index) const
{
    return index >= 0 && index < DriveCount() ? Drives[size_t(index)].get() : nullptr;
}

void TDiscIDCalculator::ReadToc(const TDrive& drive)
{
    TrackCount = 0;
    const bool read = ReadTocByMode(drive, Toc);
    TrackCount = read ? ValidTrackCount(Toc) : 0;
    TocValid = TrackCount > 0;
}

bool TDiscIDCalculator::ReadTocByMode(const TDrive& drive, TCdToc& toc)
{
    if (Mode == 1)
        return NativeReadToc(drive, toc);
    throw std::runtime_error("TOC kann nicht gelesen werden.");
}

bool TDiscIDCalculator::NativeReadToc(const TDrive& drive, TCdToc& toc)
{
    if (drive.DevicePath.isEmpty())
        return false;
    TCdToc read;
    if (!CurrentCdromAccess().ReadToc(drive.DevicePath, read))
        return false;
    toc = read;
    return true;
}

int TDiscIDCalculator::ValidTrackCount(const TCdToc& toc)
{
    const int count = toc.RawTrackCount();
    if (toc.FirstTrack() < 1 || toc.LastTrack() > TCdToc::MaxTracks || count < 1 || count > TCdToc::MaxTracks)
        return 0;
    int previous = 0;
    for (int entry = 0; entry <= count; ++entry) {
        const TCdMsf address = toc.Address(entry);
        if (!address.IsWellFormed() || address.Frames() < previous)
            return 0;
        previous = address.Frames();
    }
    return count;
}

void TDiscIDCalculator::CalcDiscId(const TCdToc& toc, QString& discId, QString& query)
{
    discId.clear();
    query.clear();
    const int count = ValidTrackCount(toc);
    if (count == 0)
        return;
    int n = 0;
    for (int entry = 0; entry < count; ++entry)
        n += DigitSum(toc.Address(entry).Seconds());
    const quint32 t = quint32(toc.Address(count).Seconds() - toc.Address(0).Seconds());
    const quint32 id = (quint32(n % 255) << 24) | (t << 8) | quint32(count);
    discId = QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
    query = discId + QLatin1Char(' ') + QString::number(count);
    for (int entry = 0; entry < count; ++entry)
        query += QLatin1Char(' ') + QString::number(toc.Address(entry).Frames());
    query += QLatin1Char(' ') + QString::number(toc.Address(count).Seconds());
}

bool TDiscIDCalculator::TocFromMcdi(const QByteArray& body, TCdToc& toc)
{
    if (body.size() < TCdToc::HeaderSize || body.size() > TCdToc::Size)
        return false;
    const TCdToc read = TCdToc::FromBytes(body);
    const int count = ValidTrackCount(read);
    if (count == 0 || body.size() < TCdToc::HeadSize(count))
        return false;
    toc = read;
    return true;
}

int DigitSum(int n)
{
    int sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}
