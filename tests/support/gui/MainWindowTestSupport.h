#pragma once

#include "support/Mp3Builder.h"
#include "support/RecordingPrompt.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QIcon>
#include <QPalette>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

// What every test of the main window or of a dialog needs: the settings
// store in a temporary folder, the built-in base language, a recording prompt
// and a folder for generated MP3 files.
class TMainWindowEnvironment {
public:
    TMainWindowEnvironment();
    ~TMainWindowEnvironment();

    QString Folder() const { return m_files.path(); }
    // A path below the file folder, its folders created.
    QString PathOf(const QString& relative) const;

    TRecordingPrompt Prompt;

private:
    QTemporaryDir m_settings;
    QTemporaryDir m_files;
};

using TTextFrames = std::vector<std::pair<QByteArray, QString>>;
using TFrameBodies = std::vector<std::pair<QByteArray, QByteArray>>;

// An MP3 file: an ID3v2 tag of the version with these frames (ID and body),
// audioFrames MPEG-1 layer III frames at 128 kbit/s and the ID3v1 block when
// one is given.
QByteArray Mp3WithFrames(const TFrameBodies& frames, const std::optional<ID3v1Fields>& id3v1 = std::nullopt,
                         quint8 major = 3, int audioFrames = 8);

// The same with an ID3v2.3 tag of text frames (Latin-1).
QByteArray TaggedMp3(const TTextFrames& frames, int audioFrames = 8);
bool WriteTaggedMp3(const QString& path, const TTextFrames& frames, int audioFrames = 8);

// Runs the event loop until the condition holds (true) or the time is up
// (false).
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

// Runs the event loop until everything posted so far has been delivered
// (true), such as the work a change has left for later.
bool WaitForPostedEvents(int timeoutMs = 5000);

// Runs action once the event loop has been entered `rounds` more times (each
// round of processEvents fires one link of a chain of zero timers).
void AfterEventRounds(int rounds, std::function<void()> action);

// The lightness (0 to 255) of the darkest tenth of the pixels a picture
// changes when drawn at 24 x 24 pixels in the mode on the palette's button
// colour: low for pictures with dark lines, as enabled commands must have;
// 255 when it changes none.
int InkLightness(const QIcon& picture, QIcon::Mode mode);
// Enabled pictures are at least this dark, disabled ones at least this light.
constexpr int EnabledInk = 120;
constexpr int DisabledInk = 170;
// How far in lightness the tenth of the changed pixels that stands out most
// lies from the palette's button colour, whether that is light or dark: 0
// when it changes none.
int InkContrast(const QIcon& picture, QIcon::Mode mode);
// Enabled pictures stand out at least this much, disabled ones at most this.
constexpr int EnabledContrast = 110;
constexpr int DisabledContrast = 80;

// While it exists, the application's palette is a dark one, as a dark
// desktop gives it: light text on dark windows, buttons and fields.
class TDarkPalette {
public:
    TDarkPalette();
    ~TDarkPalette();
    TDarkPalette(const TDarkPalette&) = delete;
    TDarkPalette& operator=(const TDarkPalette&) = delete;

private:
    QPalette m_before;
};
