#include "localisation/LanguageRes.h"

#include "localisation/LanguageLoader.h"
#include "platform/ProgramVersion.h"

#include <QCollator>
#include <QDir>

#include <algorithm>

namespace {

int NumberOrMinusOne(const QString& text)
{
    bool ok = false;
    const int value = TrimBlanks(text).toInt(&ok, 10);
    return ok ? value : -1;
}

void AddBuiltInLanguages(TLanguageResList& rows)
{
    for (const QString& name : BuiltInLanguageNames())
        if (const std::optional<QByteArray> bytes = ReadBuiltInLanguage(name))
            rows.emplace_back(TLanguageLines::FromBytes(*bytes), name, QString());
}

void AddLanguageFiles(TLanguageResList& rows, const QString& folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*.qlnlang")},
                                            QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive,
                                            QDir::Name);
    for (const QString& name : names) {
        const QString path = dir.absoluteFilePath(name);
        const std::optional<QByteArray> bytes = ReadLanguageFile(path);
        if (!bytes)
            continue;
        const TLanguageLines lines = TLanguageLines::FromBytes(*bytes);
        if (IsLanguageFile(lines))
            rows.emplace_back(lines, QString(), path);
    }
}

}

TLanguageRes::TLanguageRes(const TLanguageLines& lines, const QString& resName, const QString& fileName)
    : Strings(lines),
      ResName(resName),
      FileName(fileName),
      Language(lines.Value(QStringLiteral("Language"))),
      LanguageInt(lines.Value(QStringLiteral("LanguageInt"))),
      Author(lines.Value(QStringLiteral("Author"))),
      QLNVersion(lines.Value(QStringLiteral("QLNVersion"))),
      PrimaryLanguageID(NumberOrMinusOne(lines.Value(QStringLiteral("PrimaryLanguageID")))),
      SubLanguageID(NumberOrMinusOne(lines.Value(QStringLiteral("SubLanguageID"))))
{
}

bool TLanguageRes::IsCurrentVersion() const
{
    return TrimBlanks(QLNVersion) == QLatin1String(ProgramVersion);
}

TLanguageResList FindLanguages()
{
    TLanguageResList rows;
    AddBuiltInLanguages(rows);
    for (const QString& folder : LanguageFolders())
        AddLanguageFiles(rows, folder);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(rows.begin(), rows.end(), [&collator](const TLanguageRes& a, const TLanguageRes& b) {
        return collator.compare(a.Language, b.Language) < 0;
    });
    return rows;
}

int BestLanguageRow(const TLanguageResList& rows, const QString& name, bool byFile, TWindowsLanguage user)
{
    int best = -1;
    int level = 0;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const TLanguageRes& row = rows[static_cast<size_t>(i)];
        if (level == 0 && row.IsBuiltIn() && row.ResName.compare(QLatin1String("GERMAN"), Qt::CaseInsensitive) == 0)
            best = i;
        if (level == 0 && row.PrimaryLanguageID == user.primary) {
            best = i;
            level = 1;
        }
        if (level < 2 && row.PrimaryLanguageID == user.primary && row.SubLanguageID == user.sub) {
            best = i;
            level = 2;
        }
        if (!byFile && row.IsBuiltIn() && row.ResName.compare(name, Qt::CaseInsensitive) == 0)
            return i;
        if (byFile && !row.FileName.isEmpty() && row.FileName == name)
            return i;
    }
    return best;
}
