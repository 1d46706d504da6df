#pragma once

#include "mainwindow/Settings.h"
#include "mainwindow/SettingsStore.h"
#include "mainwindow/common/FileNamePresets.h"
#include "mainwindow/common/InputPages.h"
#include "mainwindow/common/LayoutArrays.h"
#include "tagengine/Eintragdaten.h"
#include "tagengine/FrameCatalogue.h"
#include "tagengine/ID3FilenameParser.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/UndoJournal.h"

#include <QHash>
#include <QItemSelection>
#include <QMainWindow>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QFileSystemModel;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeView;
class TEventPump;
class TFileListModel;
class TFormMenu;
class TInputPanel;
class TMenuBar;
class TMyListView;
class TStatusPanel;
struct TActionDef;

// The main window: the folder tree, the file list of the chosen folder, the
// input panel's place, tool bar, menus and status bar. It owns the file
// entries, the tag reader, the undo journal and the settings.
//
// The class is implemented in one file per feature: FQuillonLifeCycle.cpp
// (start, show, close, destroy), FQuillonWindow.cpp (widgets and panels),
// FQuillonActions.cpp, FQuillonToolbar.cpp, FQuillonSettings.cpp,
// FQuillonLoad.cpp (folder loading), FQuillonColumns.cpp (columns, sorting,
// type-ahead), FQuillonSelection.cpp and FQuillonStatus.cpp (status bar, title
// bar, list refresh).
class TFQuillon : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window, reads the settings, fills in the defaults, takes the
    // command-line paths (files to select after the first load) and loads the
    // chosen language.
    explicit TFQuillon(const QStringList& arguments, QWidget* parent = nullptr);
    // Saves the settings (or wipes them after a confirmed reset) and frees
    // the entries.
    ~TFQuillon() override;

    // --- Components other parts of the program use ---
    TID3v2Reader ID3v2Reader1;
    TID3FilenameParser ID3FilenameParser;
    TMenuBar* MenuBar1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QWidget* PanLeft = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QFileSystemModel* ShellTreeModel = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* PanClient = nullptr;
    QWidget* PanMP3Titel = nullptr;
    QToolButton* butShowFolders = nullptr;
    QToolButton* butShowSearch = nullptr;
    QToolButton* butShowID3 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* labDir = nullptr;
    QLabel* labMitUnterordnern = nullptr;
    QLabel* labAbgebrochen = nullptr;
    QWidget* PanSuchen = nullptr;
    QSplitter* SplitterID3 = nullptr;
    TMyListView* LVFiles = nullptr;
    QWidget* PanID3 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    TStatusPanel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QWidget* PanLaden = nullptr;
    QToolButton* ButSucheAbbrechen = nullptr;
    QProgressBar* ProgressLaden = nullptr;
    QMenu* PopFiles = nullptr;
    QMenu* PopSpalten = nullptr;
    QMenu* PopToolbar = nullptr;

    // The action or pop-up menu of this object name; nullptr when none.
    QAction* Action(const QString& name) const;
    QMenu* PopupMenu(const QString& name) const;
    TFormMenu* FormMenu() const { return m_formMenu.get(); }

    // Gives an action its handler and makes it available. enabledWhen and
    // checkedWhen (optional) are asked by UpdateActions; an Idle action is
    // disabled while a folder loads whatever enabledWhen says.
    void BindAction(const QString& name, std::function<void()> execute, std::function<bool()> enabledWhen = {},
                    std::function<bool()> checkedWhen = {});
    // Recomputes every action's enabled and checked state.
    void UpdateActions();

    // The journal of the user's file changes, for undo.
    TQLNUndoList& UndoList() { return m_undoList; }

    // Installs the input panel (not owned) into its place of the window.
    void SetInputPanel(TInputPanel* panel);

    // --- Life cycle ---
    // The first show: attaches the menu, connects the folder tree, loads the
    // start folder and checks the language's signature. Runs once, from the
    // event loop after the window was first shown.
    void FormShow();
    void ActBeendenExecute();

    // --- Settings ---
    void LoadSettings();
    void SaveSettings();
    void ApplySettings();
    TID3Versions GetWriterVersion() const;
    TEinstellungen& Settings() { return m_settings; }
    void SetResetRequested(bool reset) { m_resetRequested = reset; }
    TFileNamePresets& FileNamePresets() { return m_fileNamePresets; }
    TEingabeSeiten& InputPages() { return m_inputPages; }
    QStringList& CopyHistory() { return m_copyHistory; }
    QStringList& MoveHistory() { return m_moveHistory; }

    // --- Tool bar ---
    TStringArray GetToolbarCodes() const;
    void SetToolbarCodes(const TStringArray& codes);

    // --- Folder loading and the file list ---
    void LoadFolder(const QString& folder, bool keep);
    // Loads the current folder again; with keep the selection, the top row
    // and unchanged entries are kept.
    void ReloadFolder(bool keep);
    void ClearFileList();
    void ReadEntry(TEintragdaten& entry);
    // The entry of exactly this path (folder + name); nullptr when none.
    TEintragdaten* FindEntryByPath(const QString& path);
    // Must be called after entries were renamed, so that path lookups find
    // their new names.
    void InvalidatePathIndex() { m_pathIndexValid = false; }
    QString GetCellText(const TEintragdaten& entry, int catalogueIndex) const;
    TEintragdatenList& Entries() { return m_entries; }
    const QString& CurrentFolder() const { return m_currentFolder; }
    bool IsLoading() const { return m_loading; }
    bool IncludeSubfolders() const { return m_includeSubfolders; }
    // Longest time without processing events during the last load, in ms.
    double LastLoadLongestGapMs() const { return m_lastLoadLongestGapMs; }
    void ButSucheAbbrechenClick();
    void ActUnterordnerExecute();
    void ActAktuallisierenExecute();
    // The folder tree's folder (without a final "/"), and moving it.
    QString TreePath() const;
    void SetTreePath(const QString& folder);
    void ShellTreeView1Change();

    // --- Columns and sorting ---
    void SetColumns(const TStringArray& codes, const TWordArray& widths);
    void GetColumns(TStringArray& codes, TWordArray& widths) const;
    void UpdateSortIndicators();
    void SortFileList();
    // Same as a click on the header of this catalogue column.
    void SortByColumn(int catalogueIndex);
    int SortColumn() const { return m_sortColumn; }
    int SortDirection() const { return m_sortDirection; }
    // Type-ahead: the first row from startRow on whose text in the first
    // shown column begins with text (ignoring case); -1 when none.
    int FindRowByPrefix(const QString& text, int startRow, bool wrap) const;

    // --- Selection ---
    void SelectionChanged();
    void UpdateSelectionState();
    void UpdateStatusAndFileInfo();
    void CommitEdits();
    int FirstEditedIndex() const { return m_firstEditedIndex; }
    int EditedCount() const { return m_editedCount; }
    TEintragdaten* TemplateEntry() const { return m_templateEntry; }
    void SetTemplateEntry(TEintragdaten* entry);
    bool SelectionGuard() const { return m_selectionGuard; }

    // --- Status bar, title bar and list refresh ---
    void SetStatusText(int icon, const QString& text);
    const QString& StatusText() const { return m_statusText; }
    int StatusIcon() const { return m_statusIcon; }
    void LayoutTitleBar();
    void RefreshVisibleRows();
    void SyncListSelection(bool makeVisible, const TEintragdaten* focusEntry);

    // --- Panels ---
    void SetFolderBarVisible(bool visible);
    bool FolderBarVisible() const;
    void SetInputPanelPosition(TInputPanelPos position);
    TInputPanelPos InputPanelPosition() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // One folder load in progress (scan results, kept entries, progress).
    struct TLoadRun;

    // FQuillonWindow.cpp
    void BuildWindow();
    QWidget* BuildFolderBar();
    QWidget* BuildTitleBar();
    QWidget* BuildClientArea();
    void BuildStatusBar();
    // FQuillonActions.cpp
    void CreateActions();
    void CreatePopupMenus();
    void TranslateActions();
    void BindOwnActions();
    void BindEditActions();
    void Connect(QAction* action, std::function<void()> handler);
    // FQuillonLifeCycle.cpp
    void TakeCommandLine(const QStringList& arguments);
    void LoadChosenLanguage();
    void TranslateWindow();
    // FQuillonSettings.cpp
    void ApplyLoadedSettings(const TMainSettings& stored);
    TMainSettings CollectSettings() const;
    void ApplyWindowPlacement(const QByteArray& bytes);
    QByteArray WindowPlacementBytes() const;
    // FQuillonLoad.cpp
    void RunLoad(const QString& folder, bool keep);
    void ScanAndRead(TLoadRun& run, bool keep);
    void FinishLoad(TLoadRun& run, bool keep);
    void ShowLoadProgress(int found, int read);
    void RebuildPathIndex();
    void SelectFirstRowAfterLoad();
    // FQuillonColumns.cpp
    void LVFilesColumnClick(int column);
    void LVFilesColumnRightClick(const QPoint& globalPos);
    void LVFilesColumnDragged();
    QList<int> ShownColumnsInOrder() const;
    // FQuillonSelection.cpp
    void LVFilesSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void TakeOverSelection();
    void SelectRows(const std::function<bool(const TEintragdaten&)>& selectWhen);
    // FQuillonStatus.cpp
    void UpdateTitleBarFolder(const QString& folder);

    struct TBoundAction {
        QAction* Action = nullptr;
        const TActionDef* Def = nullptr;
        bool Bound = false;
        std::function<bool()> EnabledWhen;
        std::function<bool()> CheckedWhen;
    };

    // State
    TQLNUndoList m_undoList;
    TEinstellungen m_settings;
    bool m_resetRequested = false;
    QString m_startFolder;
    QString m_currentFolder; // ends with "/"
    bool m_loading = false;
    bool m_abortRequested = false;
    bool m_reloadPending = false;
    bool m_closeRequested = false;
    bool m_includeSubfolders = false;
    bool m_caseConversionRenames = false;
    QStringList m_copyHistory;
    QStringList m_moveHistory;
    int m_sortColumn = 0;
    int m_sortDirection = 1;
    bool m_selectionGuard = false;
    QSet<QString> m_pathsToSelect;
    QString m_topRowPath;
    QString m_focusedPath;
    TEintragdatenList m_entries;
    QHash<QString, TEintragdaten*> m_pathIndex;
    bool m_pathIndexValid = false;
    int m_firstEditedIndex = -1;
    int m_editedCount = 0;
    TEintragdaten* m_templateEntry = nullptr;
    QString m_statusText;
    int m_statusIcon = 0;
    TFileNamePresets m_fileNamePresets;
    TEingabeSeiten m_inputPages;
    QString m_favorites; // comma text of the favourite folders
    bool m_searchVisible = false;
    int m_folderBarWidth = 201;
    TEventPump* m_activePump = nullptr; // the running load's
    double m_lastLoadLongestGapMs = 0;
    bool m_shown = false;
    bool m_treeConnected = false;

    TFileListModel* m_listModel = nullptr;
    TInputPanel* m_inputPanel = nullptr;
    std::unique_ptr<TFormMenu> m_formMenu;
    std::vector<TBoundAction> m_actions;
    QHash<QString, size_t> m_actionIndex;
    std::vector<QMenu*> m_popups;
    // Tool bar: the tool bar's item and the action it runs (nullptr for a
    // separator), in tool-bar order.
    std::vector<std::pair<QAction*, QAction*>> m_toolItems;
};
