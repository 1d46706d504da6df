#include "platform/SettingsFile.h"

#include "platform/FileRename.h"
#include "platform/NativePath.h"

#include <QStringDecoder>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int MaxAsideNames = 100;

// Reads the open file through: whether it may be settings text (UTF-8
// without NUL bytes; random bytes or a binary file are no settings file,
// even where the settings reader would take some of its lines for values),
// or the system's error number when it could not be read.
struct TContent {
    bool Text = true;
    int Error = 0;
};

TContent ReadContent(int fd)
{
    QStringDecoder utf8(QStringConverter::Utf8);
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {true, errno};
        if (got == 0)
            return {};
        const QByteArrayView bytes(buffer, got);
        const QString decoded = utf8.decode(bytes); // decodes only as a QString
        if (bytes.contains('\0') || utf8.hasError())
            return {false, 0};
    }
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
    const int fd = ::open(NativeFromPath(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failure.SystemError = errno;
        return failure;
    }
    const TContent content = ReadContent(fd);
    ::close(fd);
    failure.Malformed = !content.Text;
    failure.SystemError = content.Error;
    if (failure.Malformed || failure.SystemError != 0)
        return failure;
    return std::nullopt;
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
