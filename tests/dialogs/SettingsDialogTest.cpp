// The settings dialog on its own.

#include "DialogTestSupport.h"
#include "support/gui/MainWindowTestSupport.h"

#include "controls/MySpeedButton.h"
#include "controls/UpDownEdit.h"
#include "localisation/LanguageLoader.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/FrameLanguage.h"
#include "common/SettingsBounds.h"
#include "dialogs/FormEinstellungen.h"
#include "common/StringObject.h"
#include "tagengine/DisplayTexts.h"
#include "tagengine/FrameCatalogue.h"

#include "support/RunProgram.h"
#include "support/ScopedEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A record that differs from the defaults in every field.
TEinstellungen Changed()
{
    TEinstellungen r;
    r.Language = QStringLiteral("ENGLISH");
    r.FileNamePattern = QStringLiteral("%N. %T");
    r.NeverChangeDate = false;
    r.ReadID3v2 = false;
    r.WriteID3v1 = false;
    r.ID3v2Version = 4;
    r.Unsync = true;
    r.MinSize = 100;
    r.MinPad = 7;
    r.MaxPad = 9000;
    r.NoWriteProtect = true;
    r.Decimals = 4;
    r.CDDBServer = QStringLiteral("cddb.example.org");
    r.CDDBServerPort = 8880;
    r.CDDBServerCgiPath = QStringLiteral("/cgi");
    r.CDDBUser = QStringLiteral("me");
    r.UseProxy = true;
    r.Proxy = QStringLiteral("proxy.example.org");
    r.ProxyPort = 3128;
    r.AlwaysUseNativeNtCdRom = true;
    return r;
}

QString FieldOf(const QComboBox* box)
{
    return box->currentIndex() < 0 ? QStringLiteral("<none>") : box->currentData().value<TStringObject>().Value;
}

// Types into a control with the focus in it.
void TypeText(QWidget* control, const QString& text)
{
    control->setFocus();
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control, text);
}

class SettingsDialogTest : public ::testing::Test {
protected:
    // Runs the dialog; user acts in it and answers how it is closed.
    bool Run(TEinstellungen& record, const std::function<int(TFormEinstellungen&)>& user)
    {
        Prompt.OnModal = [&](QDialog& dialog) { return user(dynamic_cast<TFormEinstellungen&>(dialog)); };
        TFormEinstellungen dialog;
        return dialog.Execute(record, Presets, Reset);
    }

    static TFileNamePresets DefaultPresets()
    {
        TFileNamePresets presets;
        presets.SetDefaults();
        return presets;
    }

    TMainWindowEnvironment Env;
    TAnsweringPrompt Prompt;
    TFileNamePresets Presets = DefaultPresets();
    bool Reset = false;
};

}

TEST_F(SettingsDialogTest, OkWithoutChangesKeepsTheRecordAndEveryControlReachesItsField)
{
    TEinstellungen record = Changed();
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        // Only one way of reading CDs here: shown, but locked.
        EXPECT_TRUE(d.cbxAlwaysUseNativeNtCdRom->isChecked());
        EXPECT_FALSE(d.cbxAlwaysUseNativeNtCdRom->isEnabled());
        return QDialog::Accepted;
    }));
    EXPECT_EQ(record, Changed());
    EXPECT_EQ(Presets, DefaultPresets());
    EXPECT_FALSE(Reset);
    EXPECT_TRUE(Prompt.Asked.isEmpty()); // no warning for the stored write protection

    // Every control into its field, here back to the defaults; texts
    // trimmed, empty ones the defaults.
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        d.ShowPatternSimple(QStringLiteral("%A - %T"));
        d.CbxDateidatum->setChecked(true);
        d.ETrackNrDecimals->SetPositionInt(2);
        d.CBxReadID3v2->setChecked(true);
        d.CBxWriteID3v1->setChecked(true);
        d.BoxID3v2Version->setCurrentIndex(0);
        d.CbxUnsyc->setChecked(false);
        d.EID3v2Size->SetPositionInt(792);
        d.EID3v2Padding->SetPositionInt(512);
        d.EID3v2PaddingMax->SetPositionInt(2048);
        d.cbxNoWriteProtect->setChecked(false);
        d.ECDDBServer->setText(QStringLiteral("  "));
        d.ECDDBServerPort->setText(QStringLiteral(" 8080 "));
        d.ECDDBCgiPath->setText(QStringLiteral(" /x.cgi "));
        d.ECDDBUser->setText(QString());
        d.CBoxProxy->setChecked(false);
        d.EProxy->setText(QStringLiteral(" p "));
        d.EProxyPort->setText(QStringLiteral("81"));
        return QDialog::Accepted;
    }));
    TEinstellungen expected;
    expected.Language = QStringLiteral("ENGLISH");
    expected.AlwaysUseNativeNtCdRom = true;
    expected.CDDBServerPort = 8080;
    expected.CDDBServerCgiPath = QStringLiteral("/x.cgi");
    expected.Proxy = QStringLiteral("p");
    expected.ProxyPort = 81;
    EXPECT_EQ(record, expected);
}

