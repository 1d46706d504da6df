#include "controls/IconTheme.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStandardPaths>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {

// Full themes that carry the common command pictures, most wanted first.
const char* const PreferredThemes[] = {"Adwaita", "breeze", "oxygen", "Tango"};

// A command picture reads as enabled when a tenth of what it covers lies
// within this lightness (0 to 255) of the end away from its button: this
// dark on a light button, as the lines of drawn pictures and letters are,
// and as light (255 less it) on a dark one. Paler lines read as disabled.
constexpr int MaxInkDistance = 70;
constexpr int InkShare = 10; // percent

// How far the tenth of what the picture covers (its mostly opaque pixels)
// that stands out most from the button lies from the end away from the
// button: from black on a light button, from white on a dark one. 0 for a
// picture that covers nothing.
int InkDistance(const QImage& image, bool lightButton)
{
    std::vector<int> distances;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) >= 128)
                distances.push_back(lightButton ? qGray(line[x]) : 255 - qGray(line[x]));
    }
    if (distances.empty())
        return 0;
    const auto tenth = distances.begin() + static_cast<std::ptrdiff_t>(distances.size() * InkShare / 100);
    std::nth_element(distances.begin(), tenth, distances.end());
    return *tenth;
}

// Shows a command picture with its ink judged against the button colour of
// the application's palette as it is when the picture is drawn, so that a
// change of the desktop's colours is followed.
class TCommandIconEngine : public QIconEngine {
public:
    explicit TCommandIconEngine(const QIcon& source) : m_source(source) {}

    QIconEngine* clone() const override { return new TCommandIconEngine(m_source); }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State state) override
    {
        return m_source.actualSize(size, QIcon::Normal, state);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State state) override
    {
        return m_source.availableSizes(QIcon::Normal, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        const QColor button = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
        const bool disabled = mode == QIcon::Disabled;
        const QString key = QStringLiteral("%1x%2/%3/%4/%5")
                                .arg(size.width())
                                .arg(size.height())
                                .arg(disabled)
                                .arg(int(state))
                                .arg(button.rgb());
        if (const auto cached = m_cache.constFind(key); cached != m_cache.constEnd())
            return *cached;
        const QPixmap normal = FullContrastPixmap(m_source.pixmap(size, QIcon::Normal, state), button);
        const QPixmap shown = disabled ? GreyedPixmap(normal) : normal;
        m_cache.insert(key, shown);
        return shown;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPixmap shown = pixmap(rect.size(), mode, state);
        const QSize drawn = shown.deviceIndependentSize().toSize();
        painter->drawPixmap(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, drawn, rect), shown);
    }

private:
    QIcon m_source;
    QHash<QString, QPixmap> m_cache;
};

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

QPixmap FullContrastPixmap(const QPixmap& picture, const QColor& button)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const bool lightButton = qGray(button.rgb()) >= 128;
    const int ink = InkDistance(image, lightButton);
    if (ink <= MaxInkDistance)
        return picture;
    // Towards the far end by one factor, so that the hues and the picture's
    // own light and shade stay.
    const double factor = static_cast<double>(MaxInkDistance) / ink;
    const auto moved = [factor, lightButton](int channel) {
        const int distance = lightButton ? channel : 255 - channel;
        const int scaled = static_cast<int>(distance * factor + 0.5);
        return lightButton ? scaled : 255 - scaled;
    };
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgba(moved(qRed(line[x])), moved(qGreen(line[x])), moved(qBlue(line[x])), qAlpha(line[x]));
    }
    QPixmap adjusted = QPixmap::fromImage(image);
    adjusted.setDevicePixelRatio(picture.devicePixelRatio());
    return adjusted;
}

QIcon CommandPicture(const QIcon& icon)
{
    if (icon.isNull())
        return icon;
    return QIcon(new TCommandIconEngine(icon));
}
