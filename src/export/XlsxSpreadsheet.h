#pragma once

#include "export/Spreadsheet.h"

#include <QString>

struct lxw_workbook;
struct lxw_worksheet;

// The spreadsheet as an .xlsx workbook: a new, uniquely named file in the
// temporary folder ("Quillon-XXXXXX.xlsx"), written with libxlsxwriter and
// opened with the desktop's program for such files. The file is kept when
// the program ends: the spreadsheet program may still have it open.
class TXlsxSpreadsheet : public TSpreadsheet {
public:
    // Longest text of one cell, in characters.
    static constexpr int MaxCellText = 32767;

    TXlsxSpreadsheet() = default;
    ~TXlsxSpreadsheet() override;

    bool Start() override;
    void AddWorkbook() override;
    void SetCell(int row, int column, const QString& text) override;
    void Show(const std::function<void()>& notShown) override;
    QString WorkbookFile() const override { return m_fileName; }

    // A cell's text as the workbook stores it: a literal "_xHHHH_" escaped
    // so that readers do not decode it, cut on a character boundary so that
    // it stays within MaxCellText characters.
    static QByteArray CellText(const QString& text);

private:
    // Writes the workbook file; throws when that fails.
    void Close();

    QString m_fileName;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
};
