#include "tagengine/DisplayTexts.h"
#include "tagengine/EngineText.h"
#include "tagengine/FileAttributes.h"
#include "tagengine/FrameCodecs.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include <cstdlib>
#include <ctime>

namespace {

// Sets the default locale (and optionally the local time zone) for one test.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale, const char* timeZone = nullptr)
        : m_setTZ(timeZone != nullptr), m_hadTZ(qEnvironmentVariableIsSet("TZ")), m_oldTZ(qgetenv("TZ"))
    {
        QLocale::setDefault(locale);
        if (timeZone) {
            qputenv("TZ", timeZone);
            tzset();
        }
    }
    ~LocaleScope()
    {
        QLocale::setDefault(m_previous);
        if (m_setTZ) {
            m_hadTZ ? qputenv("TZ", m_oldTZ) : qunsetenv("TZ");
            tzset();
        }
    }

private:
    QLocale m_previous;
    bool m_setTZ, m_hadTZ;
    QByteArray m_oldTZ;
};

std::unique_ptr<TID3Frame> TextFrame(const QString& id, const QStringList& strings)
{
    auto frame = std::make_unique<TID3Frame>(id);
    SetTextFrame(*frame, {}, strings);
    return frame;
}

constexpr qint64 NsPerSecond = 1'000'000'000;

} // namespace

TEST(DisplayTexts, DurationsShowHoursOnlyWhenNeededAndFileDatesLocalTime)
{
    EXPECT_EQ(DurationToText(5'999), "0:05"); // cut, not rounded
    EXPECT_EQ(DurationToText((59 * 60 + 5) * 1000), "59:05");
    EXPECT_EQ(DurationToText((3600 + 2 * 60 + 3) * 1000), "1:02:03");
    EXPECT_EQ(DurationToText(qint64(27) * 3600 * 1000), "27:00:00");
    EXPECT_EQ(DurationToText(-1000), "0:00");

    // File dates in local time and the short format.
    LocaleScope scope(QLocale(QLocale::German, QLocale::Germany), "UTC");
    const qint64 may6 = QDateTime(QDate(2004, 5, 6), QTime(7, 8, 9), Qt::UTC).toSecsSinceEpoch();
    EXPECT_EQ(FileDateToText(may6 * NsPerSecond + 999'999'999), "06.05.04 07:08");
    EXPECT_EQ(FileDateToText(-1), "31.12.69 23:59");
    {
        LocaleScope berlin(QLocale(QLocale::German, QLocale::Germany), "CET-1CEST,M3.5.0,M10.5.0/3");
        EXPECT_EQ(FileDateToText(may6 * NsPerSecond), "06.05.04 09:08");
    }
}

TEST(DisplayTexts, FrameDisplayTextIsOneLine)
{
    EXPECT_EQ(GetFrameDisplayText(nullptr), "");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("", {"x"}).get()), "");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TPE1", {"A", "B"}).get()), "A");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TCON", {"(17)"}).get()), "Rock");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TDRC", {"2004-05"}).get()), "05.2004");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TDOR", {"no date"}).get()), "");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TYER", {"2004-05"}).get()), "2004-05");

    TID3Frame comm("COMM");
    SetCommentFrame(comm, {"one", "", "three"}, "d", "eng");
    EXPECT_EQ(GetFrameDisplayText(&comm), "one; ; three");

    TID3Frame wxxx("WXXX");
    SetURLFrame(wxxx, "d", "http://example.org");
    EXPECT_EQ(GetFrameDisplayText(&wxxx), "http://example.org");

    TID3Frame apic("APIC");
    apic.SetBody(QByteArray("\0image/png\0", 11));
    EXPECT_EQ(GetFrameDisplayText(&apic), "");
}

TEST(DisplayTexts, ColumnTextsOfFilesAudioTagsAndFrames)
{
    LocaleScope scope(QLocale(QLocale::English, QLocale::UnitedStates));
    TEintragdaten entry;
    entry.Folder = "/music/a\\b/";
    entry.FileName = "song.mp3";
    entry.Size = 1535;
    EXPECT_EQ(GetColumnText(entry, "*DIR"), "/music/a\\b/");
    EXPECT_EQ(GetColumnText(entry, "*SIZ"), "1 KB");
    entry.Size = 1536;
    EXPECT_EQ(GetColumnText(entry, "*SIZ"), "2 KB");
    entry.Size = 1'048'576;
    EXPECT_EQ(GetColumnText(entry, "*SIZ"), "1,024 KB");
    {
        LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(GetColumnText(entry, "*SIZ"), "1.024 KB");
    }

    EXPECT_EQ(GetColumnText(entry, "*ATT"), "");
    entry.Attributes = FileAttr::Archive | FileAttr::ReadOnly | FileAttr::Hidden | FileAttr::System;
    EXPECT_EQ(GetColumnText(entry, "*ATT"), "SRHA");

    entry.MPEGInfo.Version = 3;
    entry.MPEGInfo.Layer = 3;
    EXPECT_EQ(GetColumnText(entry, "*MPG"), "MPEG 2.5 Layer 3");
    entry.MPEGInfo.Version = 9;
    entry.MPEGInfo.Layer = 4;
    EXPECT_EQ(GetColumnText(entry, "*MPG"), "MPEG ? Layer ?");

    entry.MPEGInfo.Bitrate = 192;
    EXPECT_EQ(GetColumnText(entry, "*BIT"), "192 kbps");
    entry.MPEGInfo.VBR = 1;
    EXPECT_EQ(GetColumnText(entry, "*BIT"), "vbr 192 kbps");
    entry.MPEGInfo.SampleRate = 44100;
    EXPECT_EQ(GetColumnText(entry, "*FQZ"), "44 kHz");

    entry.Length = 65'000;
    EXPECT_EQ(GetColumnText(entry, "*LEN"), "1:05");
    EXPECT_EQ(GetColumnText(entry, "*XYZ"), "");

    // Channel modes come from the language.
    TEintragdaten mode;
    mode.MPEGInfo.ChannelMode = 4;
    EXPECT_EQ(GetColumnText(mode, "*STE"), "");
    SetEngineTextLookup([](const QString& key) {
        return key == "ChannelMono" ? QStringLiteral("Einkanal") : QString();
    });
    mode.MPEGInfo.ChannelMode = 3;
    EXPECT_EQ(GetColumnText(mode, "*STE"), "Einkanal");
    SetEngineTextLookup({});

    // Tag versions, and a frame column shows the first frame of its ID.
    TEintragdaten tagged;
    EXPECT_EQ(GetColumnText(tagged, "*ID3"), "");
    tagged.HasID3v1 = 1;
    tagged.HasID3v2 = 1;
    tagged.ID3v2Major = 3;
    EXPECT_EQ(GetColumnText(tagged, "*ID3"), "v1+v2.3.0");
    tagged.HasID3v1 = 0;
    tagged.ID3v2Major = 4;
    EXPECT_EQ(GetColumnText(tagged, "*ID3"), "v2.4.0");

    tagged.Frames.push_back(TextFrame("TIT2", {"First"}));
    tagged.Frames.push_back(TextFrame("TIT2", {"Second"}));
    EXPECT_EQ(GetColumnText(tagged, "TIT2"), "First");
    EXPECT_EQ(GetColumnText(tagged, "TALB"), "");
}
