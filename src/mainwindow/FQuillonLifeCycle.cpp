// Creation, first show, close and destruction of the main window.
#include "mainwindow/FQuillon.h"

#include "controls/MenuBar.h"
#include "controls/MyListView.h"
#include "controls/ThemeHandles.h"
#include "mainwindow/FileListModel.h"
#include "mainwindow/FileOpRunner.h"
#include "mainwindow/TmpFileDeleter.h"
#include "mainwindow/FormMenu.h"
#include "controls/Guarded.h"
#include "mainwindow/LateFailureReports.h"
#include "common/ColumnCatalogue.h"
#include "platform/ProgramVersion.h"
#include "common/ToolbarButtons.h"

#include "localisation/LanguageLoader.h"
#include "localisation/MultiLanguage.h"
#include "localisation/QtTranslations.h"
#include "localisation/ui/ComponentTranslation.h"
#include "localisation/ui/FormLanguageSelector.h"
#include "localisation/ui/FormLanguageWarning.h"
#include "platform/Help.h"
#include "platform/NativePath.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

TFQuillon::TFQuillon(const QStringList& arguments, QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Quillon ") + QString::fromLatin1(ProgramVersion));
    m_lateFailureReports = std::make_unique<TLateFailureReports>();
    m_tmpFileDeleter = std::make_unique<TTmpFileDeleter>();
    m_fileOpRunner = std::make_unique<TFileOpRunner>(this);
    OpenThemeHandles(this);
    BuildWindow();
    CreateActions();
    CreatePopupMenus();
    LVFiles->SetFindHandler(
        [this](const QString& text, int start, bool wrap) { return FindRowByPrefix(text, start, wrap); });
    connect(LVFiles, &TMyListView::ColumnClicked, this,
            [this](int column) { RunGuarded(this, [&] { LVFilesColumnClick(column); }); });
    connect(LVFiles, &TMyListView::ColumnRightClicked, this,
            [this](int, const QPoint& pos) { RunGuarded(this, [&] { LVFilesColumnRightClick(pos); }); });
    connect(LVFiles, &TMyListView::ColumnDragged, this,
            [this] { RunGuarded(this, [&] { LVFilesColumnDragged(); }); });
    connect(LVFiles, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopFiles->popup(LVFiles->viewport()->mapToGlobal(pos)); });
    connect(LVFiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                RunGuarded(this, [&] { LVFilesSelectionChanged(selected, deselected); });
            });
    connect(ButSucheAbbrechen, &QToolButton::clicked, this, [this] { ButSucheAbbrechenClick(); });

    LoadSettings();
    ApplySettings();
    if (m_fileNamePresets.Count() == 0)
        m_fileNamePresets.SetDefaults();
    if (m_toolItems.empty())
        SetToolbarCodes(DefaultToolbar());
    if (m_listModel->Columns().isEmpty())
        SetColumns(DefaultColumns(), TWordArray());
    if (m_pageInputs.empty())
        ApplyInputPages(DefaultInputPages());
    UpdateStatusAndFileInfo();
    TakeCommandLine(arguments);
    // Without a usable start folder the tree shows the user's home folder.
    SetTreePath(!m_startFolder.isEmpty() && IsFolderPath(m_startFolder) ? m_startFolder : QDir::homePath());

    // The page titles are read before the language changes, so that titles
    // of built-in pages follow it.
    const TEingabeSeiten pages = InputPages();
    LoadChosenLanguage();
    TranslateWindow();
    ApplyInputPages(pages);
    FitWindowToScreen();

    m_formMenu = std::make_unique<TFormMenu>(*this);
    BindOwnActions();
    UpdateActions();
}

TFQuillon::~TFQuillon()
{
    // No handler may run on a half-destroyed window.
    qApp->disconnect(this);
    qApp->removeEventFilter(m_keyPreview);
    m_helpHandler.reset();
    for (QObject* watched : {static_cast<QObject*>(LVFiles->viewport()),
                             static_cast<QObject*>(ShellTreeView1->viewport())})
        watched->removeEventFilter(this);
    QApplication::clipboard()->disconnect(this);
    ShellTreeView1->selectionModel()->disconnect(this);
    LVFiles->selectionModel()->disconnect(this);
    RunGuarded(this, [this] { SaveSettings(); });
    ClearFileList();
    // The view must not ask the model for rows while the window's members go.
    LVFiles->setModel(nullptr);
    delete m_listModel;
    m_listModel = nullptr;
    CloseThemeHandles();
}

void TFQuillon::TakeCommandLine(const QStringList& arguments)
{
    const QDir current = QDir::current();
    QString folder;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        // A relative path names a file of the folder the program was started in.
        const QString path = QDir::cleanPath(current.absoluteFilePath(argument));
        const bool isFolder = IsFolderPath(path);
        // The first path decides the folder: a folder is opened itself, a
        // file in its own folder.
        if (folder.isEmpty())
            folder = isFolder ? (path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/'))
                              : path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
        // The files in that folder are selected; folders and files elsewhere
        // select nothing.
        if (!isFolder && path.startsWith(folder))
            m_pathsToSelect.insert(path);
    }
    if (!folder.isEmpty())
        m_startFolder = folder;
}

void TFQuillon::LoadChosenLanguage()
{
    LoadLanguage(m_settings.Language, m_settings.LanguageFile);
    if (!LangStrings.IsLanguageLoaded()) {
        TFormLanguageSelector selector(this);
        if (selector.Execute()) {
            m_settings.Language = selector.GetLanguageResName();
            m_settings.LanguageFile = selector.GetLanguageFileName();
            LoadLanguage(m_settings.Language, m_settings.LanguageFile);
        }
    }
    InstallQtTranslationsForLoadedLanguage();
}

void TFQuillon::TranslateWindow()
{
    TranslateActions();
    TranslateComponentTree(this);
    TStringArray codes;
    TWordArray widths;
    GetColumns(codes, widths);
    SetColumns(codes, widths);
    UpdateStatusAndFileInfo();
}

void TFQuillon::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    QTimer::singleShot(0, this, [this] { RunGuarded(this, [this] { FormShow(); }); });
}

void TFQuillon::FormShow()
{
    if (m_treeConnected)
        return;
    MenuBar1->SetMenu(m_formMenu->MainMenu());
    FitWindowToScreen();
    // The tree has its size now: its folder comes into view.
    ShellTreeView1->scrollTo(ShellTreeView1->currentIndex());
    repaint();
    QCoreApplication::processEvents();
    // Queued: the tree reports the new current folder from inside its mouse
    // handling, before it has selected and drawn it; a load run there would
    // leave the old folder highlighted for the whole load.
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { RunGuarded(this, [this] { ShellTreeView1Change(); }); }, Qt::QueuedConnection);
    m_treeConnected = true;
    ShellTreeView1Change();
    QString digest;
    if (!CheckActiveLanguageSignature(digest))
        ShowLanguageWarning(digest, this);
    TellLeftOutSettings();
}

void TFQuillon::closeEvent(QCloseEvent* event)
{
    if (m_loading || m_fileOpRunning) {
        // The load or file operation closes the window again when it has
        // finished; a load stops early.
        m_closeRequested = true;
        if (m_loading)
            m_abortRequested = true;
        event->ignore();
        return;
    }
    RunGuarded(this, [this] { CommitEdits(); });
    event->accept();
}

void TFQuillon::ActBeendenExecute()
{
    close();
}