TEST_F(SettingsDialogTest, NumbersAndPortsStayInRange)
{
    TEinstellungen record;
    // A typed number is kept in range even when OK is pressed with the focus
    // still in its edit; ports that are no port count as none given.
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        d.show();
        d.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        d.LVAuswahlSelectItem(1);
        TypeText(d.EID3v2PaddingMax->Edit(), QStringLiteral("99999999"));
        d.LVAuswahlSelectItem(0);
        TypeText(d.ETrackNrDecimals->Edit(), QStringLiteral("2147483647"));
        EXPECT_TRUE(d.ETrackNrDecimals->Edit()->hasFocus());
        d.ECDDBServerPort->setText(QStringLiteral("65536"));
        d.CBoxProxy->setChecked(true);
        d.EProxy->setText(QStringLiteral("proxy"));
        d.EProxyPort->setText(QStringLiteral("31a"));
        return QDialog::Accepted;
    }));
    EXPECT_EQ(record.Decimals, 10);
    EXPECT_EQ(record.MaxPad, 1048576);
    EXPECT_EQ(record.CDDBServerPort, 80);
    EXPECT_EQ(record.ProxyPort, 0);
    EXPECT_FALSE(record.UseProxy);

    // A proxy port below 1 is shown empty; the ends of the ranges are kept.
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        EXPECT_TRUE(d.EProxyPort->text().isEmpty());
        d.ECDDBServerPort->setText(QStringLiteral("65535"));
        d.CBoxProxy->setChecked(true);
        d.EProxyPort->setText(QStringLiteral("1"));
        return QDialog::Accepted;
    }));
    EXPECT_EQ(record.CDDBServerPort, 65535);
    EXPECT_EQ(record.ProxyPort, 1);
    EXPECT_TRUE(record.UseProxy);
}

TEST_F(SettingsDialogTest, PatternsAreShownInTheFormThatFitsAndBuiltBack)
{
    TFormEinstellungen d;
    // The simple form: three fields, two separators, and the folder's field
    // ("-" while the folder box is unchecked).
    const auto shown = [&d] {
        return QStringList{FieldOf(d.BoxEasy1), FieldOf(d.BoxEasy2), FieldOf(d.BoxEasy3), d.ETZ1->text(),
                           d.ETZ2->text(), d.CBxOrderAlbum->isChecked() ? FieldOf(d.BoxDirName) : QStringLiteral("-")};
    };
    const std::pair<QString, QStringList> simple[] = {
        {"%B\\%A - %T", {"TPE1", "TIT2", "", " - ", "", "TALB"}},
        {"(%A) %T", {"", "TPE1", "TIT2", "(", ") ", "-"}},
        {"%N%T", {"TRCK", "TIT2", "", "", "", "-"}},
        {"%c\\%n. %t", {"TRCK", "TIT2", "", ". ", "", "COMM"}},
    };
    for (const auto& [pattern, boxes] : simple) {
        EXPECT_TRUE(d.IsSimplePattern(pattern)) << pattern.toStdString();
        d.ShowPatternSimple(pattern);
        EXPECT_EQ(shown(), boxes);
        EXPECT_EQ(d.BoxDirName->isEnabled(), d.CBxOrderAlbum->isChecked()) << pattern.toStdString();
        EXPECT_EQ(d.BuildSimplePattern(), pattern.toUpper());
    }
    // The empty first box is "(nothing)"; the folder box offers album when
    // the pattern names no folder.
    d.ShowPatternSimple(QStringLiteral("%A - %T"));
    EXPECT_EQ(d.BoxEasy3->currentText(), Lang("FileNameNoField"));
    TFormEinstellungen fresh;
    fresh.ShowPatternSimple(QStringLiteral("%A - %T"));
    EXPECT_EQ(FieldOf(fresh.BoxDirName), QStringLiteral("TALB"));

    for (const char* pattern : {"%A\\%B\\%T", "%A - %T - %N - %B", "%P %T", "%A\\x%B\\%T", "%B %A\\%T",
                                "(%A) %T.", "%A%B%T%C"})
        EXPECT_FALSE(d.IsSimplePattern(QString::fromLatin1(pattern))) << pattern;

    // Percent signs typed as separators are doubled; a checked folder box
    // without a field still starts a folder level.
    d.ShowPatternSimple(QStringLiteral("%A - %T"));
    d.ETZ1->setText(QStringLiteral(" 50% "));
    EXPECT_EQ(d.BuildSimplePattern(), QStringLiteral("%A 50%% %T"));
    d.CBxOrderAlbum->setChecked(true);
    d.BoxDirName->setCurrentIndex(-1);
    EXPECT_EQ(d.BuildSimplePattern(), QStringLiteral("\\%A 50%% %T"));
}

