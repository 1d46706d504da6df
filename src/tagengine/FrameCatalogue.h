#pragma once

#include <QString>

#include <array>

// Tag versions a frame ID exists in (a set of flags).
enum TID3Versions : quint8 { ivID3v1 = 1, ivID3v2_3 = 2, ivID3v2_4 = 4 };

struct TID3FrameName {
    const char* ID;
    bool Multiple;
    quint8 Versions;       // TID3Versions flags
    const char* NameKey;   // "FName" + ID
    const char* DescKey;   // "FDesc" + ID
    const char* EnglishName;
    const char* EnglishDesc;
};

struct TID3Language {
    const char* Code; // ISO 639-2, lower case
    const char* Name; // English, UTF-8
};

constexpr int FrameNameCount = 81;
constexpr int GenreCount = 148;
constexpr int LanguageCount = 427;

extern const std::array<TID3FrameName, FrameNameCount> ID3FrameNames;
extern const std::array<const char*, GenreCount> ID3Genres;
extern const std::array<TID3Language, LanguageCount> ID3Languages;

const TID3FrameName* FindFrameName(const QString& id);
QString GetFrameName(const QString& id);
QString GetFrameDescription(const QString& id);
bool IsMultipleFrame(const QString& id);
bool IsFrameInVersion(const QString& id, TID3Versions version);
QString GetGenreName(int index);
// Index of a genre name (case-insensitive), -1 when none.
int FindGenreIndex(const QString& name);
QString GetLanguageName(const QString& code);
