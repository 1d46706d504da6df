#pragma once

// What the tests of the batch commands share: a window on generated files
// whose dialogs the test answers, and the files' tags as python3-mutagen (an
// ID3 implementation nobody here wrote) reads them.

#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"

#include "dialogs/DialogTestSupport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <fcntl.h>
#include <sys/stat.h>

// Prints, as JSON, every file's frames by ID: texts as lists of strings,
// comments and TXXX with their description (and language), pictures with
// their type, MIME type, description and the SHA-1 of their data. The ID3v1
// block is not merged in: only what the ID3v2 tag holds counts.
inline const char* const MutagenDumpScript = R"PY(
import hashlib, json, sys
from mutagen.id3 import ID3, ID3NoHeaderError
result = {}
for path in sys.argv[1:]:
    frames = {}
    try:
        tags = ID3(path, load_v1=False)
    except ID3NoHeaderError:
        tags = {}
    for frame in tags.values():
        if frame.FrameID == 'APIC':
            value = {'mime': frame.mime, 'desc': frame.desc, 'type': int(frame.type),
                     'sha1': hashlib.sha1(frame.data).hexdigest()}
        elif frame.FrameID == 'COMM':
            value = {'lang': frame.lang, 'desc': frame.desc, 'text': [str(t) for t in frame.text]}
        elif frame.FrameID == 'TXXX':
            value = {'desc': frame.desc, 'text': [str(t) for t in frame.text]}
        elif hasattr(frame, 'text'):
            value = [str(t) for t in frame.text]
        else:
            value = None
        frames.setdefault(frame.FrameID, []).append(value)
    result[path] = frames
print(json.dumps(result))
)PY";

// The frames of the files as mutagen reads them, by path.
inline QJsonObject MutagenTags(const QStringList& paths)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), QString::fromLatin1(MutagenDumpScript)} + paths);
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object();
}

// The strings of the first text frame of the ID; empty when none.
inline QStringList MutagenTexts(const QJsonObject& tags, const QString& path, const QString& id)
{
    const QJsonArray frames = tags.value(path).toObject().value(id).toArray();
    QStringList texts;
    if (frames.isEmpty())
        return texts;
    for (const QJsonValue& text : frames.first().toArray())
        texts << text.toString();
    return texts;
}

// The file's last-write time in nanoseconds, as coreutils' stat reports it.
inline qint64 ModifiedNs(const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("stat"), {QStringLiteral("-c"), QStringLiteral("%.9Y"), path});
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return -1;
    const QList<QByteArray> parts = process.readAllStandardOutput().trimmed().split('.');
    if (parts.size() != 2 || parts[1].size() != 9)
        return -1;
    return parts[0].toLongLong() * 1000000000 + parts[1].toLongLong();
}

inline bool SetModifiedNs(const QString& path, qint64 ns)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)}};
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}
