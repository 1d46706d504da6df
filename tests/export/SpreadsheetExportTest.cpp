// The spreadsheet export: the real workbook read back by python3-openpyxl,
// and a fake spreadsheet for the order of calls and the failures.
#include "ExportTestSupport.h"

#include "support/FakeOpenerProgram.h"

#include "export/DataModuleExport.h"
#include "export/Spreadsheet.h"
#include "export/XlsxSpreadsheet.h"
#include "localisation/MultiLanguage.h"
#include "platform/Opener.h"
#include "tagengine/DisplayTexts.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every row of the first sheet: [value, data type] per cell.
const char ReadScript[] = R"PY(
import sys, json, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(json.dumps([[[c.value, c.data_type] for c in row] for row in ws.iter_rows()]))
)PY";

class TFakeSpreadsheet : public TSpreadsheet {
public:
    TFakeSpreadsheet(QStringList& calls, bool starts, bool shows) : m_calls(calls), m_starts(starts), m_shows(shows) {}
    bool Start() override
    {
        m_calls << QStringLiteral("Start");
        return m_starts;
    }
    void AddWorkbook() override { m_calls << QStringLiteral("AddWorkbook"); }
    void SetCell(int row, int column, const QString& text) override
    {
        m_calls << QStringLiteral("%1,%2=%3").arg(row).arg(column).arg(text);
    }
    void Show(const std::function<void()>& notShown) override
    {
        m_calls << QStringLiteral("Show");
        if (!m_shows)
            notShown();
    }
    QString WorkbookFile() const override { return QStringLiteral("/books/list.xlsx"); }

private:
    QStringList& m_calls;
    bool m_starts;
    bool m_shows;
};

class SpreadsheetExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadEnglish();
        m_files.push_back(MakeEntry(QStringLiteral("/music/"), QStringLiteral("a.mp3"),
                                    {{QStringLiteral("TIT2"), QStringLiteral("=1+1")},
                                     {QStringLiteral("TPE1"), QString::fromUtf8("Жук _x0041_ & <b>")}},
                                    2000));
        m_files.push_back(MakeEntry(QStringLiteral("/music/"), QStringLiteral("b.mp3"),
                                    {{QStringLiteral("TIT2"), QString(40000, QLatin1Char('y'))}}, 0));
        m_files.push_back(MakeEntry(QStringLiteral("/music/x/"), QStringLiteral("0042.mp3"), {}, 61000));
    }

    TExportResult Export(const TStringArray& columns)
    {
        TDataModuleExport module;
        module.Files = &m_files;
        return module.ExportToExcel(columns);
    }

    TEintragdatenList m_files;
    TExportPrompt m_prompt;
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

    const TProgramRun read = RunPython(ReadScript, {opened});
    ASSERT_EQ(read.ExitCode, 0) << read.Err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(read.Out).array();
    ASSERT_EQ(rows.size(), 4);
    const QJsonArray titles = rows.at(0).toArray();
    EXPECT_EQ(titles.at(0).toArray().at(0).toString(), QStringLiteral("Filename"));
    EXPECT_EQ(titles.at(1).toArray().at(0).toString(), QStringLiteral("Title"));
    EXPECT_TRUE(titles.at(2).toArray().at(0).isNull()) << "an unknown column keeps its place without a title";
    EXPECT_EQ(titles.at(3).toArray().at(0).toString(), QStringLiteral("Artist"));

    for (int j = 0; j < 3; ++j) {
        const QJsonArray row = rows.at(j + 1).toArray();
        for (int i = 0; i < columns.size(); ++i) {
            const QJsonArray cell = row.at(i).toArray();
            QString expected = GetColumnText(*m_files[static_cast<size_t>(j)], columns.at(i));
            if (expected.size() > TXlsxSpreadsheet::MaxCellText)
                expected.truncate(TXlsxSpreadsheet::MaxCellText);
            if (expected.isEmpty()) {
                EXPECT_TRUE(cell.at(0).isNull()) << j << "," << i;
                continue;
            }
            EXPECT_EQ(cell.at(0).toString(), expected) << j << "," << i;
            EXPECT_EQ(cell.at(1).toString(), QStringLiteral("s")) << "always text: " << j << "," << i;
        }
    }
    EXPECT_EQ(rows.at(1).toArray().at(1).toArray().at(0).toString(), QStringLiteral("=1+1"));
    EXPECT_EQ(rows.at(2).toArray().at(1).toArray().at(0).toString().size(), 32767);
    EXPECT_EQ(rows.at(3).toArray().at(0).toArray().at(0).toString(), QStringLiteral("0042.mp3"));
    QFile::remove(opened);
}

