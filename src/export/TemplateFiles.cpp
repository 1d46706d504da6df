#include "export/TemplateFiles.h"

#include "export/ExportError.h"
#include "localisation/Cp1252.h"
#include "platform/FileLayer.h"
#include "platform/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Far beyond any page template; a larger file is no template.
constexpr qint64 MaxTemplateBytes = 64 * 1024 * 1024;

std::optional<QStringList>& FoldersOverride()
{
    static std::optional<QStringList> folders;
    return folders;
}

bool IsTemplateName(const QString& name)
{
    const QString lower = name.toLower();
    return lower.endsWith(QLatin1String(".htm")) || lower.endsWith(QLatin1String(".html"));
}

}

QStringList TemplateFolders()
{
    if (FoldersOverride())
        return *FoldersOverride();
    QStringList folders;
    for (const QString& folder : {QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                                  QCoreApplication::applicationDirPath()}) {
        const QString clean = QDir::cleanPath(folder);
        if (!folder.isEmpty() && !folders.contains(clean))
            folders << clean;
    }
    return folders;
}

void SetTemplateFolders(const std::optional<QStringList>& folders)
{
    FoldersOverride() = folders;
}

QString UserTemplateFolder()
{
    return TemplateFolders().value(0);
}

QStringList ListTemplateFiles()
{
    QStringList names;
    for (const QString& folder : TemplateFolders()) {
        const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QFileInfo& file : files)
            if (IsTemplateName(file.fileName()) && !names.contains(file.fileName()))
                names << file.fileName();
    }
    return names;
}

QString FindTemplateFile(const QString& name)
{
    if (name.isEmpty())
        return {};
    if (name.contains(QLatin1Char('/')))
        return QFileInfo(name).isFile() ? name : QString();
    for (const QString& folder : TemplateFolders()) {
        const QString path = folder + QLatin1Char('/') + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

QString ReadTemplateFile(const QString& path)
{
    // Read without waiting: a pipe put in the template's place must not hold
    // the export.
    int error = 0;
    const std::optional<QByteArray> bytes = ReadRegularFile(path, MaxTemplateBytes, &error);
    if (!bytes) {
        const QString reason = error == ENODEV ? QStringLiteral("it is not a regular file")
                               : error == EFBIG ? QStringLiteral("it is larger than a template can be")
                                                : SystemErrorText(error);
        throw TExportError(QStringLiteral("Can not read \"%1\": %2").arg(path, reason));
    }
    return DecodeUtf8OrCp1252(*bytes);
}
