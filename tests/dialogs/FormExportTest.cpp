#include "FormExportTestSupport.h"
#include "support/gui/MainWindowTestSupport.h"

#include "support/Mp3Builder.h"
#include "support/ScopedEnv.h"

#include "export/ExportSettings.h"
#include "export/Spreadsheet.h"
#include "export/TemplateFiles.h"
#include "export/XlsxSpreadsheet.h"
#include "localisation/MultiLanguage.h"
#include "dialogs/FormExport.h"
#include "common/StringObject.h"
#include "platform/Opener.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <QTest>

#include <gtest/gtest.h>

namespace {

class TSpreadsheetThatWillNotStart : public TSpreadsheet {
public:
    bool Start() override { return false; }
    void AddWorkbook() override {}
    void SetCell(int, int, const QString&) override {}
    void Show(const std::function<void()>&) override {}
};

}

TEST(FormExportTest, OpensWithDefaultsAndCancelStoresNothing)
{
    TExportFixture f;
    EXPECT_FALSE(f.Run([](TFormExport& form) {
        EXPECT_FALSE(form.BoxGroupField->isEnabled());
        // Without stored columns, the list's columns.
        EXPECT_EQ(form.OwnHTMLColumns(), TStringArray({"*FIN", "TIT2"}));
        EXPECT_EQ(form.MAndereSpaltenExcel->toPlainText(), QStringLiteral("Dateiname; Titel"));
        form.CBHTMLGrouping->click();
        EXPECT_TRUE(form.BoxGroupField->isEnabled());
        form.ButCancel->click();
    }));
    EXPECT_FALSE(TExportFixture::KeyExists());
}

TEST(FormExportTest, SuccessfulExportStoresEveryChoiceAndTheyComeBack)
{
    const auto choices = [](TFormExport& form) {
        return QVariantList{form.CurrentPage(), form.RBPlaylistMarkiert->isChecked(),
                            form.CBPlaylistAddInfos->isChecked(), form.CBPlaylistRelLinks->isChecked(),
                            form.CBHTMLGrouping->isChecked(), form.BoxGroupField->isEnabled(),
                            form.BoxGroupField->currentText(), form.CBHTMLManyFiles->isChecked(),
                            form.RBHTMLSpalten2->isChecked(), form.CBHTMLVRelLinks->isChecked(),
                            form.CBHTMLVRelDir->isChecked(), form.EHTMLVorlagen->currentText(),
                            form.RBExcelSpalten2->isChecked()};
    };
    QVariantList chosen;
    TExportFixture f;
    {
        // Stored columns: 9 characters give two IDs; links by "L".
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(TExportSettings::KeyPath(), true));
        registry.WriteString(QStringLiteral("HTMLColumns"), QStringLiteral("TPE1TALBx"));
        registry.WriteString(QStringLiteral("HTMLColumnsLink"), QStringLiteral("-L"));
        registry.WriteInteger(QStringLiteral("LastExport"), 7);
    }
    f.Prompt.SavePath = f.Env.PathOf(QStringLiteral("out/list")); // no extension typed
    EXPECT_TRUE(f.Run([&](TFormExport& form) {
        EXPECT_EQ(form.CurrentPage(), TFormExport::pgHTML) << "a stored page out of range is ignored";
        EXPECT_EQ(form.OwnHTMLColumns(), TStringArray({"TPE1", "TALB"}));
        EXPECT_EQ(form.OwnHTMLLinks(), TBoolArray({false, true}));
        EXPECT_EQ(form.MAndereSpaltenHTML->toPlainText(), QStringLiteral("Interpret; Album (Link)"));
        form.LVAuswahl->setCurrentRow(TFormExport::pgPlaylist);
        form.RBPlaylistMarkiert->setChecked(true);
        form.CBPlaylistAddInfos->setChecked(false);
        form.CBPlaylistRelLinks->setChecked(true);
        form.CBHTMLGrouping->setChecked(true);
        form.BoxGroupField->setCurrentIndex(form.BoxGroupField->findText(QStringLiteral("Album")));
        form.CBHTMLManyFiles->setChecked(true);
        form.RBHTMLSpalten2->setChecked(true);
        form.CBHTMLVRelLinks->setChecked(true);
        form.EHTMLVorlagen->setEditText(QStringLiteral("mine.htm"));
        form.RBExcelSpalten2->setChecked(true);
        chosen = choices(form);
        form.ButOK->click();
    }));
    EXPECT_TRUE(QFile::exists(f.Env.PathOf(QStringLiteral("out/list.m3u"))));
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(TExportSettings::KeyPath(), false));
    EXPECT_EQ(registry.ReadString(QStringLiteral("HTMLColumns")), QStringLiteral("TPE1TALB"));

    EXPECT_FALSE(f.Run([&](TFormExport& form) {
        EXPECT_EQ(form.OwnHTMLLinks(), TBoolArray({false, true}));
        EXPECT_EQ(choices(form), chosen);
    }));
}

