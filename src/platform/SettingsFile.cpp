#include "platform/SettingsFile.h"

#include "platform/FileRename.h"
#include "platform/RegularFile.h"

#include <QStringDecoder>

#include <cerrno>

namespace {

constexpr int MaxAsideNames = 100;

// Far beyond what the program writes, whose lists are bounded; a larger
// file is no settings file of ours.
constexpr qint64 MaxSettingsBytes = 64 * 1024 * 1024;

// Whether the bytes may be settings text: UTF-8 without NUL bytes (random
// bytes or a binary file are no settings file, even where the settings
// reader would take some of its lines for values).
bool IsSettingsText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString decoded = utf8.decode(bytes); // decodes only as a QString
    return !bytes.contains('\0') && !utf8.hasError();
}

QString AsideName(const QString& file, int attempt)
{
    const QString name = file + QStringLiteral(".unreadable");
    return attempt == 1 ? name : name + QLatin1Char('-') + QString::number(attempt);
}

}

std::optional<TSettingsReadFailure> SettingsFileProblem(const QString& file)
{
    TSettingsReadFailure failure;
    failure.File = file;
    failure.Kind = FileKindOf(file, &failure.SystemError);
    if (failure.Kind == TFileKind::Missing)
        return std::nullopt;
    if (failure.Kind != TFileKind::Regular)
        return failure;
    const std::optional<QByteArray> bytes = ReadRegularFile(file, MaxSettingsBytes, &failure.SystemError);
    if (!bytes)
        return failure;
    failure.Malformed = !IsSettingsText(*bytes);
    return failure.Malformed ? std::optional(failure) : std::nullopt;
}

void PutSettingsFileAside(TSettingsReadFailure& failure)
{
    for (int attempt = 1; attempt <= MaxAsideNames; ++attempt) {
        const QString aside = AsideName(failure.File, attempt);
        if (RenameNoReplace(failure.File, aside)) {
            failure.KeptAs = aside;
            return;
        }
        failure.MoveError = errno;
        if (failure.MoveError != EEXIST)
            return;
    }
}
