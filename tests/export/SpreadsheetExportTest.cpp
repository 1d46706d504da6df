// The spreadsheet export: the real workbook read back by python3-openpyxl,
// and a fake spreadsheet for the order of calls and the failures.
#include "ExportTestSupport.h"

#include "support/FakeOpenerProgram.h"
#include "support/FileSizeLimit.h"
#include "support/ScopedEnv.h"

#include "export/DataModuleExport.h"
#include "export/ExportError.h"
#include "export/XlsxSpreadsheet.h"
#include "localisation/MultiLanguage.h"
#include "platform/FileLayer.h"
#include "platform/Opener.h"
#include "tagengine/DisplayTexts.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every row of the first sheet ([value, data type] per cell), and the
// workbook's texts decoded as spreadsheet programs decode them.
const char ReadScript[] = R"PY(
import sys, json, zipfile, xml.etree.ElementTree as ET, openpyxl
from openpyxl.utils.escape import unescape
ws = openpyxl.load_workbook(sys.argv[1]).active
ns = '{http://schemas.openxmlformats.org/spreadsheetml/2006/main}'
sst = ET.fromstring(zipfile.ZipFile(sys.argv[1]).read('xl/sharedStrings.xml'))
decoded = [unescape(''.join(t.text or '' for t in si.iter(ns + 't'))) for si in sst.iter(ns + 'si')]
print(json.dumps({'rows': [[[c.value, c.data_type] for c in row] for row in ws.iter_rows()], 'decoded': decoded}))
)PY";

const QString Clef = QString::fromUtf8("\xF0\x9D\x84\x9E"); // two UTF-16 units
const QString Escapes = QString::fromUtf8("\xD0\x96\xD1\x83\xD0\xBA & <b> _x0041_");

class SpreadsheetExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadEnglish();
        m_files.push_back(MakeEntry(QStringLiteral("/music/"), QStringLiteral("a.mp3"),
                                    {{QStringLiteral("TIT2"), QStringLiteral("=1+1")},
                                     {QStringLiteral("TPE1"), Escapes}},
                                    2000));
        m_files.push_back(MakeEntry(QStringLiteral("/music/"), QStringLiteral("b.mp3"),
                                    {{QStringLiteral("TIT2"), QString(32765, QLatin1Char('y')) + Clef + Clef}}, 0));
        m_files.push_back(MakeEntry(QStringLiteral("/music/x/"), QStringLiteral("0042.mp3"), {}, 61000));
    }

    TExportResult Export(const TStringArray& columns)
    {
        TDataModuleExport module;
        module.Files = &m_files;
        const TExportResult result = module.ExportToExcel(columns);
        m_failure = module.FailureReason;
        return result;
    }

    // The workbook as openpyxl reads it: its rows and its decoded texts.
    static std::pair<QJsonArray, QStringList> ReadWorkbook(const QString& path)
    {
        const TProgramRun read = RunPython(ReadScript, {path});
        EXPECT_EQ(read.ExitCode, 0) << read.Err.toStdString();
        const QJsonObject json = QJsonDocument::fromJson(read.Out).object();
        QStringList decoded;
        for (const QJsonValue text : json.value(QStringLiteral("decoded")).toArray())
            decoded << text.toString();
        return {json.value(QStringLiteral("rows")).toArray(), decoded};
    }

    TEintragdatenList m_files;
    TExportPrompt m_prompt;
    QString m_failure;
};

}

TEST_F(SpreadsheetExportTest, WorkbookHoldsCaptionsAndTextCells)
{
    QString opened;
    TScopedOpener opener([&](const QUrl& url, const TOpenFailed&) { opened = url.toLocalFile(); });
    const TStringArray columns{QStringLiteral("*FIN"), QStringLiteral("TIT2"), QStringLiteral("ZZZZ"),
                               QStringLiteral("TPE1"), QStringLiteral("*LEN")};
    ASSERT_EQ(Export(columns), erDone);
    ASSERT_FALSE(opened.isEmpty());
    EXPECT_TRUE(opened.endsWith(QLatin1String(".xlsx")));
    EXPECT_TRUE(QFile::exists(opened)) << "the workbook stays for the spreadsheet program";

    const auto [rows, decoded] = ReadWorkbook(opened);
    ASSERT_EQ(rows.size(), 4);
    const QJsonArray titles = rows.at(0).toArray();
    EXPECT_EQ(titles.at(3).toArray().at(0).toString(), QStringLiteral("Artist"));
    EXPECT_TRUE(titles.at(2).toArray().at(0).isNull()) << "an unknown column keeps its place without a title";

    // The long title is cut to what a worksheet cell holds, counted in
    // UTF-16 units, before the character that would not fit whole.
    const QString cutTitle = QString(32765, QLatin1Char('y')) + Clef;
    for (int j = 0; j < 3; ++j) {
        const QJsonArray row = rows.at(j + 1).toArray();
        for (int i = 0; i < columns.size(); ++i) {
            const QJsonArray cell = row.at(i).toArray();
            const QString expected =
                j == 1 && i == 1 ? cutTitle : GetColumnText(*m_files[static_cast<size_t>(j)], columns.at(i));
            if (expected.isEmpty()) {
                EXPECT_TRUE(cell.at(0).isNull()) << j << "," << i;
                continue;
            }
            EXPECT_EQ(cell.at(0).toString(), expected) << j << "," << i;
            EXPECT_EQ(cell.at(1).toString(), QStringLiteral("s")) << "always text: " << j << "," << i;
            EXPECT_TRUE(decoded.contains(expected)) << "a spreadsheet program reads it so too: " << j << "," << i;
        }
    }
    QFile::remove(opened);

    // A pair of UTF-16 units is never split.
    EXPECT_EQ(QString::fromUtf8(TXlsxSpreadsheet::CellText(QString(32766, QLatin1Char('a')) + Clef)),
              QString(32766, QLatin1Char('a')));
    // An escape sequence in the text is escaped itself, and the stored text
    // stays within what the writer takes too.
    EXPECT_EQ(TXlsxSpreadsheet::CellText(QStringLiteral("a_x00e9_b")), QByteArray("a_x005F_x00e9_b"));
    EXPECT_EQ(TXlsxSpreadsheet::CellText(QStringLiteral("_x12_ _xZZZZ_")), QByteArray("_x12_ _xZZZZ_"));
    EXPECT_EQ(TXlsxSpreadsheet::CellText(QString(32760, QLatin1Char('a')) + QStringLiteral("_x0041_")),
              QByteArray(32760, 'a') + "_x005F_");
}

