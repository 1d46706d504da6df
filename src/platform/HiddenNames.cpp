#include "platform/HiddenNames.h"

#include "platform/FileNames.h"

#include <QRandomGenerator>

namespace {

constexpr qsizetype LetterCount = 8;

const char* SuffixOf(THiddenKind kind)
{
    switch (kind) {
    case THiddenKind::Copy:
        return ".part";
    case THiddenKind::SetAside:
        return ".replaced";
    case THiddenKind::Moving:
        return ".moving";
    case THiddenKind::Removing:
        return ".removing";
    case THiddenKind::Renaming:
        return ".renaming";
    case THiddenKind::Probe:
        break;
    }
    return ".probe";
}

QByteArray RandomLetters()
{
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray letters(LetterCount, '0');
    for (char& c : letters)
        c = Letters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof(Letters) - 1))];
    return letters;
}

}

QByteArray HiddenName(const QByteArray& name, THiddenKind kind)
{
    const QByteArray suffix = SuffixOf(kind);
    // "." + name + "." + letters + suffix
    const qsizetype room = NameMax - 2 - LetterCount - suffix.size();
    return "." + CutAtCharacter(name, room) + "." + RandomLetters() + suffix;
}
