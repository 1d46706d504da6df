#include "support/gui/MainWindowTestSupport.h"

#include "support/ID3v2Builder.h"
#include "support/Mp3Builder.h"
#include "support/NativeFiles.h"

#include "localisation/LanguageLoader.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

TMainWindowEnvironment::TMainWindowEnvironment()
{
    TRegistry::SetStorageFolder(m_settings.path());
    LoadBaseLanguage();
}

TMainWindowEnvironment::~TMainWindowEnvironment()
{
    TRegistry::SetStorageFolder(QString());
    RemoveNativeContents(QFile::encodeName(m_files.path()));
}

QString TMainWindowEnvironment::PathOf(const QString& relative) const
{
    const QString path = QDir(m_files.path()).filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    return path;
}

QByteArray Mp3WithFrames(const TFrameBodies& frames, const std::optional<ID3v1Fields>& id3v1, quint8 major,
                         int audioFrames)
{
    ID3v2Builder tag(major);
    for (const auto& [id, body] : frames)
        tag.Frame(id, body);
    tag.Padding(64);
    return Mp3Builder::File({tag.Build(), Mp3Builder::CbrFrames(MpegFormat{}, audioFrames), {},
                             id3v1 ? Mp3Builder::ID3v1(*id3v1) : QByteArray()});
}

QByteArray TaggedMp3(const TTextFrames& frames, int audioFrames)
{
    TFrameBodies bodies;
    for (const auto& [id, text] : frames)
        bodies.emplace_back(id, ID3v2Builder::TextBody(0, {text}));
    return Mp3WithFrames(bodies, std::nullopt, 3, audioFrames);
}

bool WriteTaggedMp3(const QString& path, const TTextFrames& frames, int audioFrames)
{
    QDir().mkpath(QFileInfo(path).path());
    return Mp3Builder::WriteFile(path, TaggedMp3(frames, audioFrames));
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    return QTest::qWaitFor(condition, timeoutMs);
}

bool WaitForPostedEvents(int timeoutMs)
{
    // Posted work is delivered in order: once this has run, all before it has.
    auto delivered = std::make_shared<bool>(false);
    QTimer::singleShot(0, [delivered] { *delivered = true; });
    return WaitUntil([delivered] { return *delivered; }, timeoutMs);
}

void AfterEventRounds(int rounds, std::function<void()> action)
{
    QTimer::singleShot(0, [rounds, action = std::move(action)]() mutable {
        if (rounds <= 1)
            action();
        else
            AfterEventRounds(rounds - 1, std::move(action));
    });
}

namespace {

// The lightness of each pixel a picture changes when drawn at 24 x 24 pixels
// in the mode on the palette's button colour.
std::vector<int> ChangedLightness(const QIcon& picture, QIcon::Mode mode)
{
    const QColor button = QApplication::palette().color(QPalette::Button);
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(button);
    QPainter painter(&image);
    picture.paint(&painter, image.rect(), Qt::AlignCenter, mode);
    painter.end();
    std::vector<int> changed;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const int lightness = qGray(image.pixel(x, y)); std::abs(lightness - qGray(button.rgb())) > 8)
                changed.push_back(lightness);
    return changed;
}

}

int InkLightness(const QIcon& picture, QIcon::Mode mode)
{
    std::vector<int> changed = ChangedLightness(picture, mode);
    if (changed.empty())
        return 255;
    std::sort(changed.begin(), changed.end());
    return changed[changed.size() / 10];
}

int InkContrast(const QIcon& picture, QIcon::Mode mode)
{
    const int button = qGray(QApplication::palette().color(QPalette::Button).rgb());
    std::vector<int> distances;
    for (const int lightness : ChangedLightness(picture, mode))
        distances.push_back(std::abs(lightness - button));
    if (distances.empty())
        return 0;
    std::sort(distances.begin(), distances.end(), std::greater<>());
    return distances[distances.size() / 10];
}

TDarkPalette::TDarkPalette() : m_before(QApplication::palette())
{
    QPalette dark(QColor(49, 54, 59), QColor(35, 38, 41));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(239, 240, 241));
    QApplication::setPalette(dark);
}

TDarkPalette::~TDarkPalette()
{
    QApplication::setPalette(m_before);
}