TEST_F(SettingsDialogTest, TheFormSwitchesOnlyWhenNothingIsLostUnasked)
{
    TEinstellungen record;
    record.FileNamePattern = QStringLiteral("%A\\%B\\%T");
    EXPECT_TRUE(Run(record, [this](TFormEinstellungen& d) {
        EXPECT_FALSE(d.SimpleFormShown());
        EXPECT_EQ(d.EDateinameAufbau->text(), QStringLiteral("%A\\%B\\%T"));
        // No keeps the free-text form.
        d.ActDateinameModusExecute();
        EXPECT_EQ(Prompt.Asked, QStringList({Lang("ReallyToSimpleMode")}));
        EXPECT_FALSE(d.SimpleFormShown());
        Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
        d.ActDateinameModusExecute();
        EXPECT_TRUE(d.SimpleFormShown());
        EXPECT_EQ(d.BuildSimplePattern(), QStringLiteral("%B\\%T"));
        // Back to the free-text form: it shows the simple form's pattern.
        d.ETZ2->setText(QStringLiteral("!"));
        d.ActDateinameModusExecute();
        EXPECT_EQ(d.EDateinameAufbau->text(), QStringLiteral("%B\\%T!"));
        TypeText(d.EDateinameAufbau, QStringLiteral("%A \\ %T"));
        return QDialog::Accepted;
    }));
    // The free-text form's pattern is stored as typed.
    EXPECT_EQ(record.FileNamePattern, QStringLiteral("%A \\ %T"));
}

TEST_F(SettingsDialogTest, TemplatesAreChosenSavedAndDeletedOnTheDialogsCopy)
{
    TEinstellungen record;
    Presets.Add(QStringLiteral("Tom & Jerry"), QStringLiteral("%A & %T"));
    const auto use = [this](TFormEinstellungen& d) {
        EXPECT_EQ(MenuTexts(d.PopVorgaben).at(6), QStringLiteral("Tom && Jerry")); // shown as typed
        EXPECT_FALSE(d.ButAufbauLoeschen->isEnabled());
        // A template that does not fit the simple form asks first.
        TriggerMenuItem(d.PopVorgaben, 3);
        EXPECT_EQ(Prompt.Asked.value(0), Lang("ReallyToProfiMode"));
        EXPECT_TRUE(d.SimpleFormShown());
        EXPECT_EQ(d.ChosenPreset(), -1);
        Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
        TriggerMenuItem(d.PopVorgaben, 3);
        EXPECT_FALSE(d.SimpleFormShown());
        EXPECT_EQ(d.EDateinameAufbau->text(), QStringLiteral("%B - %N - %A - %T"));
        EXPECT_EQ(d.ChosenPreset(), 3);
        EXPECT_TRUE(d.ButAufbauLoeschen->isEnabled());
        // The user's edit makes it no template any more.
        TypeText(d.EDateinameAufbau, QStringLiteral("%A %T"));
        EXPECT_EQ(d.ChosenPreset(), -1);
        EXPECT_FALSE(d.ButAufbauLoeschen->isEnabled());
        // Saved under a name; the preview of its fields is offered.
        Prompt.Inputs = {QStringLiteral("Mine")};
        d.ActAufbauSpeichernExecute();
        EXPECT_EQ(Prompt.Offered.value(0), GetFrameName(QStringLiteral("TPE1")) + QLatin1Char(' ') +
                                               GetFrameName(QStringLiteral("TIT2")));
        EXPECT_EQ(d.ChosenPreset(), 7);
        // Deleting asks with its name and pattern; No keeps it.
        Prompt.Asked.clear();
        Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbNo; };
        TriggerMenuItem(d.PopVorgaben, 6);
        d.ActAufbauLoeschenExecute();
        EXPECT_EQ(Prompt.Asked, QStringList({LangFmt("ReallyDeleteFileName", {QStringLiteral("Tom & Jerry (%A & %T)")})}));
        EXPECT_EQ(d.DialogPresets().Count(), 8);
        Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
        d.ActAufbauLoeschenExecute();
        EXPECT_EQ(d.DialogPresets().Count(), 7);
        EXPECT_EQ(d.ChosenPreset(), -1);
        return QDialog::Accepted;
    };
    EXPECT_TRUE(Run(record, use));
    ASSERT_EQ(Presets.Count(), 7);
    EXPECT_EQ(Presets.Names().last(), QStringLiteral("Mine"));
    EXPECT_EQ(Presets.Patterns().last(), QStringLiteral("%A %T"));
    EXPECT_EQ(record.FileNamePattern, QStringLiteral("%A & %T"));
}

