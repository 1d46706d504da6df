#include "controls/IconTheme.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>

namespace {

// Full themes that carry the common command pictures, most wanted first.
const char* const PreferredThemes[] = {"Adwaita", "breeze", "oxygen", "Tango"};

// The sides at which command pictures are drawn: menus and tool bars, and
// their double for high-density screens.
const int PictureSides[] = {16, 22, 24, 32, 48};

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

QIcon WithGreyedDisabled(const QIcon& icon)
{
    if (icon.isNull())
        return icon;
    QIcon result;
    for (const int side : PictureSides) {
        const QPixmap normal = icon.pixmap(QSize(side, side), QIcon::Normal);
        if (normal.isNull())
            continue;
        result.addPixmap(normal, QIcon::Normal);
        result.addPixmap(GreyedPixmap(normal), QIcon::Disabled);
    }
    return result.isNull() ? icon : result;
}