// The chooser makes every column once: a stored list of any length (edited
// by hand or damaged) is read as far as that, its links with their columns.
TEST(FormExportTest, StoredColumnsAreReadOnceEach)
{
    TExportFixture f;
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(TExportSettings::KeyPath(), true));
        const int many = 10000;
        registry.WriteString(QStringLiteral("HTMLColumns"),
                             QStringLiteral("TPE1ZZZZTALB") + QStringLiteral("TPE1").repeated(many));
        registry.WriteString(QStringLiteral("HTMLColumnsLink"),
                             QStringLiteral("--L") + QString(many, QLatin1Char('L')));
        registry.WriteString(QStringLiteral("ExcelColumns"), QStringLiteral("TIT2TALB").repeated(many));
    }
    EXPECT_FALSE(f.Run([&](TFormExport& form) {
        EXPECT_EQ(form.OwnHTMLColumns(), TStringArray({"TPE1", "TALB"}));
        EXPECT_EQ(form.OwnHTMLLinks(), TBoolArray({false, true}));
        EXPECT_EQ(form.MAndereSpaltenHTML->toPlainText(), QStringLiteral("Interpret; Album (Link)"));
        EXPECT_EQ(form.MAndereSpaltenExcel->toPlainText(), QStringLiteral("Titel; Album"));
    }));
}

TEST(FormExportTest, FailuresKeepTheWindowOpen)
{
    TExportFixture f;
    f.Prompt.SavePath = f.Env.PathOf(QStringLiteral("page.htm"));
    ASSERT_TRUE(Mp3Builder::WriteFile(f.Prompt.SavePath, "old"));

    // Declining the overwrite question, or cancelling it.
    for (const TPromptButton answer : {pbNo, pbCancel}) {
        f.Prompt.OnAsk = [answer](const QString&, TPromptButtons) { return answer; };
        EXPECT_FALSE(f.Run([](TFormExport& form) {
            form.ButOK->click();
            EXPECT_EQ(form.result(), 0) << "still open";
            form.reject();
        }));
    }
    EXPECT_TRUE(f.Prompt.Errors.isEmpty());
    EXPECT_FALSE(TExportFixture::KeyExists());

    // An own template that is missing, then one that cannot be expanded: the
    // error is shown and the window stays.
    f.Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
    EXPECT_FALSE(f.Run([&](TFormExport& form) {
        form.SelectPage(TFormExport::pgOwnHTML);
        form.EHTMLVorlagen->setEditText(QStringLiteral("mine.htm"));
        form.ButOK->click();
        EXPECT_EQ(f.Prompt.Errors.value(0), Lang(QStringLiteral("ErrorHTMLNotFound")));
        ASSERT_TRUE(Mp3Builder::WriteFile(f.Env.PathOf(QStringLiteral("templates/mine.htm")), "<#content id=%q>"));
        form.ButOK->click();
        EXPECT_EQ(f.Prompt.Errors.size(), 2);
        EXPECT_EQ(form.result(), 0);
        form.reject();
    }));

    // A spreadsheet that cannot be started: one message with the reason,
    // window open.
    f.Prompt.Errors.clear();
    const TSpreadsheetFactory previous =
        SetSpreadsheetFactory([] { return std::make_unique<TSpreadsheetThatWillNotStart>(); });
    EXPECT_FALSE(f.Run([](TFormExport& form) {
        form.SelectPage(TFormExport::pgExcel);
        form.ButOK->click();
        EXPECT_EQ(form.result(), 0);
        form.reject();
    }));
    SetSpreadsheetFactory(previous);
    EXPECT_EQ(f.Prompt.Errors, QStringList{Lang(QStringLiteral("ErrorExport")) + QStringLiteral("\n\n") +
                                           Lang(QStringLiteral("ErrorRunExcel"))});
}

