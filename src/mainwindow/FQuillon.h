#pragma once

#include "mainwindow/AppliedEdits.h"
#include "common/Settings.h"
#include "common/SettingsStore.h"
#include "common/FileNamePresets.h"
#include "common/InputPages.h"
#include "common/LayoutArrays.h"
#include "common/NameValueCollection.h"
#include "tagengine/Eintragdaten.h"
#include "tagengine/FrameCatalogue.h"
#include "tagengine/ID3FilenameParser.h"
#include "tagengine/ID3v2Reader.h"
#include "tagengine/UndoJournal.h"

#include <QHash>
#include <QItemSelection>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDragEnterEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeView;
class TDropFileSource;
class TDropFileTarget;
class TEventPump;
class TFileListModel;
class TFileOpRunner;
class TFolderTreeModel;
class TPathMoves;
class TLateFailureReports;
class TScopedHelpHandler;
class TTmpFileDeleter;
struct TFileOpResult;
struct TShiftState;
class TFormMenu;
class TID3v2Frame;
class TID3v2FrameComment;
class TID3v2FrameDateTime;
class TID3v2FrameEdit;
class TID3v2FrameGenre;
class TID3v2FrameNumber;
class TID3v2FrameURL;
class TID3v2FrameUnKnown;
class TMenuBar;
class TMyListView;
class TMyThemedPanel;
class TShellTreeModel;
class TStatusPanel;
struct TActionDef;

