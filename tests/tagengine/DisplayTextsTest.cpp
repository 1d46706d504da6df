#include "support/ScopedEnv.h"
#include "tagengine/DisplayTexts.h"
#include "tagengine/EngineText.h"
#include "tagengine/FileAttributes.h"
#include "tagengine/FrameCodecs.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>

#include <ctime>
#include <optional>

namespace {

// Sets the default locale (and optionally the local time zone) for one test.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale, const char* timeZone = nullptr)
    {
        QLocale::setDefault(locale);
        if (timeZone) {
            m_zone.emplace("TZ", QString::fromLatin1(timeZone));
            tzset();
        }
    }
    ~LocaleScope()
    {
        QLocale::setDefault(m_previous);
        m_zone.reset();
        tzset();
    }

private:
    QLocale m_previous;
    std::optional<TScopedEnv> m_zone;
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
    EXPECT_EQ(DurationToText((3600 + 2 * 60 + 3) * 1000), "1:02:03");
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
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TPE1", {"A", "B"}).get()), "A");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TCON", {"(17)"}).get()), "Rock");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TDRC", {"2004-05"}).get()), "05.2004");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TDOR", {"no date"}).get()), "");
    EXPECT_EQ(GetFrameDisplayText(TextFrame("TYER", {"2004-05"}).get()), "2004-05");

    TID3Frame comm("COMM");
    SetCommentFrame(comm, {"one", "", "three"}, "d", "eng");
    EXPECT_EQ(GetFrameDisplayText(&comm), "one; ; three");

    TID3Frame apic("APIC");
    apic.SetBody(QByteArray("\0image/png\0", 11));
    EXPECT_EQ(GetFrameDisplayText(&apic), "");
}

TEST(DisplayTexts, ColumnTextsOfFilesAudioTagsAndFrames)
{
    LocaleScope scope(QLocale(QLocale::German, QLocale::Germany));
    TEintragdaten entry;
    entry.Size = 1535;
    EXPECT_EQ(GetColumnText(entry, "*SIZ"), "1 KB");
    entry.Size = 1'048'576;
    EXPECT_EQ(GetColumnText(entry, "*SIZ"), "1.024 KB");
    entry.Attributes = FileAttr::Archive | FileAttr::ReadOnly | FileAttr::Hidden | FileAttr::System;
    EXPECT_EQ(GetColumnText(entry, "*ATT"), "SRHA");

    // Header values no table holds are shown as unknown.
    entry.MPEGInfo.Version = 9;
    entry.MPEGInfo.Layer = 4;
    EXPECT_EQ(GetColumnText(entry, "*MPG"), "MPEG ? Layer ?");
    entry.MPEGInfo.Bitrate = 192;
    entry.MPEGInfo.VBR = 1;
    EXPECT_EQ(GetColumnText(entry, "*BIT"), "vbr 192 kbps");

    // Channel modes come from the language.
    SetEngineTextLookup([](const QString& key) {
        return key == "ChannelMono" ? QStringLiteral("Einkanal") : QString();
    });
    entry.MPEGInfo.ChannelMode = 3;
    EXPECT_EQ(GetColumnText(entry, "*STE"), "Einkanal");
    SetEngineTextLookup({});

    // Tag versions, and a frame column shows the first frame of its ID.
    entry.HasID3v1 = 1;
    entry.HasID3v2 = 1;
    entry.ID3v2Major = 3;
    EXPECT_EQ(GetColumnText(entry, "*ID3"), "v1+v2.3.0");
    entry.Frames.push_back(TextFrame("TIT2", {"First"}));
    entry.Frames.push_back(TextFrame("TIT2", {"Second"}));
    EXPECT_EQ(GetColumnText(entry, "TIT2"), "First");
}