// The settings keep MaxFileNamePresets templates: the dialog saves no more.
TEST_F(SettingsDialogTest, NoMoreTemplatesAreSavedThanTheSettingsKeep)
{
    TEinstellungen record;
    while (Presets.Count() < MaxFileNamePresets)
        Presets.Add(QStringLiteral("P%1").arg(Presets.Count()), QStringLiteral("%A"));
    EXPECT_TRUE(Run(record, [this](TFormEinstellungen& d) {
        EXPECT_FALSE(d.ButAufbauSpeichern->isEnabled());
        Prompt.Inputs = {QStringLiteral("One too many")};
        d.ActAufbauSpeichernExecute();
        EXPECT_EQ(Prompt.Beeps, 1);
        EXPECT_EQ(d.DialogPresets().Count(), MaxFileNamePresets);
        // Room again once one is deleted.
        Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
        TriggerMenuItem(d.PopVorgaben, 0);
        d.ActAufbauLoeschenExecute();
        EXPECT_TRUE(d.ButAufbauSpeichern->isEnabled());
        d.ActAufbauSpeichernExecute();
        EXPECT_EQ(d.DialogPresets().Count(), MaxFileNamePresets);
        EXPECT_EQ(d.DialogPresets().Names().last(), QStringLiteral("One too many"));
        return QDialog::Accepted;
    }));
    EXPECT_EQ(Presets.Count(), MaxFileNamePresets);
}

TEST_F(SettingsDialogTest, OneTagKindIsAlwaysWritten)
{
    TEinstellungen record;
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        // Unchecking ID3v2 checks and locks ID3v1 and disables the v2 options.
        d.CBxWriteID3v2->click();
        EXPECT_TRUE(d.CBxWriteID3v1->isChecked());
        EXPECT_FALSE(d.CBxWriteID3v1->isEnabled());
        EXPECT_FALSE(d.BoxID3v2Version->isEnabledTo(&d));
        d.CBxWriteID3v2->click();
        EXPECT_TRUE(d.CBxWriteID3v1->isEnabled());
        EXPECT_TRUE(d.BoxID3v2Version->isEnabledTo(&d));
        // And the other way round.
        d.CBxWriteID3v1->click();
        EXPECT_TRUE(d.CBxWriteID3v2->isChecked());
        EXPECT_FALSE(d.CBxWriteID3v2->isEnabled());
        d.CBxWriteID3v1->click();
        d.CBxWriteID3v1->click();
        return QDialog::Accepted;
    }));
    EXPECT_FALSE(record.WriteID3v1);
    EXPECT_TRUE(record.WriteID3v2);

    // A version other than 4 is shown and stored as 3.
    record.ID3v2Version = 7;
    EXPECT_TRUE(Run(record, [](TFormEinstellungen&) { return QDialog::Accepted; }));
    EXPECT_EQ(record.ID3v2Version, 3);

    // Ignoring write protection asks; No unchecks it again.
    EXPECT_TRUE(Run(record, [this](TFormEinstellungen& d) {
        d.cbxNoWriteProtect->click();
        EXPECT_EQ(Prompt.Asked, QStringList({Lang("NoWriteProtectWarning")}));
        EXPECT_FALSE(d.cbxNoWriteProtect->isChecked());
        Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
        d.cbxNoWriteProtect->click();
        return QDialog::Accepted;
    }));
    EXPECT_TRUE(record.NoWriteProtect);
}

