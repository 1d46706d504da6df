#include "tagengine/DisplayTexts.h"

#include "tagengine/DateTexts.h"
#include "tagengine/EngineText.h"
#include "tagengine/FileAttributes.h"
#include "tagengine/FrameCodecs.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>

namespace {

bool IsDateFrameID(const QString& id)
{
    static const QStringList dateFrames = {QStringLiteral("TDEN"), QStringLiteral("TDOR"), QStringLiteral("TDRC"),
                                           QStringLiteral("TDRL"), QStringLiteral("TDTG")};
    return dateFrames.contains(id);
}

QString TextFrameDisplayText(const TID3Frame& frame)
{
    QString description;
    QStringList lines;
    GetTextFrame(frame, description, lines);
    if (lines.isEmpty())
        return {};
    if (frame.FrameID == QLatin1String("TCON"))
        return DecodeGenre(lines.first());
    if (IsDateFrameID(frame.FrameID))
        return ISODateToLocaleText(lines.first());
    return lines.first();
}

QString SizeText(qint64 size)
{
    const auto kilobytes = std::llround(double(size) / 1024.0);
    return QLocale().toString(qlonglong(kilobytes)) + QLatin1String(" KB");
}

QString AttributesText(quint32 attributes)
{
    QString text;
    if (attributes & FileAttr::System)
        text += QLatin1Char('S');
    if (attributes & FileAttr::ReadOnly)
        text += QLatin1Char('R');
    if (attributes & FileAttr::Hidden)
        text += QLatin1Char('H');
    if (attributes & FileAttr::Archive)
        text += QLatin1Char('A');
    return text;
}

QString MPEGText(const TMP3Info& info)
{
    static const char* const versions[] = {"MPEG ?", "MPEG 1", "MPEG 2", "MPEG 2.5"};
    QString text = QLatin1String(info.Version <= 3 ? versions[info.Version] : versions[0]);
    text += QLatin1String(" Layer ");
    text += info.Layer >= 1 && info.Layer <= 3 ? QString::number(info.Layer) : QStringLiteral("?");
    return text;
}

QString BitrateText(const TMP3Info& info)
{
    return (info.VBR ? QLatin1String("vbr ") : QLatin1String("")) + QString::number(info.Bitrate)
           + QLatin1String(" kbps");
}

QString ChannelModeText(quint8 mode)
{
    switch (mode) {
    case 0:
        return EngineText(QStringLiteral("ChannelStereo"), QStringLiteral("Stereo"));
    case 1:
        return EngineText(QStringLiteral("ChannelJStereo"), QStringLiteral("Joint Stereo"));
    case 2:
        return EngineText(QStringLiteral("ChannelFStereo"), QStringLiteral("Two Channel Stereo"));
    case 3:
        return EngineText(QStringLiteral("ChannelMono"), QStringLiteral("Mono"));
    default:
        return {};
    }
}

QString TagVersionsText(const TEintragdaten& entry)
{
    QString text;
    if (entry.HasID3v1)
        text = QStringLiteral("v1");
    if (entry.HasID3v2) {
        if (!text.isEmpty())
            text += QLatin1Char('+');
        text += QStringLiteral("v2.%1.%2").arg(entry.ID3v2Major).arg(entry.ID3v2Revision);
    }
    return text;
}

QString FileColumnText(const TEintragdaten& entry, const QString& columnId)
{
    if (columnId == QLatin1String("*FIN"))
        return entry.FileName;
    if (columnId == QLatin1String("*DIR"))
        return entry.Folder;
    if (columnId == QLatin1String("*SIZ"))
        return SizeText(entry.Size);
    if (columnId == QLatin1String("*ATT"))
        return AttributesText(entry.Attributes);
    if (columnId == QLatin1String("*DAT"))
        return FileDateToText(entry.LastWriteNs);
    if (columnId == QLatin1String("*MPG"))
        return MPEGText(entry.MPEGInfo);
    if (columnId == QLatin1String("*BIT"))
        return BitrateText(entry.MPEGInfo);
    if (columnId == QLatin1String("*FQZ"))
        return QString::number(entry.MPEGInfo.SampleRate / 1000) + QLatin1String(" kHz");
    if (columnId == QLatin1String("*STE"))
        return ChannelModeText(entry.MPEGInfo.ChannelMode);
    if (columnId == QLatin1String("*LEN"))
        return DurationToText(entry.Length);
    if (columnId == QLatin1String("*ID3"))
        return TagVersionsText(entry);
    return {};
}

} // namespace

QString FileDateToText(qint64 lastWriteNs)
{
    // Floor division, so that times before 1970 round towards the past.
    qint64 ms = lastWriteNs / 1'000'000;
    if (lastWriteNs % 1'000'000 < 0)
        --ms;
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime();
    if (!local.isValid())
        return {};
    const QLocale locale;
    return locale.toString(local.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + locale.toString(local.time(), QLocale::ShortFormat);
}

QString DurationToText(qint64 milliseconds)
{
    const qint64 totalSeconds = milliseconds > 0 ? milliseconds / 1000 : 0;
    const qint64 hours = totalSeconds / 3600;
    const qint64 minutes = totalSeconds / 60 % 60;
    const qint64 seconds = totalSeconds % 60;
    const QLatin1Char zero('0');
    if (hours > 0)
        return QStringLiteral("%1:%2:%3").arg(hours).arg(minutes, 2, 10, zero).arg(seconds, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(minutes).arg(seconds, 2, 10, zero);
}

QString GetFrameDisplayText(const TID3Frame* frame)
{
    if (!frame || frame->FrameID.isEmpty())
        return {};
    const QString& id = frame->FrameID;
    if (id.startsWith(QLatin1Char('T')))
        return TextFrameDisplayText(*frame);
    QString description;
    if (id.startsWith(QLatin1Char('W'))) {
        QString url;
        GetURLFrame(*frame, description, url);
        return url;
    }
    if (id == QLatin1String("COMM")) {
        QString text, language;
        GetCommentFrame(*frame, text, language, description);
        return SplitTextLines(text).join(QLatin1String("; "));
    }
    return {};
}

QString GetColumnText(const TEintragdaten& entry, const QString& columnId)
{
    if (!columnId.startsWith(QLatin1Char('*')))
        return GetFrameDisplayText(FindFrame(entry.Frames, columnId));
    return FileColumnText(entry, columnId);
}
