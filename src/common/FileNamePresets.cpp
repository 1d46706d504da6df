#include "common/FileNamePresets.h"

#include "common/StoredNames.h"

void TFileNamePresets::Add(const QString& name, const QString& pattern)
{
    FNames.append(name);
    FPatterns.append(pattern);
}

bool TFileNamePresets::Delete(int index)
{
    if (index < 0 || index >= Count())
        return false;
    FNames.removeAt(index);
    FPatterns.removeAt(index);
    return true;
}

void TFileNamePresets::Clear()
{
    FNames.clear();
    FPatterns.clear();
}

void TFileNamePresets::Assign(const TFileNamePresets& source)
{
    FNames = source.FNames;
    FPatterns = source.FPatterns;
}

bool TFileNamePresets::Get(int index, QString& name, bool translate, QString& pattern) const
{
    if (index < 0 || index >= Count())
        return false;
    name = translate ? ShownName(FNames.at(index)) : FNames.at(index);
    pattern = FPatterns.at(index);
    return true;
}

void TFileNamePresets::SetDefaults()
{
    Clear();
    for (const TFileNamePresetsDefaults& preset : FileNamePresetDefaults)
        Add(QString::fromLatin1(preset.Name), QString::fromLatin1(preset.Pattern));
}
