#pragma once

#include <QString>
#include <QStringList>

#include <array>

// A built-in file-name template.
struct TFileNamePresetsDefaults {
    const char* Name;    // "%" + language key
    const char* Pattern; // a file-name pattern
};

constexpr int FileNamePresetDefaultCount = 6;

// The built-in templates in the order they are offered.
inline constexpr std::array<TFileNamePresetsDefaults, FileNamePresetDefaultCount> FileNamePresetDefaults = {{
    {"%FilenameTemplateStandard", "%A - %T"},
    {"%FilenameTemplateWithTrackNo", "%N %A - %T"},
    {"%FilenameTemplateWithSepTrackNo", "%N - %A - %T"},
    {"%FilenameTemplateAlbumTrackNoArtistTitle", "%B - %N - %A - %T"},
    {"%FilenameTemplateDiscNoTrackNoArtistTitle", "%P %N %A - %T"},
    {"%FilenameTemplateArtistAlbumTitleFolder", "%A\\%B\\%T"},
}};

// The file-name pattern used until the user chooses another: the first
// template's.
inline constexpr const char* DefaultFileNamePattern = FileNamePresetDefaults[0].Pattern;

// The user's named file-name patterns. Entry i is (Names()[i], Patterns()[i]);
// the two lists always have the same length. A name "%" + key is a built-in
// name shown in the current language.
class TFileNamePresets {
public:
    void Add(const QString& name, const QString& pattern);
    // Removes entry index; false for an index outside the list.
    bool Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(FNames.size()); }
    // Replaces the entries by the source's.
    void Assign(const TFileNamePresets& source);

    // Entry index: its name, translated when translate is set and the name
    // is a built-in one, and its pattern. False (outputs untouched) for an
    // index outside the list.
    bool Get(int index, QString& name, bool translate, QString& pattern) const;

    // Replaces every entry by the built-in templates, names kept with "%".
    void SetDefaults();

    const QStringList& Names() const { return FNames; }
    const QStringList& Patterns() const { return FPatterns; }

    friend bool operator==(const TFileNamePresets&, const TFileNamePresets&) = default;

private:
    QStringList FNames;
    QStringList FPatterns;
};
