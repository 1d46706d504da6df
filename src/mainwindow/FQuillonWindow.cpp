// The main window's widgets and the placement of its panels.
#include "mainwindow/FQuillon.h"

#include "controls/IconTheme.h"
#include "controls/MenuBar.h"
#include "controls/MyListView.h"
#include "mainwindow/FileListModel.h"
#include "mainwindow/FolderTreeModel.h"
#include "controls/ImageLists.h"
#include "mainwindow/ShellTreeModel.h"
#include "mainwindow/StatusPanel.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QLabel* NewLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

QToolButton* NewTitleButton(QWidget* parent, const char* name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

}

void TFQuillon::BuildWindow()
{
    setObjectName(QStringLiteral("FQuillon"));
    setWindowIcon(ImageLists::ProgramIcon());
    // Command pictures come from the desktop's icon theme where it has them.
    UseDesktopIconTheme();
    resize(900, 640);

    MenuBar1 = new TMenuBar(this);
    addToolBar(Qt::TopToolBarArea, MenuBar1);
    addToolBarBreak(Qt::TopToolBarArea);
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setMovable(false);
    ToolBar1->setContextMenuPolicy(Qt::CustomContextMenu);
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(BuildFolderBar());
    Splitter1->addWidget(BuildClientArea());
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({m_folderBarWidth, 700});
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] {
        if (FolderBarVisible())
            m_folderBarWidth = std::clamp(PanLeft->width(), 20, 500);
    });
    setCentralWidget(Splitter1);

    BuildStatusBar();
}

QWidget* TFQuillon::BuildFolderBar()
{
    auto* frame = new QFrame(this);
    PanLeft = frame;
    PanLeft->setObjectName(QStringLiteral("PanLeft"));
    PanLeft->setMinimumWidth(20);
    PanLeft->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(PanLeft);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    // The caption with the buttons that dock a floating bar and close a
    // docked one.
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(NewLabel(PanLeft, "labFolders", QStringLiteral("%Folders")), 1);
    for (const char* name : {"butFolderBarPin", "butFolderBarCross"}) {
        auto* button = new QToolButton(PanLeft);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIconSize(QSize(12, 12));
        header->addWidget(button);
    }
    layout->addLayout(header);

    m_folderTreeModel = new TFolderTreeModel(this);
    ShellTreeModel = m_folderTreeModel;
    ShellTreeModel->setObjectName(QStringLiteral("ShellTreeModel"));

    ShellTreeView1 = new QTreeView(PanLeft);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setModel(ShellTreeModel);
    ShellTreeView1->setHeaderHidden(true);
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ShellTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(ShellTreeView1);
    return PanLeft;
}

QWidget* TFQuillon::BuildTitleBar()
{
    PanMP3Titel = new QWidget(this);
    PanMP3Titel->setObjectName(QStringLiteral("PanMP3Titel"));
    auto* layout = new QHBoxLayout(PanMP3Titel);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    butShowFolders = NewTitleButton(PanMP3Titel, "butShowFolders");
    butShowSearch = NewTitleButton(PanMP3Titel, "butShowSearch");
    butShowID3 = NewTitleButton(PanMP3Titel, "butShowID3");
    Label1 = NewLabel(PanMP3Titel, "Label1", QStringLiteral("%MP3FilesFrom"));
    labDir = NewLabel(PanMP3Titel, "labDir", QString());
    labMitUnterordnern = NewLabel(PanMP3Titel, "labMitUnterordnern", QStringLiteral("%FilesInSubfolders"));
    labAbgebrochen = NewLabel(PanMP3Titel, "labAbgebrochen", QStringLiteral("%SearchCanceled"));
    QFont bold = labDir->font();
    bold.setBold(true);
    labDir->setFont(bold);
    labAbgebrochen->setStyleSheet(QStringLiteral("color: #b00000;"));
    labMitUnterordnern->setVisible(false);
    labAbgebrochen->setVisible(false);
    // The buttons bring back a hidden folder bar, search panel or input
    // panel; they show only while that panel is hidden.
    butShowFolders->setVisible(false);
    butShowSearch->setVisible(false);
    butShowID3->setVisible(false);
    layout->addWidget(butShowFolders);
    layout->addWidget(butShowSearch);
    layout->addWidget(butShowID3);
    layout->addSpacing(4);
    layout->addWidget(Label1);
    layout->addWidget(labDir);
    layout->addWidget(labMitUnterordnern);
    layout->addSpacing(8);
    layout->addWidget(labAbgebrochen);
    layout->addStretch(1);
    return PanMP3Titel;
}

QWidget* TFQuillon::BuildClientArea()
{
    PanClient = new QWidget(this);
    PanClient->setObjectName(QStringLiteral("PanClient"));
    auto* layout = new QVBoxLayout(PanClient);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(BuildTitleBar());

    layout->addWidget(BuildSearchPanel());

    SplitterID3 = new QSplitter(Qt::Vertical, PanClient);
    SplitterID3->setObjectName(QStringLiteral("SplitterID3"));
    SplitterID3->setChildrenCollapsible(false);
    LVFiles = new TMyListView(SplitterID3);
    LVFiles->setObjectName(QStringLiteral("LVFiles"));
    m_listModel = new TFileListModel(m_entries, this);
    m_listModel->SetRowImages(ImageLists::ToolButtonImages());
    LVFiles->setModel(m_listModel);
    LVFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    PanID3 = new QFrame(SplitterID3);
    PanID3->setObjectName(QStringLiteral("PanID3"));
    auto* panelLayout = new QVBoxLayout(PanID3);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(BuildInputPanel());
    SplitterID3->addWidget(LVFiles);
    SplitterID3->addWidget(PanID3);
    SplitterID3->setStretchFactor(0, 1);
    SplitterID3->setStretchFactor(1, 0);
    layout->addWidget(SplitterID3, 1);
    return PanClient;
}

void TFQuillon::BuildStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);
    StatusPanel0 = new TStatusPanel(StatusBar1);
    StatusBar1->addWidget(StatusPanel0, 1);
    StatusPanel1 = NewLabel(StatusBar1, "StatusPanel1", QString());
    StatusPanel1->setAlignment(Qt::AlignCenter);
    StatusPanel1->setMinimumWidth(70);
    // The panels on the right keep their size: a command's hint, shown in
    // place of the left panel, must not spread them.
    StatusPanel1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    StatusBar1->addPermanentWidget(StatusPanel1);

    PanLaden = new QWidget(StatusBar1);
    PanLaden->setObjectName(QStringLiteral("PanLaden"));
    auto* layout = new QHBoxLayout(PanLaden);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    ButSucheAbbrechen = new QToolButton(PanLaden);
    ButSucheAbbrechen->setObjectName(QStringLiteral("ButSucheAbbrechen"));
    ButSucheAbbrechen->setText(QStringLiteral("%Cancel"));
    ButSucheAbbrechen->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ButSucheAbbrechen->setEnabled(false);
    ProgressLaden = new QProgressBar(PanLaden);
    ProgressLaden->setObjectName(QStringLiteral("ProgressLaden"));
    ProgressLaden->setRange(0, 100);
    ProgressLaden->setValue(0);
    ProgressLaden->setFixedWidth(120);
    ProgressLaden->setTextVisible(false);
    layout->addWidget(ButSucheAbbrechen);
    layout->addWidget(ProgressLaden);
    PanLaden->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    StatusBar1->addPermanentWidget(PanLaden);
}
