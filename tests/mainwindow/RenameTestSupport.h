#pragma once

#include "support/gui/MainWindowTestSupport.h"

#include "dialogs/DialogTestSupport.h"

#include "controls/MyListView.h"
#include "mainwindow/FQuillon.h"
#include "tagengine/FrameCodecs.h"

#include <QDir>
#include <QFile>
#include <QItemSelection>
#include <QItemSelectionModel>

#include <memory>

// Selects exactly the rows of these file names, as the user would.
inline void SelectByName(TFQuillon& window, const QStringList& names)
{
    QItemSelection selection;
    auto* model = window.LVFiles->model();
    const auto& entries = window.Entries();
    for (size_t row = 0; row < entries.size(); ++row)
        if (names.contains(entries[row]->FileName))
            selection.select(model->index(static_cast<int>(row), 0),
                             model->index(static_cast<int>(row), model->columnCount() - 1));
    window.LVFiles->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// The names of the listed files, in the list's order.
inline QStringList ListedNames(TFQuillon& window)
{
    QStringList names;
    for (const auto& entry : window.Entries())
        names << entry->FileName;
    return names;
}

// Gives the entry's title a new text, as an edit not yet saved.
inline void SetTitle(TEintragdaten& entry, const QString& title)
{
    TID3Frame frame(QStringLiteral("TIT2"));
    SetFrameAsText(frame, title);
    entry.SetFrame(QStringLiteral("TIT2"), &frame, 0);
}

// A main window on a folder of generated files, with the helpers the rename
// and undo tests share.
class TRenameFixture {
protected:
    TMainWindowEnvironment Env;
    TAnsweringPrompt Prompt;
    std::unique_ptr<TFQuillon> Window;

    QString Dir() const { return Env.Folder() + QLatin1Char('/'); }

    // A window whose first load shows the folder (the file folder when none).
    void Open(const QString& folder = QString())
    {
        Window = std::make_unique<TFQuillon>(QStringList());
        Window->SetTreePath(folder.isEmpty() ? Env.Folder() : folder);
        Window->FormShow();
    }

    TEintragdaten* Entry(const QString& name) const { return Window->FindEntryByPath(Dir() + name); }

    // Selects exactly the rows of these file names, as the user would.
    void Select(const QStringList& names) { SelectByName(*Window, names); }

    static QStringList FilesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    QStringList FilesOnDisk() const { return FilesIn(Env.Folder()); }

    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void Trigger(const char* action) { Window->Action(QString::fromLatin1(action))->trigger(); }
};