// The main window: the folder tree, the file list of the chosen folder, the
// input panel's place, tool bar, menus and status bar. It owns the file
// entries, the tag reader, the undo journal and the settings.
//
// The class is implemented in one file per feature:
//   FQuillonLifeCycle.cpp      start, show, close, destroy
//   FQuillonWindow.cpp         widgets and panels
//   FQuillonActions.cpp        the action table, menus, pop-up menus, the edit commands
//   FQuillonToolbar.cpp        the tool bar, its layout codes and the tool-bar dialog
//   FQuillonSettings.cpp       reading and writing the settings
//   FQuillonSettingsDialog.cpp the settings dialog
//   FQuillonLoad.cpp           folder loading
//   FQuillonColumns.cpp        columns and the columns dialog, sorting, type-ahead
//   FQuillonSelection.cpp      the list's selection, select all
//   FQuillonStatus.cpp         status bar, title bar, list refresh
//   FQuillonInputPages.cpp     input pages and their dialog, creating frame inputs, file properties
//   FQuillonEditCycle.cpp      applying, saving and showing edits, read-only fields
//   FQuillonRename.cpp         renaming, names from tags and tags from names
//   FQuillonUndo.cpp           undo of file changes and unsaved edits
//   FQuillonTemplate.cpp       the template entry and the frame inputs' menu
//   FQuillonCase.cpp           case conversion
//   FQuillonDates.cpp          dates from file dates and back
//   FQuillonBatch.cpp          track numbers, replacing text, ID3v1 transfer
//   FQuillonExport.cpp         the export
//   FQuillonCDDB.cpp           the CD database lookup
//   FQuillonSearch.cpp         search panel and search
//   FQuillonFavorites.cpp      favourite folders
//   FQuillonAbout.cpp          home page, update check, about box
//   FQuillonHistory.cpp        folder history and navigation
//   FQuillonPanels.cpp         docked, floating and hidden panels
//   FQuillonPlay.cpp           playing files; binds help and select all
//   FQuillonHelp.cpp           the help pages
//   FQuillonFileOps.cpp        copying, moving, deleting, renaming folders
//   FQuillonDragDrop.cpp       drags, drops, files on the clipboard
//   FQuillonKeys.cpp           the key preview, next and previous file
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
    TShellTreeModel* ShellTreeModel = nullptr;
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
    TMyThemedPanel* PanSuchen = nullptr;
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
    // Recomputes every action's enabled and checked state. Runs after every
    // command, on focus and clipboard changes and when the window becomes
    // active, so it does no work per row of the list.
    void UpdateActions();
    // The action shows in menus only while it is enabled.
    void HideWhenDisabled(const QString& name);

    // The journal of the user's file changes, for undo.
    TQLNUndoList& UndoList() { return m_undoList; }

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
    // FQuillonSettingsDialog.cpp: the settings dialog on the record, the
    // templates and the reset flag; what it confirms applies and is stored
    // at once.
    void ActEinstellungenExecute();
    TEinstellungen& Settings() { return m_settings; }
    void SetResetRequested(bool reset) { m_resetRequested = reset; }
    TFileNamePresets& FileNamePresets() { return m_fileNamePresets; }
    QStringList& CopyHistory() { return m_copyHistory; }
    QStringList& MoveHistory() { return m_moveHistory; }

    // --- Tool bar ---
    TStringArray GetToolbarCodes() const;
    void SetToolbarCodes(const TStringArray& codes);
    // The tool-bar dialog on the tool bar's codes.
    void ActSymbolleisteAnpassenExecute();

    // --- Folder loading and the file list ---
    void LoadFolder(const QString& folder, bool keep);
    // Loads the current folder again; with keep the selection, the top row
    // and unchanged entries are kept.
    void ReloadFolder(bool keep);
    void ClearFileList();
    void ReadEntry(TEintragdaten& entry);
    // The entry of exactly this path (TEintragdaten::PathKey); nullptr when
    // none. The lookup follows every rename and move, since RenameEntry and
    // MoveEntryTo are the only places where an entry's path changes.
    TEintragdaten* FindEntryByPath(const QString& path);
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
    // The tree's folder changed (FQuillonHistory.cpp): a floating folder bar
    // closes, the folder is recorded and loaded.
    void ShellTreeView1Change();

    // --- Columns and sorting ---
    void SetColumns(const TStringArray& codes, const TWordArray& widths);
    void GetColumns(TStringArray& codes, TWordArray& widths) const;
    void UpdateSortIndicators();
    void SortFileList();
    // Same as a click on the header of this catalogue column.
    void SortByColumn(int catalogueIndex);
    // The column chooser on the list's columns and widths.
    void ActSpaltenExecute();
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

    // --- Input pages and edit cycle ---
    // FQuillonEditCycle.cpp: the edited entries, their commit and display.
    // Applies every input the user modified to each edited entry (the
    // entries become changed; nothing is written yet). An edit is applied
    // once: applying again before the user edits once more changes nothing.
    void ApplyInputsToSelection();
    // Applies pending input edits, then writes every changed entry and reads
    // it back, showing progress and letting pending events (but no user
    // input) run after each file; failures are listed and may be retried,
    // those given up are read back (their edits dropped). When edited
    // entries were read back, the inputs show them again.
    void SaveChangedEntries();
    // Writes the entry's tags; on success the write is journalled for undo.
    bool WriteEntryTag(TEintragdaten& entry);
    bool IsSaving() const { return m_saving; }
    // Reloads the frame inputs from the edited entries; frames no page shows
    // get extra inputs among the further fields.
    void ShowSelectionInInputs();
    // Some frame input carries a user's edit that was not yet applied.
    bool HasModifiedInputs() const;
    // The frame input that has the focus or holds the focused control;
    // nullptr when none.
    TID3v2Frame* FocusedFrameInput() const;
    // Toggles the read-only flag of the focused input's frame; beeps when no
    // input has the focus. The toggle alone changes only the flag in each
    // file, never the files' differing values.
    void ActFrameReadOnlyExecute();
    struct TFrameReadOnlyState {
        bool Enabled = false;
        bool Checked = false;
    };
    TFrameReadOnlyState ActFrameReadOnlyUpdate() const;

    // FQuillonInputPages.cpp: the pages of the input panel and their inputs.
    // A new input for the frame ID on parent (a page's panel or the further
    // fields' box), stacked below the inputs already there; without a known
    // input class, onlyKnown gives nullptr and otherwise the unknown-frame
    // input.
    TID3v2Frame* CreateFrameInput(QWidget* parent, const QString& id, bool onlyKnown);
    // Appends the pages as they stand (titles and frame IDs) to pages.
    void ReadInputPages(TEingabeSeiten& pages) const;
    // Applies pending edits, then rebuilds the pages and their inputs and
    // shows the edited entries in them.
    void ApplyInputPages(const TEingabeSeiten& pages);
    // The current layout (ReadInputPages into a new object).
    TEingabeSeiten InputPages() const;
    // The input pages dialog on the current layout.
    void ActEingabefelderExecute();
    // Every frame input on the pages and among the further fields, in
    // creation order; the window owns them.
    const std::vector<TID3v2Frame*>& PageInputs() const { return m_pageInputs; }
    // The hidden inputs new inputs are modelled on: date and time, text,
    // comment, genre, number, URL.
    const std::vector<TID3v2Frame*>& TemplateInputs() const { return m_templateInputs; }
    // The template check-box panel follows the active page.
    void PagInfosChange();

    QTabWidget* PagInfos = nullptr;
    QWidget* TabWeitereFelder = nullptr;
    QScrollArea* SBoxWeitereFelder = nullptr;
    QLabel* PanKeineWeiterenFelder = nullptr;
    QWidget* TabDateiinfos = nullptr;
    QLineEdit* EDateiName = nullptr;
    QLineEdit* EDateiDatum = nullptr;
    QLineEdit* EMP3Info = nullptr;
    QLineEdit* EGroesse = nullptr;
    QLineEdit* ELaenge = nullptr;
    QWidget* PanVorgabe = nullptr;
    QCheckBox* CbxVorgabe = nullptr;
    TID3v2FrameDateTime* ID3v2FrameDateTime = nullptr;
    TID3v2FrameEdit* ID3v2FrameEdit = nullptr;
    TID3v2FrameComment* ID3v2FrameComment = nullptr;
    TID3v2FrameGenre* ID3v2FrameGenre = nullptr;
    TID3v2FrameNumber* ID3v2FrameNumber = nullptr;
    TID3v2FrameURL* ID3v2FrameURL = nullptr;
    TID3v2FrameUnKnown* ID3v2FrameUnKnown = nullptr;

    // --- Renaming and undo ---
    // FQuillonRename.cpp: renaming by hand and from tags, tags from file
    // names, the file-name presets.
    // True when name holds one of the characters no file name may hold here:
    // " * / : < > ? \ |
    static bool HasIllegalFileNameChars(const QString& name);
    // Asks for a new name for current; the extension cannot be changed here.
    // False when the user cancelled.
    bool AskNewFileName(const QString& current, QString& newName);
    // Renames the entry's file to newName inside its folder, never replacing
    // another file, and on success gives the entry that name. This is the one
    // place where an entry's name changes (by hand, from tags, by case
    // conversion, by replacing text, by undo): the path lookup of
    // FindEntryByPath follows here. With journal the rename becomes one undo
    // step; undoing a rename renames back without one. A name equal to the
    // present one succeeds at once with nothing journalled. Frame bodies still
    // left in the file are loaded first. The caller refreshes the list.
    bool RenameEntry(TEintragdaten& entry, const QString& newName, bool journal = true);
    // Sets one frame of the entry from one part of its file name.
    void SetFrameFromFilenamePart(TEintragdaten& entry, const QString& frameId, const QString& text);
    void ActRenameFileExecute();
    bool ActRenameFileUpdate() const;
    void ActFilenameFromID3Execute();
    void ActID3FromFilenameExecute();
    // Enabled while a file is selected (shared by the commands on the
    // selection).
    bool ActID3FromFilenameUpdate() const;
    void PopFilenamePresetsPopup();
    void SelectFileNamePreset(int index);

    // FQuillonUndo.cpp: what the undo command undoes next, newest first.
    enum TUndoKind : quint8 {
        ukNothing = 0,
        ukRename = 1,
        ukTagWritten = 2,
        ukFileDate = 3,
        ukUnsavedEntries = 4, // some entry carries edits not yet written
        ukModifiedInputs = 5, // some input carries a typed value not yet applied
    };
    quint8 GetUndoKind() const;
    // Gives the undo command the caption and hint of the next step; true
    // when there is one.
    bool ActUndoUpdate();
    void ActUndoExecute();

    // --- Export ---
    // FQuillonExport.cpp: the export dialog on the whole list.
    void ActExportExecute();

    // FQuillonCDDB.cpp: fills the selected files' tags from the CD database
    // (the lookup wizard) and writes them at once, each file one undo step.
    void ActID3FromCDDBExecute();

    // --- Status bar, title bar and list refresh ---
    void SetStatusText(int icon, const QString& text);
    const QString& StatusText() const { return m_statusText; }
    int StatusIcon() const { return m_statusIcon; }
    void LayoutTitleBar();
    void RefreshVisibleRows();
    void SyncListSelection(bool makeVisible, const TEintragdaten* focusEntry);

    // --- Search panel and search ---
    // FQuillonSearch.cpp: the panel docked above the file list or floating
    // under the title bar; while it shows, the rows of matching files are
    // bold, and the search selects the next matching file.
    QComboBox* BoxSearchField = nullptr;
    QLineEdit* ESearchText = nullptr;
    QRadioButton* RBtSearchFromTop = nullptr;
    QRadioButton* RBtSearchFromBottom = nullptr;
    // Runs ApplySearch half a second after the last change of field or text.
    QTimer* TimerSearch = nullptr;
    // Takes the field and text from the panel and repaints the list.
    void ApplySearch();
    void HideSearchPanel();
    // Docks and shows the panel, or hides a docked one.
    void ActShowSearchExecute();
    // Floats a hidden panel, hides a floating one; beeps at a docked one.
    void ActShowSearchDropDownExecute();
    void ActSearchExecute();
    bool IsSearchPanelDocked() const;
    bool IsSearchPanelShown() const;
    const TMP3SearchConfig& SearchConfig() const { return m_searchConfig; }

    // --- Favourites ---
    // FQuillonFavorites.cpp: favourite folders under names of the user's
    // choosing, in the favourites menu; a favourite opens through the tree.
    TNameValueCollection& Favorites() { return m_favorites; }
    void BuildFavoritesMenu();
    void OpenFavorite(int index);
    void ActAddToFavoritesExecute();
    void ActOrganizeFavoritesExecute();

    // --- Help menu and file information ---
    // FQuillonAbout.cpp
    void ActHomepageExecute();
    void ActUpdateExecute();
    void ActInfoExecute();
    // FQuillonInputPages.cpp: shows the input panel's file information.
    void ActFilePropertiesExecute();

    // --- Keyboard (FQuillonKeys.cpp) ---
    // The window previews the keys meant for its own controls. Del in the
    // file list deletes the selected files (Shift: for good); true when the
    // key was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
    // Esc (27) closes the floating panels; Enter (13) searches from the
    // search panel and elsewhere moves on to the next field, except in the
    // file list and in text of several lines. True when the key was used.
    bool FormKeyPress(int key);
    // Selects only the next (step 1) or previous (step -1) file, going round
    // at either end; with none selected the first (or last). Beeps when the
    // list is empty.
    void ActNextMP3Execute(int step);

    // --- Folder history and navigation (FQuillonHistory.cpp) ---
    // Appends the folder to the back history unless it is the folder shown
    // (paths compared exactly); a folder not reached through the history
    // clears the forward history.
    void RecordVisitedFolder(const QString& path);
    // Goes back (steps < 0) or forward (steps > 0) through the history; beeps
    // when it does not reach that far. A folder that no longer exists is
    // dropped from the history with a beep, and the folder shown stays.
    void GoFolderHistory(int steps);
    // Fills the back or forward pop-up with up to five folders, nearest first.
    void PopDirZurueckPopup(QMenu* popup);
    void ActAufwaertsExecute();
    bool ActAufwaertsUpdate() const;
    const QStringList& BackHistory() const { return m_backHistory; }
    const QStringList& ForwardHistory() const { return m_forwardHistory; }

    // --- Panels (FQuillonPanels.cpp) ---
    // The folder bar and the input panel are docked, floating over the file
    // list just below the title bar (closing when the focus leaves them) or
    // hidden.
    enum class TPanelState { Docked, Floating, Hidden };
    TPanelState FolderBarState() const { return m_folderBarState; }
    TPanelState InputPanelState() const { return m_inputPanelState; }
    void SetFolderBarVisible(bool visible);
    bool FolderBarVisible() const;
    void SetInputPanelPosition(TInputPanelPos position);
    TInputPanelPos InputPanelPosition() const;
    // Docked and visible: hidden; otherwise docked.
    void ActBrowserleisteExecute();
    // Hidden: floats; floating: hidden; docked: a beep.
    void ActBrowserleisteDropDownExecute();
    void ActEingabefeldVersteckenExecute();
    void DockInputPanel(bool top);
    void ActEingabeFeldDropDownExecute();

    // --- Playing, help and selecting all ---
    // FQuillonPlay.cpp: one edited file opens in the desktop's program,
    // several through a playlist in the program's private temporary folder.
    void ActPlayExecute();
    TTmpFileDeleter& TmpFileDeleter() { return *m_tmpFileDeleter; }
    // FQuillonHelp.cpp: opens a page of the built-in help, in the language
    // in use, with the desktop's browser. page is the file name of a help
    // page ("index.htm", "settings_allg.htm", "export.htm", "cddb.htm"...);
    // an empty name or a page the help lacks opens the start page. The
    // pages are written to the program's private temporary folder first;
    // when they cannot be written or opened, "ErrorNoHelp" is shown.
    void ShowHelp(const QString& page = QString());
    // FQuillonSelection.cpp: the file list selects every row, a text control
    // its whole text; anything else beeps.
    void EditSelectAllExecute();
    bool EditSelectAllUpdate() const;

    // --- File operations, drag and drop, folder rename ---
    // FQuillonFileOps.cpp
    // The path of an entry's file in the file system's encoding. Every file
    // operation takes an entry's path from here.
    static QByteArray EntryPath(const TEintragdaten& entry);
    // Puts folder at the top of history (once), keeping at most limit.
    static void AddFolderToHistory(const QString& folder, QStringList& history, int limit);
    void CopySelectionTo(const QString& folder);
    void MoveSelectionTo(const QString& folder);
    // Applies and writes pending edits, then copies or moves the files into
    // target (asking on collisions, listing failures for retry) and reloads
    // the list.
    void ShellCopyFiles(const QList<QByteArray>& files, const QString& target);
    void ShellMoveFiles(const QList<QByteArray>& files, const QString& target);
    // Deletes the selected files after asking: to the trash, or for good.
    void DeleteSelection(bool permanently);
    void ActDeleteFileExecute();
    // The folder is the listed one, or lies below it while subfolders are
    // listed.
    bool IsInListedFolder(const QString& folder) const;
    // Drops the undo steps of these files when they no longer exist.
    void PurgeUndoForMissingFiles(const QList<QByteArray>& files);
    // Entries, the undo journal, the saved old tags, the histories and the
    // listed folder follow files and folders that were moved or renamed.
    void FollowMoves(const TPathMoves& moves);
    // The folder of the tree's node was renamed in place; false (and the old
    // name stays) when it could not be.
    bool ShellTreeView1Edited(const QModelIndex& node, const QString& newText);
    void RefreshFolderTree();
    // During a load, a save or a file operation: a beep, and true.
    bool BeepWhenBusy();
    TFileOpRunner& FileOpRunner() { return *m_fileOpRunner; }
    // FQuillonDragDrop.cpp
    TDropFileSource* DropFileSource1 = nullptr;
    TDropFileTarget* DropFileTarget1 = nullptr; // on the file list
    TDropFileTarget* DropFileTarget2 = nullptr; // on the folder tree
    // The folder a drop at point would go into ("" for none); the tree's
    // node under the point is highlighted.
    QString GetDropTargetFolder(TDropFileTarget& target, const QPoint& point);
    void DropFileTarget1GetDropEffect(TDropFileTarget& target, const TShiftState& shift, const QPoint& point,
                                      quint32& effect);
    void DropFileTarget1Drop(TDropFileTarget& target, const QPoint& point, quint32& effect);
    void DropFileTarget1Leave(TDropFileTarget& target);
    // Puts the selected files on the clipboard, to be copied or (cut) moved.
    void CopyFilesToClipboard(bool cut);
    // Copies (or moves, after a cut) the clipboard's files into the listed
    // folder, or into the tree's folder when the tree has the focus.
    void PasteFilesFromClipboard();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Command states are refreshed when the window becomes active again:
    // what they depend on may have changed meanwhile.
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    // FQuillonSettingsDialog.cpp: the settings, tool-bar and input-page
    // commands.
    void BindSettingsActions();
    // FQuillonSettings.cpp
    void ApplyLoadedSettings(const TMainSettings& stored);
    TMainSettings CollectSettings() const;
    // The stored placement, when it is valid (else false), fitted to the
    // screen it opens on.
    bool ApplyWindowPlacement(const QByteArray& bytes);
    // Without a stored placement: about three quarters of the screen.
    void ApplyFirstPlacement();
    // Shrinks and moves the window onto its screen once its texts (and
    // those of its menus) are in.
    void FitWindowToScreen();
    // Tells the user what reading the settings left out, once.
    void TellLeftOutSettings();
    QByteArray WindowPlacementBytes() const;
    // FQuillonLoad.cpp
    void RunLoad(const QString& folder, bool keep);
    void ScanAndRead(TLoadRun& run, bool keep);
    void FinishLoad(TLoadRun& run, bool keep);
    void ShowLoadProgress(int found, int read);
    // Carries out what was asked for while a load or a file operation ran:
    // a close, else a load of the tree's folder.
    void RunHeldRequests();
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
    // FQuillonSearch.cpp
    QWidget* BuildSearchPanel();
    void BindSearchActions();
    void UpdateSearchActions();
    // FQuillonFavorites.cpp
    void BindFavoriteActions();
    void FavoritesFollowMoves(const TPathMoves& moves);
    // FQuillonAbout.cpp
    void BindAboutActions();
    // FQuillonKeys.cpp
    void BindKeys();
    bool KeyPreview(QObject* watched, const QKeyEvent& key);

    // --- Input pages and edit cycle (private) ---
    // FQuillonInputPages.cpp
    QWidget* BuildInputPanel();
    QWidget* BuildFurtherFieldsPage();
    QWidget* BuildFileInfoPage();
    void BuildTemplateInputs();
    // Frees an input that left the input list: later, since it may hold the
    // focus or be running one of its own handlers.
    void DisposeInput(TID3v2Frame* input);
    void RemoveInputPages();
    // Places the template check-box panel at the bottom of the page.
    void MoveTemplateCheckBox(QWidget* page);
    // Gives the input area the height its tallest page needs.
    void FitInputArea();
    // Inputs take edits (true) or not: off while a folder loads.
    void SetInputsEnabled(bool enabled);
    // FQuillonEditCycle.cpp
    void InputEditedByUser(TID3v2Frame* input);
    void ClearPageInputs();
    // The input of the page inputs that shows this frame, or nullptr.
    TID3v2Frame* InputForFrame(const TID3Frame& frame, const QSet<TID3v2Frame*>& seen) const;
    TID3v2Frame* CreateExtraInput(const QString& id, bool afterOtherFiles);
    void UpdateTemplateCheckBox();
    // The file-information fields for count edited entries (single: the
    // one entry when count is 1) of these summed sizes and lengths.
    void ShowFileInfo(int count, const TEintragdaten* single, qint64 size, qint64 lengthMs);
    // A file whose write failed, found again by its path, and why.
    struct TFailedWrite {
        QString Path;
        QString Reason; // in the program's language
    };
    // Asks again (an error box with Yes and No, each file listed with its
    // reason) while writes of the listed files fail; those written are read
    // back and leave the list. A file another program changed meanwhile is
    // read again instead and added to skipped.
    void RetryFailedWrites(std::vector<TFailedWrite>& failures, QStringList& skipped);
    void ShowSaveProgress(int done, int total);

    std::vector<TID3v2Frame*> m_pageInputs;
    std::vector<TID3v2Frame*> m_templateInputs;
    // Identities of inputs whose edit is in the entries already.
    QSet<quint32> m_appliedInputs;
    // Identities of inputs whose only edit is a toggled read-only flag.
    QSet<quint32> m_readOnlyOnlyInputs;
    // What the applied edits replaced in the edited entries.
    TAppliedEdits m_appliedEdits;
    bool m_inputsEnabled = true;
    bool m_saving = false;
    // Context of the connections to the inputs and pages: it goes before the
    // widgets do, so that no signal of a dying widget reaches this window.
    QObject m_inputPanelContext;

    // --- Renaming and undo (private) ---
    // FQuillonRename.cpp
    void BindRenameActions();
    // FQuillonRename.cpp: moved files keep their entries.
    void MoveEntryTo(TEintragdaten& entry, const QString& newPath);
    // Keeps the path lookup right after the entry's path changed.
    void ReindexEntry(TEintragdaten& entry, const QString& oldPath);
    // FQuillonTemplate.cpp, FQuillonCase.cpp, FQuillonDates.cpp,
    // FQuillonBatch.cpp: the commands on the selection.
    void BindTemplateActions();
    void BindCaseActions();
    void BindDateActions();
    void BindBatchActions();
    // A frame input's context menu: the field's commands for its inner
    // control, which takes the focus first.
    void FrameInputContextPopup(QWidget* inner, const QPoint& globalPos);
    // FQuillonUndo.cpp
    void BindUndoAction();
    void RefreshUndoAction();
    void UndoJournalStep(const TQLNUndoItem& item);
    bool UndoRename(const TQLNUndoItem& item);
    bool UndoTagWritten(const TQLNUndoItem& item);
    bool UndoFileDate(const TQLNUndoItem& item);
    void DiscardUnsavedEdits();
    // FQuillonExport.cpp
    void BindExportAction();
    // FQuillonCDDB.cpp
    void BindCDDBAction();

    // --- History, panels, play, help, file operations (private) ---
    // FQuillonHistory.cpp
    void BindHistoryActions();
    void TreeFolderGoing(const QModelIndex& folder);
    // FQuillonPanels.cpp
    void BindPanelActions();
    void SetFolderBarState(TPanelState state);
    void SetInputPanelState(TPanelState state, bool top);
    void PlaceFloatingPanels();
    void PanelFocusChanged(QWidget* now);
    // FQuillonPlay.cpp / FQuillonHelp.cpp
    void BindPlayHelpActions();
    // FQuillonFileOps.cpp
    void BindFileOpActions();
    // The files of the list's selected rows, in list order (files that could
    // not be read too).
    QList<QByteArray> SelectedFilePaths() const;
    void ActCopyHistoryExecute(QStringList& history, int index, bool move);
    void ActCopyFileToSelectExecute(bool move);
    TFileOpResult TransferFiles(const QList<QByteArray>& files, const QString& target, bool move);
    // Runs a file operation. Loads and a close asked for meanwhile wait
    // until it has ended (LoadFolder, closeEvent), so that nothing replaces
    // the entries it works on; then the list is read again when operation
    // returns true, and what waited is carried out.
    void RunFileOperation(const std::function<bool()>& operation);
    // Files that are no longer there (deleted, or replaced by another):
    // their entries leave the list, their undo steps and saved tags go.
    void ForgetFiles(const QSet<QString>& paths);
    void PurgeUndoOf(const QSet<QString>& paths);
    // FQuillonDragDrop.cpp
    void BindDragDrop();
    bool DragEventFilter(QObject* watched, QEvent* event);
    void StartDrag(QWidget* control);
    void RunDropOperation(const QList<QByteArray>& files, const QString& target, quint32 effect, bool askFirst,
                          const QPoint& globalPos, bool toTree);

    struct TBoundAction {
        QAction* Action = nullptr;
        const TActionDef* Def = nullptr;
        bool Bound = false;
        std::function<bool()> EnabledWhen;
        std::function<bool()> CheckedWhen;
        bool HideWhenDisabled = false;
    };

    // State
    TQLNUndoList m_undoList;
    TEinstellungen m_settings;
    bool m_resetRequested = false;
    QString m_startFolder;
    QString m_currentFolder; // a path text (platform/NativePath.h), ends with "/"
    bool m_loading = false;
    bool m_abortRequested = false;
    bool m_reloadPending = false;
    bool m_closeRequested = false;
    bool m_fileOpRunning = false; // a copy, move, delete or folder rename
    bool m_includeSubfolders = false;
    bool m_caseConversionRenames = false;
    QStringList m_copyHistory;
    QStringList m_moveHistory;
    int m_sortColumn = 0;
    int m_sortDirection = 1;
    bool m_selectionGuard = false;
    QSet<QString> m_pathsToSelect; // path texts, as TEintragdaten::PathKey
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
    // What reading the settings left out, told once the window shows.
    TLeftOutSettings m_leftOutSettings;
    TNameValueCollection m_favorites;
    TMP3SearchConfig m_searchConfig;
    // Field and text of the last search: with another field or text the next
    // search starts again at the end it starts from.
    struct TLastSearch {
        QString FieldID;
        QString Text;
    };
    std::optional<TLastSearch> m_lastSearch;
    int m_folderBarWidth = 201;
    TEventPump* m_activePump = nullptr; // the running load's
    double m_lastLoadLongestGapMs = 0;
    bool m_shown = false;
    bool m_treeConnected = false;

    // Folder history, panels, file operations, drag and drop
    QStringList m_backHistory;    // the last one is the folder shown
    QStringList m_forwardHistory; // the most recently left last
    QString m_navigatingTo;       // the history moves the tree to this folder
    TPanelState m_folderBarState = TPanelState::Docked;
    TPanelState m_inputPanelState = TPanelState::Docked;
    bool m_inputPanelTop = false;
    std::unique_ptr<TTmpFileDeleter> m_tmpFileDeleter;
    // Dialogs open their help pages through this window while it exists.
    std::unique_ptr<TScopedHelpHandler> m_helpHandler;
    // Settings not written and addresses not opened are told while it lives.
    std::unique_ptr<TLateFailureReports> m_lateFailureReports;
    QObject* m_keyPreview = nullptr; // sees the keys of the whole program first
    std::unique_ptr<TFileOpRunner> m_fileOpRunner;
    TFolderTreeModel* m_folderTreeModel = nullptr;
    QPoint m_dragStartPos;
    QPointer<QWidget> m_dragControl; // where the mouse went down
    bool m_dragRunning = false;
    bool m_droppedHere = false;   // this window's drop handler took the running drag
    bool m_rightButtonDrag = false;
    bool m_contextMenuDeferred = false; // the list's menu opens on the release

    TFileListModel* m_listModel = nullptr;
    std::unique_ptr<TFormMenu> m_formMenu;
    std::vector<TBoundAction> m_actions;
    QHash<QString, size_t> m_actionIndex;
    std::vector<QMenu*> m_popups;
    // Tool bar: the tool bar's item and the action it runs (nullptr for a
    // separator), in tool-bar order.
    std::vector<std::pair<QAction*, QAction*>> m_toolItems;
};