TEST(FormExportTest, WithoutASpreadsheetProgramTheWindowStaysOpenWithTheReason)
{
    TExportFixture f;
    QTemporaryDir temp;
    const TScopedEnv tempFolder("TMPDIR", temp.path());
    const TProgramQuery previous = SetProgramQuery([](const QString&) { return false; });
    EXPECT_FALSE(f.Run([](TFormExport& form) {
        form.SelectPage(TFormExport::pgExcel);
        form.ButOK->click();
        EXPECT_EQ(form.result(), 0) << "still open";
        form.reject();
    }));
    SetProgramQuery(previous);
    EXPECT_EQ(f.Prompt.Errors,
              QStringList{Lang(QStringLiteral("ErrorExport")) + QStringLiteral("\n\n") +
                          Lang(QStringLiteral("ErrorRunExcel")) + QLatin1Char('\n') +
                          LangFmt(QStringLiteral("SpreadsheetNoProgram"), {TXlsxSpreadsheet::MimeType})});
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "no workbook left";
    EXPECT_FALSE(TExportFixture::KeyExists());
}

TEST(FormExportTest, AnOwnTemplateIsNotWrittenOverByItsExport)
{
    TExportFixture f;
    const QString templ = f.Env.PathOf(QStringLiteral("templates/mine.htm"));
    ASSERT_TRUE(Mp3Builder::WriteFile(templ, "<p><#FILECOUNT></p>"));
    f.Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
    f.Prompt.SavePath = templ;
    EXPECT_FALSE(f.Run([](TFormExport& form) {
        form.SelectPage(TFormExport::pgOwnHTML);
        form.EHTMLVorlagen->setEditText(QStringLiteral("mine.htm"));
        form.ButOK->click();
        EXPECT_EQ(form.result(), 0) << "still open";
        form.reject();
    }));
    EXPECT_TRUE(f.Prompt.Asked.isEmpty()) << "refused before the question to overwrite";
    EXPECT_EQ(f.Prompt.Errors, QStringList{LangFmt(QStringLiteral("ErrorExportOntoTemplate"), {templ, templ})});
    QFile file(templ);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("<p><#FILECOUNT></p>"));
}

TEST(FormExportTest, BuiltInTemplateIsSavedInTheUserFolderAndListed)
{
    TExportFixture f;
    f.Prompt.SavePath = f.Env.PathOf(QStringLiteral("templates/saved"));
    EXPECT_FALSE(f.Run([](TFormExport& form) {
        EXPECT_EQ(form.EHTMLVorlagen->count(), 1) << "only the entry that asks for a file";
        form.ButSaveTemplate->click();
        EXPECT_EQ(form.EHTMLVorlagen->itemText(0), QStringLiteral("saved.htm"));
        EXPECT_EQ(form.EHTMLVorlagen->count(), 2);
        form.reject();
    }));
    EXPECT_TRUE(QFile::exists(FindTemplateFile(QStringLiteral("saved.htm"))));
}

TEST(FormExportTest, ATemplateChosenFromAnotherFolderIsAskedForOnceAndExported)
{
    TExportFixture f;
    const QString chosen = f.Env.PathOf(QStringLiteral("elsewhere/mine.html"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(chosen).path()));
    ASSERT_TRUE(Mp3Builder::WriteFile(chosen, "<p>Files: <#FILECOUNT></p>"));
    f.Prompt.OpenPath = chosen;
    f.Prompt.SavePath = f.Env.PathOf(QStringLiteral("out/list.htm"));
    EXPECT_TRUE(f.Run([&](TFormExport& form) {
        form.SelectPage(TFormExport::pgOwnHTML);
        QComboBox* box = form.EHTMLVorlagen;
        emit box->activated(box->count() - 1);
        EXPECT_TRUE(QTest::qWaitFor([&] { return box->currentText() == chosen; }, 2000));
        // Leaving the box, as a click on OK does, makes it report its text as
        // a choice of the entry that now holds the path: no new question.
        emit box->lineEdit()->editingFinished();
        EXPECT_EQ(box->currentText(), chosen);
        form.ButOK->click();
    }));
    EXPECT_EQ(f.Prompt.OpenQuestions, 1);
    EXPECT_EQ(f.Prompt.SaveQuestions, 1);
    QFile page(f.Prompt.SavePath);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("Files: 1"));
}
