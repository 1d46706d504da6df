#pragma once

#include "RenameTestSupport.h"

#include "mainwindow/ShellTreeModel.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// XDG_DATA_HOME (and so the home trash) in a folder of the test's own.
class TScopedDataHome {
public:
    TScopedDataHome() : m_old(qgetenv("XDG_DATA_HOME")), m_had(qEnvironmentVariableIsSet("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
    }
    ~TScopedDataHome()
    {
        if (m_had)
            qputenv("XDG_DATA_HOME", m_old);
        else
            qunsetenv("XDG_DATA_HOME");
    }
    QString Trash() const { return m_dir.path() + QStringLiteral("/Trash"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_had;
};

// A main window on folders of generated files, with the helpers the file
// operation, history, panel and drag tests share.
class TWindowFixture : protected TRenameFixture {
protected:
    ~TWindowFixture() { Window.reset(); }

    TScopedDataHome DataHome;

    // A folder below the test's file folder, made when missing.
    QString Folder(const QString& relative) const
    {
        const QString path = Env.Folder() + QLatin1Char('/') + relative;
        QDir().mkpath(path);
        return path;
    }
    void MakeFile(const QString& path, const QString& title)
    {
        QDir().mkpath(QFileInfo(path).path());
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
        Window = std::make_unique<TFQuillon>(QStringList());
        Window->SetTreePath(folder);
        Window->FormShow();
        Settle();
    }

    // Chooses a folder in the tree, as a click does.
    void Visit(const QString& folder)
    {
        Window->SetTreePath(folder);
        Settle();
    }

    TEintragdaten* Entry(const QString& path) const { return Window->FindEntryByPath(path); }

    QStringList ListedNames() const
    {
        QStringList names;
        for (const auto& entry : Window->Entries())
            names << entry->FileName;
        return names;
    }

    static QStringList FilesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    void Trigger(const char* action)
    {
        Window->UpdateActions();
        Window->Action(QString::fromLatin1(action))->trigger();
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
