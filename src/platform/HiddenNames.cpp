#include "platform/HiddenNames.h"

#include "platform/FileNames.h"

#include <QRandomGenerator>

#include <array>
#include <cerrno>
#include <cstring>

#include <signal.h>
#include <unistd.h>

namespace {

constexpr int LetterCount = 8;
// Between the process id and the letters: the whole name, or a cut one.
constexpr char WholeMark = '-';
constexpr char CutMark = '~';

struct TSuffix {
    THiddenKind Kind;
    const char* Text;
};
constexpr std::array<TSuffix, 3> Suffixes{
    {{THiddenKind::Copy, ".part"}, {THiddenKind::SetAside, ".replaced"}, {THiddenKind::Moving, ".moving"}}};

const char* SuffixOf(THiddenKind kind)
{
    for (const TSuffix& suffix : Suffixes)
        if (suffix.Kind == kind)
            return suffix.Text;
    return "";
}

QByteArray RandomLetters()
{
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray letters(LetterCount, '0');
    for (char& c : letters)
        c = Letters[QRandomGenerator::global()->bounded(static_cast<int>(sizeof(Letters) - 1))];
    return letters;
}

bool IsLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// "<process id><mark><letters>": the process and whether the name was cut.
bool ParseTag(const QByteArray& tag, THiddenName& hidden)
{
    const qsizetype mark = tag.size() - LetterCount - 1;
    if (mark < 1 || (tag[mark] != WholeMark && tag[mark] != CutMark))
        return false;
    for (qsizetype i = mark + 1; i < tag.size(); ++i)
        if (!IsLetterOrDigit(tag[i]))
            return false;
    const QByteArray digits = tag.left(mark);
    bool ok = false;
    const long process = digits.toLong(&ok);
    if (!ok || process <= 0 || digits.startsWith('0') || digits.startsWith('+'))
        return false;
    hidden.Process = static_cast<pid_t>(process);
    hidden.Cut = tag[mark] == CutMark;
    return true;
}

}

QByteArray HiddenName(const QByteArray& name, THiddenKind kind)
{
    const QByteArray suffix = SuffixOf(kind);
    const QByteArray process = QByteArray::number(static_cast<qint64>(::getpid()));
    const qsizetype room = NameMax - 2 - process.size() - 1 - LetterCount - suffix.size();
    const QByteArray kept = CutAtCharacter(name, room);
    const char mark = kept.size() < name.size() ? CutMark : WholeMark;
    return "." + kept + "." + process + mark + RandomLetters() + suffix;
}

bool MayBeHiddenName(const char* name, size_t length)
{
    if (length == 0 || name[0] != '.')
        return false;
    for (const TSuffix& suffix : Suffixes) {
        const size_t size = std::strlen(suffix.Text);
        if (length > size && std::memcmp(name + length - size, suffix.Text, size) == 0)
            return true;
    }
    return false;
}

std::optional<THiddenName> ParseHiddenName(const QByteArray& hidden)
{
    if (!hidden.startsWith('.'))
        return std::nullopt;
    for (const TSuffix& suffix : Suffixes) {
        if (!hidden.endsWith(suffix.Text))
            continue;
        const QByteArray body = hidden.mid(1, hidden.size() - 1 - static_cast<qsizetype>(std::strlen(suffix.Text)));
        const qsizetype dot = body.lastIndexOf('.');
        THiddenName parsed;
        parsed.Kind = suffix.Kind;
        parsed.Name = body.left(dot);
        if (dot <= 0 || !ParseTag(body.mid(dot + 1), parsed) || parsed.Name == "." || parsed.Name == "..")
            return std::nullopt;
        return parsed;
    }
    return std::nullopt;
}

bool MadeByAnEndedRun(const THiddenName& hidden)
{
    return !MadeByThisProcess(hidden) && ::kill(hidden.Process, 0) != 0 && errno == ESRCH;
}

bool MadeByThisProcess(const THiddenName& hidden)
{
    return hidden.Process == ::getpid();
}
