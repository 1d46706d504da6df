// The help: short HTML pages built in for each language, opened with the
// desktop's browser.
#include "mainwindow/FQuillon.h"

#include "mainwindow/TmpFileDeleter.h"

#include "localisation/LocaleLanguage.h"
#include "localisation/MultiLanguage.h"
#include "platform/Opener.h"
#include "platform/Prompt.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPointer>
#include <QUrl>

namespace {

constexpr char StartPage[] = "index.htm";

// The pages of the language in use: German for German, else English.
QString HelpLanguage()
{
    const QLocale locale =
        LocaleOfWindowsLanguage(Lang("PrimaryLanguageID").toInt(), Lang("SubLanguageID").toInt());
    return locale.language() == QLocale::German ? QStringLiteral("de") : QStringLiteral("en");
}

// Writes every page of the language and the style sheet all languages share
// into folder (once); false when one cannot be written.
bool WriteHelpPages(const QString& resources, const QString& folder, TTmpFileDeleter& deleter)
{
    if (!QDir().mkpath(folder))
        return false;
    QStringList files{QStringLiteral(":/Help/help.css")};
    QDirIterator pages(resources, QDir::Files);
    while (pages.hasNext())
        files << pages.next();
    for (const QString& file : std::as_const(files)) {
        const QString target = folder + QLatin1Char('/') + QFileInfo(file).fileName();
        deleter.Add(target);
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(file, target))
            return false;
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

}

void TFQuillon::ShowHelp(const QString& page)
{
    const QString language = HelpLanguage();
    const QString resources = QStringLiteral(":/Help/") + language;
    // Only a page of the help itself, never a path.
    QString name = page.mid(page.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty() || !QFile::exists(resources + QLatin1Char('/') + name))
        name = QString::fromLatin1(StartPage);
    const QString folder = m_tmpFileDeleter->PrivateFolder();
    const QString pages = folder + QStringLiteral("/help-") + language;
    if (folder.isEmpty() || !WriteHelpPages(resources, pages, *m_tmpFileDeleter)) {
        CurrentPrompt()->Error(this, Lang("ErrorNoHelp"));
        return;
    }
    const QString file = pages + QLatin1Char('/') + name;
    // The browser may fail after the window has gone.
    OpenWithDesktop(QUrl::fromLocalFile(file), [window = QPointer<QWidget>(this), file] {
        CurrentPrompt()->Error(window,
                               Lang("ErrorNoHelp") + QLatin1Char('\n') + LangFmt("ErrorOpenWithDesktop", {file}));
    });
}
