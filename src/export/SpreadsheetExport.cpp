// The spreadsheet export.
#include "export/DataModuleExport.h"

#include "export/Spreadsheet.h"
#include "localisation/MultiLanguage.h"
#include "common/ColumnCatalogue.h"
#include "tagengine/DisplayTexts.h"

namespace {

// Nothing on the desktop showed the workbook; the export may be over by now.
void ReportNotShown(const QString& workbook)
{
    QString text = Lang(QStringLiteral("ErrorRunExcel"));
    if (!workbook.isEmpty())
        text += QLatin1Char('\n') + LangFmt(QStringLiteral("SpreadsheetSavedAs"), {workbook});
    CurrentPrompt()->Error(nullptr, text);
}

}

TExportResult TDataModuleExport::ExportToExcel(const TStringArray& columnIds)
{
    std::unique_ptr<TSpreadsheet> sheet = NewSpreadsheet();
    try {
        if (!sheet->Start()) {
            const QString reason = sheet->StartFailure();
            return Failed(Lang(QStringLiteral("ErrorRunExcel")) +
                          (reason.isEmpty() ? QString() : QLatin1Char('\n') + reason));
        }
        sheet->AddWorkbook();
        for (qsizetype i = 0; i < columnIds.size(); ++i)
            if (const TSpalte* column = FindColumn(columnIds.at(i)))
                sheet->SetCell(1, static_cast<int>(i) + 1, ColumnCaption(*column));
        int row = 2;
        for (const TEintragdaten* entry : AllFiles()) {
            for (qsizetype i = 0; i < columnIds.size(); ++i)
                sheet->SetCell(row, static_cast<int>(i) + 1, GetColumnText(*entry, columnIds.at(i)));
            ++row;
        }
        sheet->Show([workbook = sheet->WorkbookFile()] { ReportNotShown(workbook); });
    } catch (const std::exception& e) {
        return Failed(QString::fromUtf8(e.what()));
    }
    return erDone;
}
