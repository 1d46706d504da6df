#include "platform/CopyNames.h"

#include "platform/FileLayer.h"
#include "platform/FileNames.h"

#include <limits>
#include <utility>

#include <fcntl.h>

namespace {

// " (9223372036854775807)": the longest copy number.
constexpr qsizetype LongestCopyNumber = 22;

// "Song (2)" gives "Song" and 2; names without such a number give 1.
std::pair<QByteArray, qint64> SplitCopyNumber(const QByteArray& stem)
{
    if (!stem.endsWith(')'))
        return {stem, 1};
    const qsizetype open = stem.lastIndexOf(" (");
    if (open <= 0)
        return {stem, 1};
    const QByteArray digits = stem.mid(open + 2, stem.size() - open - 3);
    bool ok = false;
    const qint64 number = digits.toLongLong(&ok);
    if (!ok || number < 2 || number == std::numeric_limits<qint64>::max() || digits.startsWith('0')
        || digits.startsWith('+'))
        return {stem, 1};
    return {stem.left(open), number};
}

}

QByteArray FreeCopyName(TFileLayer& layer, int dirFd, const QByteArray& name, bool isFolder)
{
    auto [stem, extension] = isFolder ? std::pair<QByteArray, QByteArray>(name, {}) : SplitExtension(name);
    if (extension.size() + LongestCopyNumber >= NameMax) {
        stem = name;
        extension.clear();
    }
    const auto [base, number] = SplitCopyNumber(stem);
    for (qint64 n = number; n < std::numeric_limits<qint64>::max();) {
        ++n;
        const QByteArray suffix = " (" + QByteArray::number(n) + ")";
        const QByteArray candidate =
            CutAtCharacter(base, NameMax - suffix.size() - extension.size()) + suffix + extension;
        struct stat st {};
        if (layer.FStatAt(dirFd, candidate, st, AT_SYMLINK_NOFOLLOW) != 0)
            return candidate;
    }
    return {};
}
