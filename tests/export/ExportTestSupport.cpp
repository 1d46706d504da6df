#include "ExportTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "tagengine/FrameCodecs.h"
#include "tagengine/ID3Frame.h"

#include <QFile>

TEintragdatenPtr MakeEntry(const QString& folder, const QString& name, const TFrameTexts& frames, qint64 lengthMs)
{
    auto entry = std::make_unique<TEintragdaten>();
    entry->Folder = folder;
    entry->FileName = name;
    entry->Length = lengthMs;
    entry->HasID3v2 = 1;
    entry->ID3v2Major = 3;
    for (const auto& [id, text] : frames) {
        TID3Frame frame(id);
        SetTextFrame(frame, QString(), {text});
        SetFrame(entry->Frames, id, &frame, 0);
    }
    return entry;
}

void LoadEnglish()
{
    LoadBaseLanguage();
    LoadLanguage(QStringLiteral("English"), QString());
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
