#pragma once

#include "RenameTestSupport.h"

#include "mainwindow/ShellTreeModel.h"
#include "support/ScopedEnv.h"

#include <QAction>
#include <QCoreApplication>
#include <QTest>

// A main window on folders of generated files, with the helpers the file
// operation, history, panel and drag tests share. The home trash lies in a
// folder of the test's own.
class TWindowFixture : protected TRenameFixture {
protected:
    ~TWindowFixture() { Window.reset(); }

    QTemporaryDir DataDir;
    TScopedEnv DataHome{"XDG_DATA_HOME", DataDir.path()};
    QString Trash() const { return DataDir.path() + QStringLiteral("/Trash"); }

    // A folder below the test's file folder, made when missing.
    QString Folder(const QString& relative) const
    {
        const QString path = Env.Folder() + QLatin1Char('/') + relative;
        QDir().mkpath(path);
        return path;
    }
    void MakeFile(const QString& path, const QString& title)
    {
        ASSERT_TRUE(WriteTaggedMp3(path, {{"TPE1", "Artist"}, {"TIT2", title}}));
    }

    // Lets queued work run (the tree's change, drops, refreshes).
    static void Settle(int rounds = 5)
    {
        for (int i = 0; i < rounds; ++i)
            QCoreApplication::processEvents();
    }

    void Open(const QString& folder)
    {
        TRenameFixture::Open(folder);
        Settle();
    }

    // Chooses a folder in the tree, as a click does.
    void Visit(const QString& folder)
    {
        Window->SetTreePath(folder);
        Settle();
    }

    TEintragdaten* Entry(const QString& path) const { return Window->FindEntryByPath(path); }
    QStringList ListedNames() const { return ::ListedNames(*Window); }

    void Trigger(const char* action)
    {
        Window->UpdateActions();
        TRenameFixture::Trigger(action);
        Settle();
    }

    // Shows the window, so that views have sizes and focus works.
    void Show()
    {
        Window->resize(900, 640);
        Window->show();
        QApplication::setActiveWindow(Window.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    }

    QModelIndex TreeIndex(const QString& folder) const { return Window->ShellTreeModel->index(folder); }
};
