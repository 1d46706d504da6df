#include "commands/EntryFrames.h"

#include "tagengine/Eintragdaten.h"
#include "tagengine/FrameCodecs.h"

std::optional<QStringList> FirstFrameStrings(const TEintragdaten& entry, const QString& id)
{
    const TID3Frame* frame = FindFrame(entry.Frames, id);
    if (!frame)
        return std::nullopt;
    QString description;
    QStringList strings;
    GetTextFrame(*frame, description, strings);
    return strings;
}

bool SetSingleTextFrame(TEintragdaten& entry, const QString& id, const QString& text)
{
    if (FirstFrameStrings(entry, id) == QStringList{text})
        return false;
    TID3Frame frame(id);
    SetTextFrame(frame, QString(), {text});
    entry.SetFrame(id, &frame, 0);
    return true;
}
