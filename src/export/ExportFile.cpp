#include "export/ExportFile.h"

#include "export/ExportError.h"

#include "localisation/FileKindTexts.h"
#include "platform/SaveFile.h"
#include "platform/UnfinishedFiles.h"

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

[[noreturn]] void Fail(const QString& path, const TSaveFailure& failure)
{
    if (failure.Target != TFileKind::Regular && failure.Target != TFileKind::Unknown)
        throw TExportError(NotRegularFileText(path, failure.Target));
    Fail(path, failure.Reason);
}

// The folders where the save file of path goes: the path's own, and that of
// the file a link there leads to.
QStringList SaveFolders(const QString& path)
{
    const QFileInfo info(path);
    QStringList folders{info.absolutePath()};
    const QString target = info.canonicalFilePath();
    if (!target.isEmpty() && !folders.contains(QFileInfo(target).absolutePath()))
        folders << QFileInfo(target).absolutePath();
    return folders;
}

}

void WriteExportFile(const QString& path, const QByteArray& bytes)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        Fail(path, QStringLiteral("the folder \"%1\" can not be created").arg(folder));
    // What an export killed before has left there goes now.
    for (const QString& saveFolder : SaveFolders(path))
        RemoveUnfinishedFiles(saveFolder);
    QSaveFile file(path);
    if (const std::optional<TSaveFailure> failure = OpenSaveFile(file))
        Fail(path, *failure);
    const bool marked = MarkUnfinished(file.handle());
    const TExportFileWriter& writer = InstalledWriter();
    const bool written = writer ? writer(file, bytes) : WriteAll(file, bytes);
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
        Fail(path, reason.isEmpty() ? QStringLiteral("write error") : reason);
    }
    // The mark goes once all is on the disk, right before the file takes
    // its name: a writer killed before that leaves a marked file.
    const auto unmark = [&] { return !marked || UnmarkUnfinished(file.handle()); };
    if (const std::optional<TSaveFailure> failure = CommitSaveFile(file, unmark))
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
