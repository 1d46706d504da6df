#pragma once

#include "common/Settings.h"
#include "common/FileNamePresets.h"
#include "platform/DesktopShortcut.h"
#include "tagengine/ID3FilenameParser.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolButton;
class TFrameLanguage;
class TMySpeedButton;
class TMyThemedPanel;
class TUpDownEdit;

// The settings dialog: the whole settings record on five pages (file-name
// pattern with its templates and other options; reading and writing tags;
// the CD database; installation with reset and shortcuts; language). It
// edits copies: the record, the templates and the server list change only
// when the dialog is closed with OK.
class TFormEinstellungen : public QDialog {
    Q_OBJECT
public:
    explicit TFormEinstellungen(QWidget* parent = nullptr);

    // Shows the dialog on the record and the templates; true when closed
    // with OK. Then the record and the templates take the dialog's values,
    // the server list is stored, and a reset the user confirmed sets
    // resetRequested (which is never cleared here). On Cancel nothing
    // changes, nor is anything stored.
    bool Execute(TEinstellungen& settings, TFileNamePresets& presets, bool& resetRequested);

    // The program the shortcuts start; the running program by default.
    void SetProgramPath(const QString& path) { m_programPath = path; }

    // --- Pages ---
    static constexpr int PageCount = 5;
    void LVAuswahlSelectItem(int item);
    int ShownPage() const;
    // Help: the page "settings_allg.htm" of the program's help.
    void Button3Click();

    // --- File-name pattern ---
    // Whether the pattern can be shown in the simple form: at most three
    // fields of the simple kind with up to two texts between or around
    // them in the file name, and at most one folder level of one field.
    bool IsSimplePattern(const QString& pattern);
    // Shows a pattern in both forms.
    void ShowPatternSimple(const QString& pattern);
    // The pattern the simple form shows.
    QString BuildSimplePattern() const;
    // The pattern being edited, in whichever form.
    QString EditedPattern() const;
    bool SimpleFormShown() const { return m_simpleForm; }
    void ActDateinameModusExecute();
    void ActDateinameModusUpdate();
    // Drops the template menu down below its button.
    void SpeedButton1Click();
    void PopVorgabenPopup();
    // A template chosen from the template menu.
    void SelectPreset(int index);
    // Any user's change of the pattern: it is no saved template any more.
    void BoxEasy1Change();
    void ActAufbauSpeichernExecute();
    void ActAufbauLoeschenExecute();
    // Saving is possible while there is room for another template (the
    // settings keep MaxFileNamePresets), deleting while the pattern is a
    // saved template.
    void UpdatePresetButtons();
    int ChosenPreset() const { return m_chosenPreset; }
    const TFileNamePresets& DialogPresets() const { return m_presets; }

    // --- Reading and writing ---
    void CBxWriteID3v2Click();
    void CBxWriteID3v1Click();
    void cbxNoWriteProtectClick();
    void CBxOrderAlbumClick();

    // --- CD database ---
    // Drops the server menu down below its button.
    void SpeedButton8Click();
    void PopVorgabenCDDBPopup();
    // A server chosen from the server menu.
    void SelectServer(int index);
    void ActServerAktualisierenExecute();
    const QStringList& ServerList() const { return m_servers; }

    // --- Installation ---
    void ActLinkStartMenuExecute(TShortcutPlace place);
    void ActZuruecksetzenExecute();
    bool ResetConfirmed() const { return m_resetRequested; }

    // Controls, by the names the settings know them by.
    QListWidget* LVAuswahl = nullptr;
    TMyThemedPanel* PanTitel = nullptr;
    QStackedWidget* PanClient = nullptr;
    QPushButton* Button3 = nullptr; // help

    QPushButton* ButProfi = nullptr;
    QWidget* PanEinfach = nullptr;
    QWidget* PanProfi = nullptr;
    QComboBox* BoxEasy1 = nullptr;
    QComboBox* BoxEasy2 = nullptr;
    QComboBox* BoxEasy3 = nullptr;
    QLineEdit* ETZ1 = nullptr;
    QLineEdit* ETZ2 = nullptr;
    QCheckBox* CBxOrderAlbum = nullptr;
    QComboBox* BoxDirName = nullptr;
    QLineEdit* EDateinameAufbau = nullptr;
    QListWidget* LVPlatzhalter = nullptr;
    QToolButton* ButVorgaben = nullptr;
    QMenu* PopVorgaben = nullptr;
    TMySpeedButton* ButAufbauSpeichern = nullptr;
    TMySpeedButton* ButAufbauLoeschen = nullptr;
    QCheckBox* CbxDateidatum = nullptr;
    TUpDownEdit* ETrackNrDecimals = nullptr;

    QCheckBox* CBxReadID3v2 = nullptr;
    QCheckBox* CBxWriteID3v1 = nullptr;
    QCheckBox* CBxWriteID3v2 = nullptr;
    QComboBox* BoxID3v2Version = nullptr;
    QCheckBox* CbxUnsyc = nullptr;
    TUpDownEdit* EID3v2Size = nullptr;
    TUpDownEdit* EID3v2Padding = nullptr;
    TUpDownEdit* EID3v2PaddingMax = nullptr;
    QCheckBox* cbxNoWriteProtect = nullptr;

    QLineEdit* ECDDBServer = nullptr;
    QLineEdit* ECDDBServerPort = nullptr;
    QLineEdit* ECDDBCgiPath = nullptr;
    QToolButton* ButServer = nullptr;
    QMenu* PopVorgabenCDDB = nullptr;
    QPushButton* ButServerAktualisieren = nullptr;
    QLineEdit* ECDDBUser = nullptr;
    QCheckBox* CBoxProxy = nullptr;
    QLineEdit* EProxy = nullptr;
    QLineEdit* EProxyPort = nullptr;
    QCheckBox* cbxAlwaysUseNativeNtCdRom = nullptr;

    QPushButton* ButZuruecksetzen = nullptr;
    QPushButton* ButLinkStartMenu = nullptr;
    QPushButton* ButLinkDesktop = nullptr;

    TFrameLanguage* FrameLanguage1 = nullptr;

private:
    void BuildSelector(QWidget* strip);
    QWidget* BuildGeneralPage();
    QWidget* BuildPatternGroup(QWidget* page);
    QWidget* BuildSimpleForm(QWidget* group);
    QWidget* BuildFreeTextForm(QWidget* group);
    QWidget* BuildReadWritePage();
    QWidget* BuildCDDBPage();
    QWidget* BuildSetupPage();
    QWidget* BuildLanguagePage();
    void ConnectHandlers();
    void SetFieldBox(QComboBox* box, const QString& frameId);
    QString PlaceholderOf(const QComboBox* box) const;
    void ShowSimpleForm(bool simple);
    void FillServerMenu();
    void ShowRecord(const TEinstellungen& settings);
    void TakeRecord(TEinstellungen& settings) const;

    TFileNamePresets m_presets;
    TID3FilenameParser m_parser;
    QStringList m_servers;
    bool m_resetRequested = false;
    int m_chosenPreset = -1;
    bool m_simpleForm = true;
    QString m_programPath;
};