TEST_F(SettingsDialogTest, TheStoredLanguageIsKeptUnlessTheUserPicksOne)
{
    TEinstellungen record;
    record.Language = QStringLiteral("english");
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        EXPECT_EQ(d.FrameLanguage1->LanguageResName(), QStringLiteral("ENGLISH"));
        return QDialog::Accepted;
    }));
    EXPECT_EQ(record.Language, QStringLiteral("english"));

    // A language file that is gone matches no row: kept, not replaced by the
    // row guessed for the locale.
    record.Language.clear();
    record.LanguageFile = QStringLiteral("/gone/Klingon.qlnlang");
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        EXPECT_FALSE(d.FrameLanguage1->LanguageResName().isEmpty());
        return QDialog::Accepted;
    }));
    EXPECT_EQ(record.LanguageFile, QStringLiteral("/gone/Klingon.qlnlang"));
    EXPECT_TRUE(record.Language.isEmpty());

    // A row the user picks is stored.
    EXPECT_TRUE(Run(record, [](TFormEinstellungen& d) {
        auto* box = d.FrameLanguage1->findChild<QListWidget*>(QStringLiteral("BoxLanguages"));
        for (int i = 0; i < box->count(); ++i)
            if (box->item(i)->text() == QStringLiteral("Deutsch"))
                box->setCurrentRow(i);
        return QDialog::Accepted;
    }));
    EXPECT_EQ(record.Language, QStringLiteral("GERMAN"));
    EXPECT_TRUE(record.LanguageFile.isEmpty());
}

TEST_F(SettingsDialogTest, EveryPageCaptionIsShownWholeInEitherLanguage)
{
    for (const char* language : {"GERMAN", "ENGLISH"}) {
        LoadLanguage(QString::fromLatin1(language), QString());
        TFormEinstellungen d;
        d.show();
        const QFontMetrics metrics(d.LVAuswahl->font());
        const int margin = d.LVAuswahl->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, d.LVAuswahl) + 1;
        for (int row = 0; row < d.LVAuswahl->count(); ++row) {
            QListWidgetItem* item = d.LVAuswahl->item(row);
            // ("Lesen/Schreiben" was cut to "Lesen/Schreib...")
            for (const QString& line : item->text().split(QLatin1Char('\n')))
                EXPECT_LE(metrics.horizontalAdvance(line) + 2 * margin, d.LVAuswahl->visualItemRect(item).width())
                    << language << ": " << line.toStdString();
        }
    }
}

TEST_F(SettingsDialogTest, ServersAndShortcuts)
{
    TFormEinstellungen d;
    // A server of the list fills in its host with the public port and path.
    d.ECDDBServerPort->setText(QStringLiteral("1"));
    ASSERT_FALSE(d.ServerList().isEmpty());
    TriggerMenuItem(d.PopVorgabenCDDB, 0);
    EXPECT_EQ(d.ECDDBServer->text(), d.ServerList().at(0).section(QLatin1Char(' '), 0, 0));
    EXPECT_EQ(d.ECDDBServerPort->text(), QStringLiteral("80"));
    EXPECT_EQ(d.ECDDBCgiPath->text(), QStringLiteral("/~cddb/cddb.cgi"));

    // Shortcuts go to the applications folder and the desktop of the user,
    // and desktop-file-validate takes them (how their Exec line is quoted is
    // checked with the shortcut writer).
    QTemporaryDir folders;
    const QString desktop = folders.filePath(QStringLiteral("Desk top"));
    ASSERT_TRUE(QDir().mkpath(folders.filePath(QStringLiteral("config"))));
    QFile dirs(folders.filePath(QStringLiteral("config/user-dirs.dirs")));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"" + desktop.toUtf8() + "\"\n");
    dirs.close();
    const TScopedEnv data("XDG_DATA_HOME", folders.filePath(QStringLiteral("data")));
    const TScopedEnv config("XDG_CONFIG_HOME", folders.filePath(QStringLiteral("config")));
    // "%F" in the path would be a second field code unless doubled.
    d.SetProgramPath(folders.filePath(QStringLiteral("50%Fun/quillon")));
    d.ButLinkStartMenu->click();
    d.ButLinkDesktop->click();
    for (const QString& file : {folders.filePath(QStringLiteral("data/applications/Quillon 3.desktop")),
                                desktop + QStringLiteral("/Quillon 3.desktop")}) {
        ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();
        const TProgramRun validate = RunProgram(QStringLiteral("desktop-file-validate"), {file});
        const QByteArray said = validate.Out + validate.Err;
        EXPECT_EQ(validate.ExitCode, 0) << "desktop-file-validate (desktop-file-utils): " << said.toStdString();
        EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    }
    EXPECT_TRUE(Prompt.Informations.isEmpty());
    // A folder that cannot be made tells so.
    QFile(folders.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
    const TScopedEnv blocked("XDG_DATA_HOME", folders.filePath(QStringLiteral("file")));
    d.ButLinkStartMenu->click();
    EXPECT_EQ(Prompt.Informations, QStringList({Lang("ErrorCreateLink")}));
}
