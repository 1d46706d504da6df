#include "support/MutagenReader.h"

#include "support/RunProgram.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

const char* const ReadScript = R"PY(
import json, sys
from mutagen.id3 import ID3
from mutagen.id3._id3v1 import ParseID3v1
path = bytes.fromhex(sys.argv[1])
out = {'error': '', 'tag': {}, 'id3v1': {}}
try:
    tags = ID3(path, load_v1=False)
    frames = []
    for f in tags.values():
        texts = [str(t) for t in f.text] if hasattr(f, 'text') else []
        if hasattr(f, 'url'):
            texts = [f.url]
        data = f.data.hex() if isinstance(getattr(f, 'data', None), bytes) else ''
        frames.append({'id': f.FrameID, 'desc': getattr(f, 'desc', ''), 'text': texts, 'data': data})
    out['tag'] = {'version': list(tags.version), 'frames': frames}
except Exception as e:
    out['error'] = '%s: %s' % (type(e).__name__, e)
data = open(path, 'rb').read()
if len(data) >= 128 and data[-128:-125] == b'TAG':
    v1 = ParseID3v1(data[-128:]) or {}
    out['id3v1'] = {k: str(f.text[0]) if hasattr(f, 'text') and f.text else '' for k, f in v1.items()}
print(json.dumps(out))
)PY";

}

bool MutagenInstalled()
{
    return RunPython("import mutagen", {}).ExitCode == 0;
}

TMutagenRead ReadWithMutagen(const QString& path)
{
    return ReadWithMutagen(QFile::encodeName(path));
}

TMutagenRead ReadWithMutagen(const QByteArray& nativePath)
{
    TMutagenRead read;
    const TProgramRun python = RunPython(ReadScript, {QString::fromLatin1(nativePath.toHex())});
    if (python.ExitCode != 0) {
        read.Error = QString::fromLocal8Bit(python.Err);
        return read;
    }
    const QJsonObject out = QJsonDocument::fromJson(python.Out).object();
    read.Ok = !out.isEmpty();
    read.Error = out.value(QStringLiteral("error")).toString();
    read.Tag = out.value(QStringLiteral("tag")).toObject();
    read.ID3v1 = out.value(QStringLiteral("id3v1")).toObject();
    return read;
}

QStringList MutagenTexts(const TMutagenRead& read, const QString& id, const QString& description)
{
    QStringList texts;
    for (const QJsonValue& value : read.Tag.value(QStringLiteral("frames")).toArray()) {
        const QJsonObject frame = value.toObject();
        if (frame.value(QStringLiteral("id")).toString() != id
            || frame.value(QStringLiteral("desc")).toString() != description)
            continue;
        QStringList parts;
        for (const QJsonValue& text : frame.value(QStringLiteral("text")).toArray())
            parts << text.toString();
        texts << parts.join(QLatin1Char('/'));
    }
    return texts;
}

QString MutagenData(const TMutagenRead& read, const QString& id)
{
    for (const QJsonValue& value : read.Tag.value(QStringLiteral("frames")).toArray()) {
        const QJsonObject frame = value.toObject();
        if (frame.value(QStringLiteral("id")).toString() == id)
            return frame.value(QStringLiteral("data")).toString();
    }
    return QString();
}

QString MutagenID3v1(const TMutagenRead& read, const QString& id)
{
    return read.ID3v1.value(id).toString();
}