TEST_F(SpreadsheetExportTest, CellTextsAreCutOnCharacterBoundaries)
{
    // A character outside the basic plane counts once and is never split.
    const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
    const QString text = QString(32766, QLatin1Char('a')) + clef + clef;
    const QString stored = QString::fromUtf8(TXlsxSpreadsheet::CellText(text));
    EXPECT_EQ(stored, QString(32766, QLatin1Char('a')) + clef);
    // An escape sequence in the text is escaped itself and still counted.
    EXPECT_EQ(TXlsxSpreadsheet::CellText(QStringLiteral("a_x00e9_b")), QByteArray("a_x005F_x00e9_b"));
    EXPECT_EQ(TXlsxSpreadsheet::CellText(QStringLiteral("_x12_ _xZZZZ_")), QByteArray("_x12_ _xZZZZ_"));
}

TEST_F(SpreadsheetExportTest, CallsComeInOrderAndFailuresAreReported)
{
    QStringList calls;
    bool starts = true;
    bool shows = true;
    const TSpreadsheetFactory previous = SetSpreadsheetFactory(
        [&] { return std::make_unique<TFakeSpreadsheet>(calls, starts, shows); });

    m_files.resize(1);
    ASSERT_EQ(Export({QStringLiteral("TIT2"), QStringLiteral("*FIN")}), erDone);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("Start"), QStringLiteral("AddWorkbook"),
                                  QStringLiteral("1,1=Title"), QStringLiteral("1,2=Filename"),
                                  QStringLiteral("2,1==1+1"), QStringLiteral("2,2=a.mp3"), QStringLiteral("Show")}));
    EXPECT_TRUE(m_prompt.Errors.isEmpty());

    calls.clear();
    starts = false;
    EXPECT_EQ(Export({QStringLiteral("TIT2")}), erError);
    EXPECT_EQ(calls, QStringList{QStringLiteral("Start")});
    EXPECT_EQ(m_prompt.Errors, QStringList{Lang(QStringLiteral("ErrorRunExcel"))});

    // Written, but nothing on the desktop shows it: told where it lies.
    starts = true;
    shows = false;
    m_prompt.Errors.clear();
    EXPECT_EQ(Export({QStringLiteral("TIT2")}), erDone);
    EXPECT_EQ(m_prompt.Errors, QStringList{Lang(QStringLiteral("ErrorRunExcel")) + QLatin1Char('\n') +
                                           LangFmt(QStringLiteral("SpreadsheetSavedAs"), {"/books/list.xlsx"})});

    // An empty list gives the title row alone.
    calls.clear();
    shows = true;
    m_files.clear();
    EXPECT_EQ(Export({QStringLiteral("TIT2")}), erDone);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("Start"), QStringLiteral("AddWorkbook"), QStringLiteral("1,1=Title"),
                                  QStringLiteral("Show")}));
    SetSpreadsheetFactory(previous);
}

TEST_F(SpreadsheetExportTest, AWorkbookNothingOpensIsNamed)
{
    QTemporaryDir temp;
    const QByteArray oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(temp.path()));
    const auto workbooks = [&] { return QDir(temp.path()).entryList({QStringLiteral("Quillon-*")}, QDir::Files); };

    // The desktop has no program for workbooks, as xdg-open says by its end.
    const TFakeOpenerProgram program("exit 3");
    const TScopedOpener opener(DesktopOpener(program.Path()));
    ASSERT_EQ(Export({QStringLiteral("*FIN")}), erDone);
    ASSERT_TRUE(RunEventsUntil([&] { return !m_prompt.Errors.isEmpty(); }, 10000));
    ASSERT_EQ(workbooks().size(), 1);
    const QString workbook = temp.filePath(workbooks().at(0));
    EXPECT_EQ(m_prompt.Errors, QStringList{Lang(QStringLiteral("ErrorRunExcel")) + QLatin1Char('\n') +
                                           LangFmt(QStringLiteral("SpreadsheetSavedAs"), {workbook})});
    const TProgramRun read = RunPython(ReadScript, {workbook});
    EXPECT_EQ(read.ExitCode, 0) << read.Err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(read.Out).array().size(), 4);
    QFile::remove(workbook);
    qputenv("TMPDIR", oldTemp);
}
