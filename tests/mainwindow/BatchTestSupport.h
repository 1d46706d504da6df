#pragma once

// What the tests of the batch commands share: a window on generated files
// whose dialogs the test answers, and the files' tags as python3-mutagen (an
// ID3 implementation nobody here wrote) reads them.

#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"

#include "support/RunProgram.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// Prints, as JSON, every file's frames by ID, each frame with its fields as
// mutagen names them ("text", "desc", "lang", "mime"...): lists as lists of
// strings, bytes (a picture's data) as their SHA-1. The ID3v1 block is not
// merged in: only what the ID3v2 tag holds counts.
inline const char* const MutagenDumpScript = R"PY(
import hashlib, json, sys
from mutagen.id3 import ID3, ID3NoHeaderError
def plain(value):
    if isinstance(value, bytes):
        return hashlib.sha1(value).hexdigest()
    return [str(v) for v in value] if isinstance(value, list) else str(value)
result = {}
for path in sys.argv[1:]:
    try:
        frames = ID3(path, load_v1=False).values()
    except ID3NoHeaderError:
        frames = []
    tags = result.setdefault(path, {})
    for frame in frames:
        tags.setdefault(frame.FrameID, []).append({k: plain(v) for k, v in vars(frame).items()})
print(json.dumps(result))
)PY";

// The frames of the files as mutagen reads them, by path.
inline QJsonObject MutagenTags(const QStringList& paths)
{
    const TProgramRun run = RunPython(MutagenDumpScript, paths);
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    return QJsonDocument::fromJson(run.Out).object();
}

// The fields of the n-th frame with the ID; empty when none.
inline QJsonObject MutagenFrame(const QJsonObject& tags, const QString& path, const QString& id, int n = 0)
{
    return tags.value(path).toObject().value(id).toArray().at(n).toObject();
}

// The strings of the first frame with the ID; empty when none.
inline QStringList MutagenTexts(const QJsonObject& tags, const QString& path, const QString& id)
{
    return MutagenFrame(tags, path, id).value(QStringLiteral("text")).toVariant().toStringList();
}
