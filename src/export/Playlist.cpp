// The playlist export and the pieces of its lines.
#include "export/Playlist.h"

#include "export/DataModuleExport.h"
#include "export/ExportFile.h"
#include "export/ExportPaths.h"
#include "localisation/MultiLanguage.h"
#include "platform/NativePath.h"
#include "tagengine/DisplayTexts.h"

#include <QRegularExpression>

namespace {

bool HasLineBreak(const QString& text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// The text with each line break (CR LF, CR or LF) as a blank.
QString OnOneLine(QString text)
{
    static const QRegularExpression lineBreaks(QStringLiteral("\r\n|\r|\n"));
    return text.replace(lineBreaks, QStringLiteral(" "));
}

}

qint64 PlaylistSeconds(qint64 milliseconds)
{
    qint64 seconds = milliseconds / 1000;
    const qint64 rest = milliseconds % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 != 0))
        ++seconds;
    return seconds;
}

QString PlaylistTitle(const TEintragdaten& entry)
{
    const auto partOrQuestionMark = [&](const char* id) {
        const QString text = GetColumnText(entry, QString::fromLatin1(id));
        return text.isEmpty() ? QStringLiteral("?") : text;
    };
    QString title = partOrQuestionMark("TPE1") + QStringLiteral(" - ") + partOrQuestionMark("TIT2");
    if (title == QLatin1String("? - ?"))
        title = StemOf(entry.FileName);
    return OnOneLine(title);
}

TExportResult TDataModuleExport::ExportPlaylist(const QString& baseFolder, bool addInfos, bool selectedOnly)
{
    if (const QString refusal = TargetRefusal(OutputFile); !refusal.isEmpty())
        return Failed(refusal);
    if (ConfirmOverwrite(OutputFile, pbYes | pbNo) != pbYes)
        return erCancelled;
    const QString playlistFolder = FolderOf(OutputFile);
    const bool relative = playlistFolder == baseFolder || RelativeLinks;

    // UTF-8 text; a path goes in as its file-system bytes, so that a name
    // that is not valid UTF-8 still names its file for the player.
    QByteArray bytes;
    if (addInfos)
        bytes += "#EXTM3U\r\n";
    QStringList leftOut;
    for (const TEintragdaten* entry : AllFiles()) {
        if (selectedOnly && !entry->Edited)
            continue;
        const QString path = relative ? RelativePath(playlistFolder, entry->PathKey()) : entry->PathKey();
        if (HasLineBreak(path)) {
            // A player would read two entries; such a file cannot be listed.
            leftOut << entry->FullPath();
            continue;
        }
        if (addInfos) {
            bytes += QStringLiteral("#EXTINF:%1,%2\r\n")
                         .arg(QString::number(PlaylistSeconds(entry->Length)), PlaylistTitle(*entry))
                         .toUtf8();
        }
        bytes += NativeFromPath(path) + "\r\n";
    }
    try {
        WriteExportFile(OutputFile, bytes);
    } catch (const std::exception& e) {
        return Failed(QString::fromUtf8(e.what()));
    }
    if (!leftOut.isEmpty()) {
        QString names;
        for (const QString& name : leftOut)
            names += QStringLiteral("\n") + OnOneLine(name);
        CurrentPrompt()->Information(Owner, LangFmt(QStringLiteral("PlaylistFilesLeftOut"), {names}));
    }
    return erDone;
}
