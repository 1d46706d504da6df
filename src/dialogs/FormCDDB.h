#pragma once

#include "cddb/CDDBData.h"
#include "cddb/CDDBMatching.h"
#include "cddb/CDDBSearch.h"
#include "cddb/FreedbHttp.h"
#include "tagengine/Eintragdaten.h"

#include <QDialog>
#include <QStringList>

#include <initializer_list>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeView;
class QTreeWidget;
class QVBoxLayout;
class TDiscIDCalculator;
class TOwnerDataModel;

// The CD database lookup: a wizard that fills artist, title, album and track
// number of the selected files from the freedb database. Three ways to find
// the CD: the audio CD in a drive ("cd"), the CD information stored in the
// files' MCDI frames ("tag"), or the play lengths of the files when they are
// all tracks of one CD ("mp3").
//
// Pages: 1 search type and drive; 3 found CDs and 2 the chosen CD's tracks
// against the files (cd and mp3); 4 search report and 5 the CDs found per
// file (tag). Finish changes the entries in memory; the caller saves them.
//
// FormCDDB.cpp holds the window, the page mechanics, the first page and the
// search pages; FormCDDBResults.cpp the two result pages and their row
// actions.
class TFormCDDB : public QDialog {
    Q_OBJECT
public:
    enum TSearchMode { smCD = 0, smMP3 = 1, smTag = 2 };
    // Next's answer that closes the wizard with OK.
    static constexpr int FinishPage = 65535;

    explicit TFormCDDB(QWidget* parent = nullptr);
    ~TFormCDDB() override;

    // Runs the wizard on the edited entries of the list. The proxy is used
    // when proxyHost and proxyPort are set. True when Finish changed the
    // entries; the search type is then kept for the next run.
    bool Execute(TEintragdatenList& entries, const QString& server, bool useNative, int proxyPort,
                 const QString& proxyHost, const QString& user, const QString& cgiPath, int port);

    // --- Page mechanics ---
    void SetPage(int pageId);
    int CurrentPage() const { return m_currentPage; }
    const std::vector<int>& PageHistory() const { return m_history; }
    void ActWeiterExecute();
    void ActZurueckExecute();
    void Button4Click(); // Cancel
    // A CD search is running: the wizard takes no other command, and
    // Cancel, Esc or closing the window end the search and the wizard.
    bool IsSearching() const { return m_searching; }

    // --- What the pages work with ---
    int SearchMode() const { return m_searchMode; }
    const QStringList& Queries() const { return m_queries; }
    const TCDDBCDList& CDs() const { return m_cds; }
    const TCDDBMP3List& Rows() const { return m_rows; }
    TCDDBMP3List& Rows() { return m_rows; }
    const TCDDBCD* ChosenCD() const { return m_chosenCd; }
    TDiscIDCalculator* Calculator() const { return m_calculator.get(); }

    // --- Row actions of the result pages ---
    void ActNachObenExecute();
    void ActNachUntenExecute();
    void ActPlayExecute();
    // Tag below 0: previous possibility, else next.
    void ActMoeglichkeitExecute(int tag);
    // A press on the check mark column of page 5 (x from the list's left
    // edge) toggles the row there; on no row it beeps.
    void LVFiles2Press(int x, int row);
    // The selected row of the page's list, -1 when none.
    int SelectedRow() const;
    void SelectRow(int row);

