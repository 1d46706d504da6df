#pragma once

#include "common/LayoutArrays.h"
#include "tagengine/Eintragdaten.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TDataModuleExport;
class TMyThemedPanel;
struct TExportSettings;

// The export window: the user picks one of four exports of the file list
// (HTML with the built-in template, HTML with an own template, M3U playlist,
// spreadsheet) on the selection bar, sets its options and starts it with OK.
// The choices are kept under the settings subkey "Export", written when an
// export succeeded.
class TFormExport : public QDialog {
    Q_OBJECT
public:
    enum TPage { pgHTML = 0, pgOwnHTML = 1, pgPlaylist = 2, pgExcel = 3, PageCount = 4 };

    explicit TFormExport(QWidget* parent = nullptr);
    ~TFormExport() override;

    // Runs the window on the list's entries (baseFolder: the listed folder,
    // ending in "/"; mainColumns: the file list's column IDs). True when it
    // closed after a successful export.
    bool Execute(const QString& baseFolder, const TEintragdatenList& files, const TStringArray& mainColumns);

    // Shows page i and remembers it as the last export.
    void SelectPage(int page);
    int CurrentPage() const { return m_lastExport; }
    // OK: runs the export of the page on view; closes on success.
    void ButOKClick();
    // OK (or Enter) runs the export; the window closes once it is done.
    void accept() override;
    // Writes the built-in template of the HTML page's choices to a file.
    void SaveTemplateClick();
    void ChooseOwnHTMLColumns();
    void ChooseOwnExcelColumns();
    // Fills the template list with the templates found, then one empty entry.
    void FillTemplateList();
    // The last template entry was chosen: asks for a template file, unless
    // the entry holds the file chosen before.
    void LastTemplateEntryActivated();
    void ChooseTemplateFile();

    const TStringArray& OwnHTMLColumns() const { return m_htmlColumns; }
    const TBoolArray& OwnHTMLLinks() const { return m_htmlLinks; }
    const TStringArray& OwnExcelColumns() const { return m_excelColumns; }

    QListWidget* LVAuswahl = nullptr;
    TMyThemedPanel* PanTitel = nullptr;
    QStackedWidget* PanClient = nullptr;
    QPushButton* ButHelp = nullptr;
    QPushButton* ButOK = nullptr;
    QPushButton* ButCancel = nullptr;
    // Page 1
    QRadioButton* RBHTMLSpalten1 = nullptr;
    QRadioButton* RBHTMLSpalten2 = nullptr;
    QPlainTextEdit* MAndereSpaltenHTML = nullptr;
    QPushButton* ButHTMLSpalten = nullptr;
    QCheckBox* CBHTMLGrouping = nullptr;
    QComboBox* BoxGroupField = nullptr;
    QCheckBox* CBHTMLManyFiles = nullptr;
    QCheckBox* CBHTMLRelDir = nullptr;
    QCheckBox* CBHTMLRelLinks = nullptr;
    QPushButton* ButSaveTemplate = nullptr;
    // Page 2
    QComboBox* EHTMLVorlagen = nullptr;
    QCheckBox* CBHTMLVRelDir = nullptr;
    QCheckBox* CBHTMLVRelLinks = nullptr;
    // Page 3
    QRadioButton* RBPlaylistAlle = nullptr;
    QRadioButton* RBPlaylistMarkiert = nullptr;
    QCheckBox* CBPlaylistAddInfos = nullptr;
    QCheckBox* CBPlaylistRelLinks = nullptr;
    // Page 4
    QRadioButton* RBExcelSpalten1 = nullptr;
    QRadioButton* RBExcelSpalten2 = nullptr;
    QPlainTextEdit* MAndereSpaltenExcel = nullptr;
    QPushButton* ButExcelSpalten = nullptr;

private:
    void BuildWindow();
    QWidget* BuildHTMLPage();
    QWidget* BuildOwnHTMLPage();
    QWidget* BuildPlaylistPage();
    QWidget* BuildExcelPage();
    void FillSelectionBar();
    void FillGroupFields();
    void UpdateGroupingControls();
    void LoadExportSettings();
    void SaveExportSettings() const;
    // The memo shows the columns' captions, linked ones marked.
    void ShowOwnColumns(QPlainTextEdit* memo, const TStringArray& ids, const TBoolArray& links);
    // Asks for the file to write; adds the extension when none was typed.
    std::optional<QString> AskOutputFile(const QString& filterKey, const QString& extension,
                                         const QString& folder);
    // The HTML page's choices: columns, links, group field, page per group.
    void BuiltInChoices(TStringArray& ids, TBoolArray& links, QString& groupField, bool& manyFiles) const;
    quint8 RunExport(TDataModuleExport& module, int page, bool& ran);

    const TEintragdatenList* m_files = nullptr;
    QString m_baseFolder;
    TStringArray m_mainColumns;
    TStringArray m_htmlColumns;
    TBoolArray m_htmlLinks;
    TStringArray m_excelColumns;
    TBoolArray m_excelFlags;
    QString m_chosenTemplate; // the template file chosen in the file dialog
    int m_lastExport = 0;
};
