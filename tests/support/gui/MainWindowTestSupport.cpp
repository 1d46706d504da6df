#include "support/gui/MainWindowTestSupport.h"

#include "support/ID3v2Builder.h"
#include "support/Mp3Builder.h"
#include "support/NativeFiles.h"

#include "localisation/LanguageLoader.h"
#include "platform/Registry.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

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

QByteArray TaggedMp3(const TTextFrames& frames, int audioFrames)
{
    ID3v2Builder tag(3);
    for (const auto& [id, text] : frames)
        tag.Frame(id, ID3v2Builder::TextBody(0, {text}));
    tag.Padding(64);
    Mp3FileParts parts;
    parts.LeadingTag = tag.Build();
    parts.Audio = Mp3Builder::CbrFrames(MpegFormat{}, audioFrames);
    return Mp3Builder::File(parts);
}

bool WriteTaggedMp3(const QString& path, const TTextFrames& frames, int audioFrames)
{
    QDir().mkpath(QFileInfo(path).path());
    return Mp3Builder::WriteFile(path, TaggedMp3(frames, audioFrames));
}

bool SetModificationTime(const QString& path, qint64 seconds)
{
    const struct timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
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

int InkLightness(const QIcon& picture, QIcon::Mode mode)
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
    if (changed.empty())
        return 255;
    std::sort(changed.begin(), changed.end());
    return changed[changed.size() / 10];
}