TEST_F(SpreadsheetExportTest, WithoutAProgramForWorkbooksNoneIsMadeAndTheExportFails)
{
    QTemporaryDir temp;
    const TScopedEnv tempFolder("TMPDIR", temp.path());
    QStringList asked;
    const TProgramQuery previous = SetProgramQuery([&](const QString& type) {
        asked << type;
        return false;
    });
    int opened = 0;
    TScopedOpener opener([&](const QUrl&, const TOpenFailed&) { ++opened; });
    EXPECT_EQ(Export({QStringLiteral("*FIN")}), erError);
    SetProgramQuery(previous);
    EXPECT_EQ(asked, QStringList{TXlsxSpreadsheet::MimeType});
    EXPECT_EQ(m_failure, Lang(QStringLiteral("ErrorRunExcel")) + QLatin1Char('\n') +
                             LangFmt(QStringLiteral("SpreadsheetNoProgram"), {TXlsxSpreadsheet::MimeType}));
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "no workbook left";
    EXPECT_TRUE(m_prompt.Errors.isEmpty()) << "the failure is the export's result, told by the dialog";
}

TEST_F(SpreadsheetExportTest, AWorkbookNothingOpensIsNamedAndOneNotWrittenIsRemoved)
{
    QTemporaryDir temp;
    const TScopedEnv tempFolder("TMPDIR", temp.path());
    const auto workbooks = [&] { return QDir(temp.path()).entryList({QStringLiteral("Quillon-*")}, QDir::Files); };

    // The desktop has no program for workbooks, as xdg-open says by its end.
    {
        const TFakeOpenerProgram program("exit 3");
        const TScopedOpener opener(DesktopOpener(program.Path()));
        ASSERT_EQ(Export({QStringLiteral("*FIN")}), erDone);
        ASSERT_TRUE(RunEventsUntil([&] { return !m_prompt.Errors.isEmpty(); }, 10000));
        ASSERT_EQ(workbooks().size(), 1);
        const QString workbook = temp.filePath(workbooks().at(0));
        EXPECT_EQ(m_prompt.Errors, QStringList{Lang(QStringLiteral("ErrorRunExcel")) + QLatin1Char('\n') +
                                               LangFmt(QStringLiteral("SpreadsheetSavedAs"), {workbook})});
        EXPECT_EQ(ReadWorkbook(workbook).first.size(), 4);
        QFile::remove(workbook);
    }

    // A disk that fills up: the export fails with the reason and leaves no
    // workbook behind.
    m_prompt.Errors.clear();
    {
        const TScopedFileSizeLimit fullDisk(2048);
        ASSERT_TRUE(fullDisk.IsSet());
        EXPECT_EQ(Export({QStringLiteral("*FIN"), QStringLiteral("TIT2")}), erError);
    }
    EXPECT_TRUE(m_failure.startsWith(QStringLiteral("Can not write the workbook"))) << m_failure.toStdString();
    EXPECT_TRUE(m_failure.contains(SystemErrorText(EFBIG))) << m_failure.toStdString();
    EXPECT_TRUE(workbooks().isEmpty());

    // More rows than a worksheet holds.
    {
        TXlsxSpreadsheet sheet;
        sheet.AddWorkbook();
        sheet.SetCell(1048576, 1, QStringLiteral("last row"));
        try {
            sheet.SetCell(1048577, 1, QStringLiteral("one too many"));
            ADD_FAILURE() << "no error";
        } catch (const TExportError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("row 1048577"))) << e.what();
        }
    }
    EXPECT_TRUE(workbooks().isEmpty());
    EXPECT_TRUE(m_prompt.Errors.isEmpty());
}
