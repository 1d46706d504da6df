// Playing the edited files with the desktop's program.
#include "mainwindow/FQuillon.h"

#include "controls/FileMimeData.h"
#include "controls/MyListView.h"
#include "controls/Guarded.h"
#include "mainwindow/TmpFileDeleter.h"

#include "localisation/MultiLanguage.h"
#include "platform/Help.h"
#include "platform/Opener.h"
#include "platform/Prompt.h"
#include "platform/SaveFile.h"

#include <QAction>
#include <QSaveFile>
#include <QUrl>

namespace {

constexpr char PlaylistName[] = "qlntmpplaylist.m3u";

QUrl UrlOfPath(const QByteArray& path)
{
    return QUrl::fromEncoded(FileMimeData::FileUri(path));
}

// One path a line, in the file system's own bytes; a path holding a line
// break goes as its file address, which players take in a playlist too.
bool WritePlaylist(const QString& path, const QList<QByteArray>& files)
{
    QSaveFile playlist(path);
    if (OpenSaveFile(playlist))
        return false;
    for (const QByteArray& file : files) {
        const bool breaksLine = file.contains('\n') || file.contains('\r');
        playlist.write((breaksLine ? FileMimeData::FileUri(file) : file) + '\n');
    }
    return !CommitSaveFile(playlist);
}

}

void TFQuillon::BindPlayHelpActions()
{
    BindAction(QStringLiteral("ActPlay"), [this] { ActPlayExecute(); },
               [this] { return ActID3FromFilenameUpdate(); });
    BindAction(QStringLiteral("ActHilfe"), [this] { ShowHelp(); });
    m_helpHandler = std::make_unique<TScopedHelpHandler>([this](const QString& page) { ShowHelp(page); });
    BindAction(QStringLiteral("EditSelectAll1"), [this] { EditSelectAllExecute(); },
               [this] { return EditSelectAllUpdate(); });
    // Enter or a double click on a row plays the selected files; a single
    // click only selects, also where the desktop opens items with one.
    connect(LVFiles, &TMyListView::RowOpened, this, [this] {
        if (m_loading)
            return;
        RunGuarded(this, [this] { ActPlayExecute(); });
    });
}

void TFQuillon::ActPlayExecute()
{
    QList<QByteArray> files;
    for (const auto& entry : m_entries)
        if (entry->Edited)
            files << EntryPath(*entry);
    if (files.isEmpty()) {
        CurrentPrompt()->Beep();
        return;
    }
    if (files.size() > 1) {
        // Written again for every play, in a folder only this program uses.
        const QString folder = m_tmpFileDeleter->PrivateFolder();
        const QString playlist = folder + QLatin1Char('/') + QLatin1String(PlaylistName);
        if (!folder.isEmpty() && WritePlaylist(playlist, files)) {
            m_tmpFileDeleter->Add(playlist);
            OpenWithDesktop(QUrl::fromLocalFile(playlist));
            return;
        }
        CurrentPrompt()->Error(this, Lang("ErrorCreateTmpPlayList"));
    }
    OpenWithDesktop(UrlOfPath(files.first()));
}
