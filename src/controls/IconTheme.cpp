#include "controls/IconTheme.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>

#include <algorithm>
#include <vector>

namespace {

// Full themes that carry the common command pictures, most wanted first.
const char* const PreferredThemes[] = {"Adwaita", "breeze", "oxygen", "Tango"};

// The sides at which command pictures are drawn: menus and tool bars, and
// their double for high-density screens.
const int PictureSides[] = {16, 22, 24, 32, 48};

// A command picture reads as enabled when a tenth of what it covers is at
// least this dark (lightness 0 to 255), as the lines of drawn pictures and
// letters are; paler ones read as disabled on a light button.
constexpr int MaxInkLightness = 70;
constexpr int InkShare = 10; // percent

// The lightness of the darkest tenth of what the picture covers (its mostly
// opaque pixels); 0 for a picture that covers nothing.
int InkLightness(const QImage& image)
{
    std::vector<int> lightness;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) >= 128)
                lightness.push_back(qGray(line[x]));
    }
    if (lightness.empty())
        return 0;
    const auto tenth = lightness.begin() + static_cast<std::ptrdiff_t>(lightness.size() * InkShare / 100);
    std::nth_element(lightness.begin(), tenth, lightness.end());
    return *tenth;
}

QStringList IconFolders()
{
    QStringList folders = QIcon::themeSearchPaths();
    const QStringList data =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    for (const QString& folder : data)
        if (!folders.contains(folder) && !folders.contains(QDir::cleanPath(folder)))
            folders << QDir::cleanPath(folder);
    return folders;
}

}

void UseDesktopIconTheme()
{
    const QString reported = QIcon::themeName();
    if (!reported.isEmpty() && reported != QLatin1String("hicolor"))
        return;
    const QStringList folders = IconFolders();
    for (const char* theme : PreferredThemes) {
        for (const QString& folder : folders) {
            if (!QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(theme) + QStringLiteral("/index.theme")))
                continue;
            QIcon::setThemeSearchPaths(folders);
            QIcon::setThemeName(QString::fromLatin1(theme));
            return;
        }
    }
}

QPixmap GreyedPixmap(const QPixmap& picture)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            // Grey, half way to white, at a third of its opacity.
            const int grey = 128 + qGray(pixel) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(pixel) * 35 / 100);
        }
    }
    QPixmap greyed = QPixmap::fromImage(image);
    greyed.setDevicePixelRatio(picture.devicePixelRatio());
    return greyed;
}

QPixmap FullContrastPixmap(const QPixmap& picture)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const int ink = InkLightness(image);
    if (ink <= MaxInkLightness)
        return picture;
    // Darker by one factor, so that the hues and the picture's own light
    // and shade stay.
    const double factor = static_cast<double>(MaxInkLightness) / ink;
    const auto darker = [factor](int channel) { return static_cast<int>(channel * factor + 0.5); };
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgba(darker(qRed(line[x])), darker(qGreen(line[x])), darker(qBlue(line[x])), qAlpha(line[x]));
    }
    QPixmap darkened = QPixmap::fromImage(image);
    darkened.setDevicePixelRatio(picture.devicePixelRatio());
    return darkened;
}

QIcon CommandPicture(const QIcon& icon)
{
    if (icon.isNull())
        return icon;
    QIcon result;
    for (const int side : PictureSides) {
        const QPixmap normal = FullContrastPixmap(icon.pixmap(QSize(side, side), QIcon::Normal));
        if (normal.isNull())
            continue;
        result.addPixmap(normal, QIcon::Normal);
        result.addPixmap(GreyedPixmap(normal), QIcon::Disabled);
    }
    return result.isNull() ? icon : result;
}
