#include "export/ExportFile.h"

#include "export/ExportError.h"

#include "platform/SaveFile.h"

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
    if (const std::optional<QString> failure = CommitSaveFile(file))
        Fail(path, *failure);
}

QByteArray TextFileBytes(const QString& text, bool withBom)
{
    if (text.isEmpty())
        return {};
    QByteArray bytes = withBom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    bytes.reserve(bytes.size() + text.size() + text.size() / 8);
    // Line by line, straight into UTF-8: the page may be large.
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        const bool end = i == size;
        if (!end && text.at(i) != QLatin1Char('\r') && text.at(i) != QLatin1Char('\n'))
            continue;
        if (end && start == size)
            break; // a final break ends the last line
        bytes += QStringView(text).mid(start, i - start).toUtf8();
        bytes += "\r\n";
        if (!end && text.at(i) == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    return bytes;
}

TExportFileWriter SetExportFileWriter(TExportFileWriter writer)
{
    TExportFileWriter previous = std::move(InstalledWriter());
    InstalledWriter() = std::move(writer);
    return previous;
}
