#include "localisation/LanguageLoader.h"

#include "localisation/LanguageSignature.h"
#include "platform/RegularFile.h"
#include "tagengine/EngineText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

const QString BuiltInFolder = QStringLiteral(":/Languages");

std::optional<QStringList>& LanguageFoldersOverride()
{
    static std::optional<QStringList> folders;
    return folders;
}

// A built-in language: at most MaxLanguageFileSize bytes.
std::optional<QByteArray> ReadBounded(QFile& file)
{
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(MaxLanguageFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxLanguageFileSize)
        return std::nullopt;
    return bytes;
}

TLanguageLines ChosenLanguageLines(const QString& resourceName, const QString& fileName)
{
    if (!resourceName.isEmpty())
        if (const std::optional<QByteArray> bytes = ReadBuiltInLanguage(resourceName))
            return TLanguageLines::FromBytes(*bytes);
    if (fileName.isEmpty())
        return TLanguageLines();
    const std::optional<QByteArray> bytes = ReadLanguageFile(fileName);
    if (!bytes)
        return TLanguageLines();
    TLanguageLines lines = TLanguageLines::FromBytes(*bytes);
    return IsLanguageFile(lines) ? lines : TLanguageLines();
}

}

QStringList BuiltInLanguageNames()
{
    return QDir(BuiltInFolder).entryList(QDir::Files, QDir::Name);
}

std::optional<QByteArray> ReadBuiltInLanguage(const QString& name)
{
    for (const QString& entry : BuiltInLanguageNames()) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        QFile file(BuiltInFolder + QLatin1Char('/') + entry);
        std::optional<QByteArray> bytes = ReadBounded(file);
        if (!bytes || bytes->isEmpty())
            return std::nullopt;
        return bytes;
    }
    return std::nullopt;
}

std::optional<QByteArray> ReadLanguageFile(const QString& path)
{
    return ReadRegularFile(path, MaxLanguageFileSize);
}

bool IsLanguageFile(const TLanguageLines& lines)
{
    return !lines.Value(QStringLiteral("QLNVersion")).isEmpty() && !lines.Value(QStringLiteral("Language")).isEmpty();
}

QStringList LanguageFolders()
{
    if (LanguageFoldersOverride())
        return *LanguageFoldersOverride();
    QStringList folders;
    for (const QString& folder : {QCoreApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)}) {
        const QString clean = QDir::cleanPath(folder);
        if (!folder.isEmpty() && !folders.contains(clean))
            folders << clean;
    }
    return folders;
}

void SetLanguageFolders(const std::optional<QStringList>& folders)
{
    LanguageFoldersOverride() = folders;
}

void LoadBaseLanguage()
{
    const std::optional<QByteArray> bytes = ReadBuiltInLanguage(QStringLiteral("German"));
    if (!bytes)
        throw TLanguageLoadError();
    const TLanguageLines lines = TLanguageLines::FromBytes(*bytes);
    LangStrings.SetCustomLangStrings(lines);
    LangStrings.SetCurrentLangStrings(lines);
}

TMultiLanguage& LoadLanguage(const QString& resourceName, const QString& fileName)
{
    LangStrings.SetCurrentLangStrings(ChosenLanguageLines(resourceName, fileName));
    return LangStrings;
}

bool CheckActiveLanguageSignature(QString& digest)
{
    const TLanguageLines& lines =
        LangStrings.IsLanguageLoaded() ? LangStrings.CurrentLangStrings() : LangStrings.CustomLangStrings();
    return CheckLanguageSignature(lines, digest);
}

void InstallEngineTextLookup()
{
    SetEngineTextLookup([](const QString& key) { return LangStrings.GetLangString(key); });
}
