#pragma once

#include "tagengine/Eintragdaten.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

// One placeholder of a file-name pattern: "%" + letter stands for a frame.
struct TFileNamePart {
    char Letter;
    const char* FrameID;
    bool SimpleForm; // offered by the simple pattern form of the settings
};

extern const std::array<TFileNamePart, 14> FileNameParts;

// One folder level of a pattern: N frame IDs and N + 1 literal separators.
class TFilenameConstruct {
public:
    QStringList FrameIDs;
    QStringList Separators;

    QString GetFrameID(int index) const { return FrameIDs.at(index); }
    int GetFrameIDCount() const { return static_cast<int>(FrameIDs.size()); }
    QString GetSeparator(int index) const { return Separators.at(index); }
    int GetSeparatorCount() const { return static_cast<int>(Separators.size()); }
};

// One value read from a file name.
struct TFrameContent {
    QString Value;
    QString FrameID;
};

// Turns a pattern such as "%A - %T" into file names built from an entry's
// frames, and splits file names (and their folders) back into frame values.
// Patterns keep "\" between folder levels; real paths use "/".
class TID3FilenameParser {
public:
    QString FilenameConstruct() const { return m_pattern; }
    void SetFilenameConstruct(const QString& pattern);
    int NumberDecimals = 2;

    // The name without extension from level 0 of the pattern, made fit to
    // be a file name (CleanFileName, platform/FileNames.h: never hidden, no
    // control or reordering characters); without an entry the frame names
    // stand in for the values (a preview).
    QString BuildFileName(const TEintragdaten* entry, bool& allEmpty) const;
    void ParseFileName(const QString& path);

    const TFilenameConstruct& GetConstruct(int level) const { return m_levels.at(static_cast<size_t>(level)); }
    int GetConstructCount() const { return static_cast<int>(m_levels.size()); }
    const TFrameContent& GetFrameContent(int index) const { return m_results.at(static_cast<size_t>(index)); }
    int GetFrameContentCount() const { return static_cast<int>(m_results.size()); }

    // The text without the characters no name made here may hold:
    // " * / : < > ? \ |
    static QString RemoveInvalidFileNameChars(const QString& text);
    // The frame ID of a placeholder letter (any case), empty when unknown.
    static QString FrameIDOfLetter(QChar letter);

private:
    static TFilenameConstruct ParseLevel(const QString& level);
    QString FieldText(const TEintragdaten* entry, const QString& frameId, bool& filled) const;
    void MatchConstruct(const QString& part, const TFilenameConstruct& level);

    QString m_pattern;
    std::vector<TFilenameConstruct> m_levels;
    std::vector<TFrameContent> m_results;
};