    // --- Controls other code and tests reach ---
    QLabel* LblTitel = nullptr;
    QLabel* LblText = nullptr;
    QStackedWidget* PanClient = nullptr;
    QPushButton* Button1 = nullptr; // Help
    QPushButton* ButZurueck = nullptr;
    QPushButton* ButWeiter = nullptr;
    QPushButton* Button4 = nullptr; // Cancel
    QAction* ActWeiter = nullptr;
    QAction* ActZurueck = nullptr;
    QRadioButton* RadioButton1 = nullptr; // cd
    QRadioButton* RadioButton2 = nullptr; // tag
    QRadioButton* RadioButton3 = nullptr; // mp3
    QComboBox* BoxCDDrives = nullptr;
    QLabel* lblNetStatus = nullptr;
    QTreeWidget* TVCddb = nullptr;
    QLabel* PanCDDBNichtsGefunden = nullptr;
    QLabel* lblNetStatusID3 = nullptr;
    QPlainTextEdit* MmoSuchBericht = nullptr;
    QTreeView* LVFiles = nullptr;
    QTreeView* LVFiles2 = nullptr;
    QWidget* PanExchange = nullptr;
    QCheckBox* CBExchangeArtistAndTitle = nullptr;
    QWidget* PanSaveCDDBInfo = nullptr;
    QCheckBox* CBSaveCDDBInfo = nullptr;
    QAction* ActNachOben = nullptr;
    QAction* ActNachUnten = nullptr;
    QAction* ActPlay = nullptr;
    QAction* ActNaechsteMoeglichkeit = nullptr;
    QAction* ActVorherigeMoeglichkeit = nullptr;

    // The text of a cell of page 2 or page 5, as the lists show it.
    QString SuggestionText(int row, int column) const;
    QString PossibilityCellText(int row, int column) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TPageRow;
    static const TPageRow* FindPage(int pageId);

    // FormCDDB.cpp
    // A page's layout, beginning with the page's explanation.
    static QVBoxLayout* NewPageLayout(QWidget* page, const char* textKey);
    void BuildWindow();
    QWidget* BuildHeader();
    QWidget* BuildButtons();
    QWidget* BuildDrivePage();
    QWidget* BuildFoundCDsPage();
    QWidget* BuildReportPage();
    void LoadSearchType();
    void SaveSearchType() const;
    void ShowPage(int pageId);
    int NextStep();
    void ShowDrivePage();
    int DrivePageNext();
    int DrivePageNextCD();
    int DrivePageNextTag();
    int DrivePageNextMP3();
    bool RunSearch(QLabel* status);
    void ShowSearchNotes(QLabel* status, const TCDDBSearchError& error) const;
    // The user input that a running search lets through: what cancels it.
    bool IsCancelInput(QObject* receiver, QEvent* event) const;
    void CancelSearch();
    void ShowFoundCDsPage();
    int FoundCDsPageNext();
    void ShowReportPage();
    int ReportPageNext();
    int Refuse(const QString& key, bool information = false);

    // FormCDDBResults.cpp
    QWidget* BuildSuggestionPage();
    QWidget* BuildPossibilitiesPage();
    // A result list with its pop-up menu of these actions (nullptr: a
    // separator).
    QTreeView* NewRowList(const QString& name, const QString& popupName, std::initializer_list<QAction*> popup);
    void ShowSuggestionPage();
    int SuggestionPageFinish();
    void ShowPossibilitiesPage();
    int PossibilitiesPageFinish();
    QTreeView* CurrentRowList() const;
    TOwnerDataModel* CurrentRowModel() const;
    void SetColumnWidths(QTreeView* list);
    void MoveRow(int from, int to);
    void UpdateRowActions();

    std::unique_ptr<TDiscIDCalculator> m_calculator;
    TEintragdatenList* m_entries = nullptr;
    QString m_server;
    int m_port = 80;
    QString m_cgiPath;
    QString m_user;
    TCDDBProxy m_proxy;

    bool m_firstPageFilled = false;
    int m_searchMode = smCD;
    int m_currentPage = 0;
    QStringList m_queries;
    TCDDBCDList m_cds;
    const TCDDBCD* m_chosenCd = nullptr;
    TCDDBMP3List m_rows;
    std::vector<int> m_history;
    bool m_searching = false;
    TmyFreedbHttp* m_http = nullptr; // while a search runs
    bool m_cancelRequested = false;

    TOwnerDataModel* m_suggestionModel = nullptr;
    TOwnerDataModel* m_possibilityModel = nullptr;
};
