#include "export/ExportFile.h"

#include "export/ExportError.h"
#include "tagengine/FrameCodecs.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

TExportFileWriter& InstalledWriter()
{
    static TExportFileWriter writer;
    return writer;
}

bool WriteAll(QSaveFile& file, const QByteArray& bytes)
{
    return file.write(bytes) == bytes.size();
}

[[noreturn]] void Fail(const QString& path, const QString& reason)
{
    throw TExportError(QStringLiteral("Can not write \"%1\": %2").arg(path, reason));
}

}

void WriteExportFile(const QString& path, const QByteArray& bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        Fail(path, QStringLiteral("the folder \"%1\" can not be created").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        Fail(path, file.errorString());
    const TExportFileWriter& writer = InstalledWriter();
    const bool written = writer ? writer(file, bytes) : WriteAll(file, bytes);
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Fail(path, reason.isEmpty() ? QStringLiteral("write error") : reason);
    }
    if (!file.commit())
        Fail(path, file.errorString());
}

QByteArray TextFileBytes(const QString& text, bool withBom)
{
    if (text.isEmpty())
        return {};
    QString normalised;
    normalised.reserve(text.size() + text.size() / 16);
    for (const QString& line : SplitTextLines(text)) {
        normalised += line;
        normalised += QLatin1String("\r\n");
    }
    QByteArray bytes = withBom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes += normalised.toUtf8();
    return bytes;
}

TExportFileWriter SetExportFileWriter(TExportFileWriter writer)
{
    TExportFileWriter previous = std::move(InstalledWriter());
    InstalledWriter() = std::move(writer);
    return previous;
}
